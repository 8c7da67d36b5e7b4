#include "cli/SafeOutput.h"

#include "cli/CheckedFile.h"
#include "records/RuntimeError.h"

#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <system_error>

namespace axlewise {

namespace {

// The signals that end a run from outside (a hang-up, Ctrl+C, a reader that
// left, kill). Each would otherwise leave a named temporary behind.
constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGPIPE, SIGTERM};

// The temporary that QSaveFile writes into, when it has a name. On Linux Qt
// writes an unnamed file (O_TMPFILE) that vanishes by itself with the process;
// where the file system cannot, it falls back to a named one beside the
// output, and that one the handler removes. Only async-signal-safe state.
char gTemporary[PATH_MAX];
volatile std::sig_atomic_t gTemporaryNamed = 0;

extern "C" void RemoveTemporaryAndDie(int signal) {
    if (gTemporaryNamed != 0) {
        ::unlink(gTemporary);
    }
    // Dies of the same signal once the handler returns, so the caller sees the
    // usual status (128 + the signal in a shell).
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Installs the handler once, for the signals that still have their default
// action: a signal the caller chose to ignore (nohup) stays ignored.
void InstallSignalHandlers() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndDie;
    sigemptyset(&action.sa_mask);
    for (const int signal : kEndingSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    for (const int signal : kEndingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            ::sigaction(signal, &action, nullptr);
        }
    }
}

// Remembers the name of the temporary open at fd, if it has one, for the
// signal handler. The name comes from /proc and is trusted only when it still
// names the same file.
void RememberTemporary(int fd) {
    struct stat open {};
    if (fd < 0 || ::fstat(fd, &open) != 0 || open.st_nlink == 0) {
        return;
    }
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), gTemporary, sizeof gTemporary - 1);
    if (length <= 0) {
        return;
    }
    gTemporary[length] = '\0';
    struct stat named {};
    if (::stat(gTemporary, &named) == 0 && named.st_dev == open.st_dev &&
        named.st_ino == open.st_ino) {
        gTemporaryNamed = 1;
    }
}

// Holds back the ending signals while the temporary is put in place or
// dropped: a signal in the middle of QSaveFile's link and rename could leave a
// second temporary, which the handler does not know of. A signal that comes
// meanwhile acts when the block ends.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : kEndingSignals) {
            sigaddset(&set, signal);
        }
        ::sigprocmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

[[noreturn]] void RaiseSystemError(int error) {
    throw RuntimeError(ErrorNumber::FileAccess, std::system_category().message(error));
}

bool SameFile(const struct stat& output, const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        struct stat info {};
        if (::stat(input.c_str(), &info) == 0 && info.st_dev == output.st_dev &&
            info.st_ino == output.st_ino) {
            return true;
        }
    }
    return false;
}

std::string Reason(const QFileDevice& file) {
    return file.errorString().toStdString();
}

std::unique_ptr<QFileDevice> OpenStandardOutput(const std::vector<std::string>& inputs) {
    struct stat info {};
    // `csv in.txt >> in.txt` would add the table to the truck file.
    if (::fstat(STDOUT_FILENO, &info) == 0 && S_ISREG(info.st_mode) && SameFile(info, inputs)) {
        throw RuntimeError(ErrorNumber::FileAccess, "is also an input file; nothing written");
    }
    auto out = std::make_unique<QFile>();
    // Unbuffered: every write reaches the descriptor at once and its failure
    // is seen there. The descriptor stays open for whoever owns it.
    if (!out->open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                   QFileDevice::DontCloseHandle)) {
        throw RuntimeError(ErrorNumber::FileAccess, Reason(*out));
    }
    return out;
}

// A new file, a regular one or a link to one (also a link to nothing yet):
// QSaveFile follows links and keeps the permissions.
std::unique_ptr<QFileDevice> OpenReplacing(const std::string& path) {
    InstallSignalHandlers();
    auto out = std::make_unique<QSaveFile>(QFile::decodeName(path.c_str()));
    if (!out->open(QIODevice::WriteOnly)) {
        throw RuntimeError(ErrorNumber::FileAccess, Reason(*out));
    }
    RememberTemporary(out->handle());
    return out;
}

// A pipe or a device (`info` as stat found it) is written into, never
// replaced or created: no O_CREAT, and no O_TRUNC, which only regular files
// would heed anyway.
std::unique_ptr<QFileDevice> OpenDirect(const std::string& path, const struct stat& info) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        RaiseSystemError(errno);
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || opened.st_dev != info.st_dev || opened.st_ino != info.st_ino) {
        ::close(fd);
        throw RuntimeError(ErrorNumber::FileAccess, "was replaced while it was opened");
    }
    auto out = std::make_unique<QFile>();
    if (!out->open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw RuntimeError(ErrorNumber::FileAccess, Reason(*out));
    }
    return out;
}

}  // namespace

SafeOutput::SafeOutput(const std::optional<std::string>& path,
                       const std::vector<std::string>& inputs) {
    if (!path) {
        name_ = "standard output";
        file_ = OpenStandardOutput(inputs);
        return;
    }
    name_ = DisplayName(*path);
    struct stat info {};
    const bool exists = ::stat(path->c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        RaiseSystemError(errno);
    }
    if (exists && SameFile(info, inputs)) {
        throw RuntimeError(ErrorNumber::FileAccess, "is also an input file; not replaced");
    }
    if (exists && S_ISDIR(info.st_mode)) {
        RaiseSystemError(EISDIR);
    }
    replacing_ = !exists || S_ISREG(info.st_mode);
    file_ = replacing_ ? OpenReplacing(*path) : OpenDirect(*path, info);
}

SafeOutput::~SafeOutput() {
    if (replacing_ && !committed_) {
        const SignalsHeld held;
        static_cast<QSaveFile&>(*file_).cancelWriting();
        file_.reset();  // removes the temporary
        gTemporaryNamed = 0;
    }
}

QIODevice& SafeOutput::device() {
    return *file_;
}

void SafeOutput::fail() {
    if (!failure_) {
        failure_ = Reason(*file_);
    }
}

bool SafeOutput::write(std::string_view bytes) {
    if (failure_) {
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (size > 0 && file_->write(bytes.data(), size) != size) {
        fail();
        return false;
    }
    return true;
}

const std::optional<std::string>& SafeOutput::failure() {
    // A write through device() that failed left its error on the device.
    if (file_->error() != QFileDevice::NoError) {
        fail();
    }
    return failure_;
}

void SafeOutput::commit() {
    failure();
    if (replacing_) {
        auto& save = static_cast<QSaveFile&>(*file_);
        const SignalsHeld held;
        if (failure_) {
            save.cancelWriting();
        }
        // commit() flushes, syncs and renames; after a failure it only drops
        // the temporary.
        const bool replaced = save.commit();
        if (!replaced) {
            fail();
        }
        committed_ = true;
        gTemporaryNamed = 0;
    } else {
        if (!file_->flush()) {
            fail();
        }
        file_->close();
        if (file_->error() != QFileDevice::NoError) {
            fail();
        }
        committed_ = true;
    }
    if (failure_) {
        throw RuntimeError(ErrorNumber::FileAccess, *failure_);
    }
}

void HoldStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // Opened read-only, so that writes to it fail (EBADF) as they
            // would on the closed descriptor.
            const int held = ::open("/dev/null", O_RDONLY);
            if (held >= 0 && held != fd) {
                ::dup2(held, fd);
                ::close(held);
            }
        }
    }
}

}  // namespace axlewise
