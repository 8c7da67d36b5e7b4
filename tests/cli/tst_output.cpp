// axlewise-cli's outputs tried with hostile targets, run as a process: an
// output that is an input under another name, links and modes, a named pipe, a
// full device, a closed standard output, a directory it may not write, a
// signal in the middle of a write, and inputs that cannot be read.

#include "CliProcess.h"
#include "TruckLines.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

using namespace axlewise;
using namespace axlewise::test;

namespace {

constexpr int kSpeed = 9;

// `count` good truck lines, HEAD numbered from `first` (HEAD has four digits).
QByteArray Trucks(int first, int count) {
    QByteArray lines;
    for (int k = 0; k < count; ++k) {
        lines += QByteArray::fromStdString(TruckLine((first + k) % 10000)) + "\n";
    }
    return lines;
}

const QByteArray kOld = "old contents\n";
const QByteArray kCsvHeader = "file,line,HEAD,DAY,MONTH,YEAR,HOUR,MINUTE,";

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

mode_t TypeOf(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

// A PNG of the window's picture at scale 1.
bool IsPicture(const QByteArray& bytes) {
    return bytes.startsWith("\x89PNG") && QImage::fromData(bytes, "PNG").size() == QSize(431, 127);
}

// Runs the child as "nobody" when the tests run as root, for whom no
// permission bit counts.
void TakeNobody() {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
        ::_exit(127);
    }
}

}  // namespace

class tst_Output : public QObject {
    Q_OBJECT

private slots:
    void init();
    void outputIsAnInput_refused_data();
    void outputIsAnInput_refused();
    void regularOutput_replacedWhole_data();
    void regularOutput_replacedWhole();
    void namedPipe_readerGetsData_data();
    void namedPipe_readerGetsData();
    void failedWrite_endsWithReason_data();
    void failedWrite_endsWithReason();
    void deviceAsRoot_notReplaced_data();
    void deviceAsRoot_notReplaced();
    void signalMidWrite_leavesNoTemporary_data();
    void signalMidWrite_leavesNoTemporary();
    void unreadableInput_outputUntouched_data();
    void unreadableInput_outputUntouched();

private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    QStringList listing() const {
        return QDir(dir_->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    // Splits at blanks; {dir} stands for the directory's path.
    QStringList words(const QString& arguments) const {
        QStringList list = arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString& word : list) {
            word.replace(QStringLiteral("{dir}"), dir_->path());
        }
        return list;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray good_;  // the contents of good.txt
};

// A fresh directory for every row, holding good.txt (two trucks) and other.txt
// (one), both readable by anyone, in a directory anyone may enter.
void tst_Output::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QFile::setPermissions(
        dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                          QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
    good_ = Trucks(7001, 2);
    WriteFile(path(QStringLiteral("good.txt")), good_);
    WriteFile(path(QStringLiteral("other.txt")), Trucks(7101, 1));
}

void tst_Output::outputIsAnInput_refused_data() {
    // Run in the directory; hard.txt is a hard link to good.txt, soft.txt a
    // symbolic one.
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("appendToGood");  // standard output appended to good.txt
    QTest::addColumn<QString>("message");
    const QString replaced = QStringLiteral(": is also an input file; not replaced");
    const auto row = [&](const char* tag, const char* arguments, const char* output) {
        QTest::newRow(tag) << arguments << false << output + replaced;
    };
    row("csv: the same name", "csv good.txt -o good.txt", "good.txt");
    row("csv: ./ before the name", "csv good.txt -o ./good.txt", "./good.txt");
    row("csv: the full path", "csv good.txt -o {dir}/good.txt", "{dir}/good.txt");
    row("csv: a hard link to the input", "csv other.txt good.txt -o hard.txt", "hard.txt");
    row("csv: a symbolic link to the input", "csv good.txt -o soft.txt", "soft.txt");
    row("csv: the input named through a link", "csv soft.txt -o good.txt", "good.txt");
    row("render: the same name", "render good.txt --truck 1 -o good.txt", "good.txt");
    row("render: a hard link to the input", "render good.txt --truck 1 -o hard.txt", "hard.txt");
    row("render: a symbolic link to the input", "render good.txt --truck 1 -o soft.txt",
        "soft.txt");
    const QString nothing =
        QStringLiteral("standard output: is also an input file; nothing written");
    QTest::newRow("csv: standard output appended to the input")
        << "csv good.txt" << true << nothing;
    QTest::newRow("check: standard output appended to the input")
        << "check other.txt good.txt" << true << nothing;
}

void tst_Output::outputIsAnInput_refused() {
    QFETCH(QString, arguments);
    QFETCH(bool, appendToGood);
    QFETCH(QString, message);
    QCOMPARE(::link(QFile::encodeName(path(QStringLiteral("good.txt"))).constData(),
                    QFile::encodeName(path(QStringLiteral("hard.txt"))).constData()),
             0);
    QVERIFY(QFile::link(QStringLiteral("good.txt"), path(QStringLiteral("soft.txt"))));
    const QStringList before = listing();

    Start start;
    start.workingDirectory = dir_->path();
    if (appendToGood) {
        start.standardOutput = path(QStringLiteral("good.txt"));
    }
    const Run run = RunCli(words(arguments), start);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message.replace(QStringLiteral("{dir}"), dir_->path()).toUtf8()),
             run.err.constData());
    QCOMPARE(ReadFile(path(QStringLiteral("good.txt"))), good_);
    QVERIFY(QFileInfo(path(QStringLiteral("soft.txt"))).isSymLink());
    QCOMPARE(listing(), before);
}

// A regular output is replaced by the complete output: a link stays a link and
// its target is written, a file keeps its mode, a new file gets the mode of
// new files.
void tst_Output::regularOutput_replacedWhole_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("output");  // "link", "0600", "0640" or "new"
    QTest::addColumn<int>("mode");        // of the file written (the link's target)
    for (const char* command : {"csv", "render"}) {
        const QByteArray name(command);
        QTest::newRow(name + ": through a symbolic link") << command << "link" << 0644;
        QTest::newRow(name + ": an owner-only file keeps 0600") << command << "0600" << 0600;
        QTest::newRow(name + ": a group-readable file keeps 0640") << command << "0640" << 0640;
        QTest::newRow(name + ": a new file, umask 027") << command << "new" << 0640;
    }
}

void tst_Output::regularOutput_replacedWhole() {
    QFETCH(QString, command);
    QFETCH(QString, output);
    QFETCH(int, mode);
    const QString target = path(QStringLiteral("target.out"));
    QString out = target;
    if (output != QStringLiteral("new")) {
        WriteFile(target, kOld);
        QCOMPARE(::chmod(QFile::encodeName(target).constData(),
                         output == QStringLiteral("link")   ? 0644
                         : output == QStringLiteral("0600") ? 0600
                                                            : 0640),
                 0);
    }
    if (output == QStringLiteral("link")) {
        out = path(QStringLiteral("link.out"));
        QVERIFY(QFile::link(QStringLiteral("target.out"), out));
    }

    Start start;
    start.inChild = [] { ::umask(027); };
    const QStringList arguments =
        command == QStringLiteral("csv")
            ? QStringList{"csv", path(QStringLiteral("good.txt")), "-o", out}
            : QStringList{"render", path(QStringLiteral("good.txt")), "--truck", "2", "-o", out};
    const Run run = RunCli(arguments, start);
    QCOMPARE(run.status, 0);

    const QByteArray written = ReadFile(target);
    if (command == QStringLiteral("csv")) {
        QVERIFY(written.startsWith(kCsvHeader));
        QCOMPARE(written.count("\r\n"), 3);  // the header and two trucks
        QVERIFY(written.endsWith(",6338112.47,\r\n"));
    } else {
        QVERIFY(IsPicture(written));
    }
    QCOMPARE(int(ModeOf(target)), mode);
    if (output == QStringLiteral("link")) {
        QCOMPARE(QFileInfo(out).symLinkTarget(), target);
    }
    QStringList expected{"good.txt", "other.txt", "target.out"};
    if (output == QStringLiteral("link")) {
        expected.insert(1, QStringLiteral("link.out"));
    }
    QCOMPARE(listing(), expected);
}

// A named pipe is written into, not replaced: its reader gets everything.
void tst_Output::namedPipe_readerGetsData_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("csv") << "csv";
    QTest::newRow("render") << "render";
}

void tst_Output::namedPipe_readerGetsData() {
    QFETCH(QString, command);
    const QByteArray fifo = QFile::encodeName(path(QStringLiteral("pipe")));
    QCOMPARE(::mkfifo(fifo.constData(), 0644), 0);
    // Opened for reading first, without waiting, so that the program's open for
    // writing finds a reader. Both outputs fit the pipe's buffer.
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const QString good = path(QStringLiteral("good.txt"));
    const QStringList arguments =
        command == QStringLiteral("csv")
            ? QStringList{"csv", good, "-o", QFile::decodeName(fifo)}
            : QStringList{"render", good, "--truck", "1", "-o", QFile::decodeName(fifo)};
    const Run run = RunCli(arguments);
    QByteArray received;
    char buffer[4096];
    for (ssize_t got = 0; (got = ::read(reader, buffer, sizeof buffer)) > 0;) {
        received.append(buffer, got);
    }
    ::close(reader);
    QCOMPARE(run.status, 0);
    if (command == QStringLiteral("csv")) {
        QCOMPARE(received, RunCli({"csv", good}).out);
        QVERIFY(received.startsWith(kCsvHeader));
    } else {
        QVERIFY(IsPicture(received));
    }
    QCOMPARE(TypeOf(fifo.constData()), mode_t(S_IFIFO));
    QCOMPARE(listing(), (QStringList{"good.txt", "other.txt", "pipe"}));
}

// Every write is checked: a full device, a closed standard output or a
// directory that may not be written ends the run with status 2 and a reason,
// and leaves nothing behind.
void tst_Output::failedWrite_endsWithReason_data() {
    QTest::addColumn<QString>("arguments");       // run in the directory
    QTest::addColumn<QString>("standardOutput");  // "", "/dev/full" or "closed"
    QTest::addColumn<QString>("message");
    const QString full = QStringLiteral("No space left on device");
    const QString closed = QStringLiteral("standard output: Bad file descriptor");
    QTest::newRow("check: standard output full") << "check good.txt"
                                                 << "/dev/full"
                                                 << "standard output: " + full;
    QTest::newRow("csv: standard output full") << "csv good.txt"
                                               << "/dev/full"
                                               << "standard output: " + full;
    QTest::newRow("help: standard output full") << "render --help"
                                                << "/dev/full"
                                                << "standard output: " + full;
    QTest::newRow("csv: -o a full device") << "csv good.txt -o /dev/full"
                                           << ""
                                           << "/dev/full: " + full;
    QTest::newRow("render: -o a full device") << "render good.txt --truck 1 -o /dev/full"
                                              << ""
                                              << "/dev/full: " + full;
    QTest::newRow("check: standard output closed") << "check good.txt"
                                                   << "closed" << closed;
    QTest::newRow("csv: standard output closed") << "csv good.txt"
                                                 << "closed" << closed;
    QTest::newRow("csv: a read-only directory") << "csv good.txt -o locked/out.csv"
                                                << ""
                                                << "locked/out.csv: Permission denied";
    QTest::newRow("render: a read-only directory") << "render good.txt --truck 1 -o locked/out.png"
                                                   << ""
                                                   << "locked/out.png: Permission denied";
    QTest::newRow("csv: a directory") << "csv good.txt -o locked"
                                      << ""
                                      << "locked: Is a directory";
    QTest::newRow("csv: below a file") << "csv good.txt -o good.txt/out.csv"
                                       << ""
                                       << "good.txt/out.csv: Not a directory";
}

void tst_Output::failedWrite_endsWithReason() {
    QFETCH(QString, arguments);
    QFETCH(QString, standardOutput);
    QFETCH(QString, message);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("locked")));
    QVERIFY(QFile::setPermissions(path(QStringLiteral("locked")),
                                  QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    Start start;
    start.workingDirectory = dir_->path();
    if (standardOutput == QStringLiteral("closed")) {
        start.inChild = [] {
            TakeNobody();
            ::close(STDOUT_FILENO);
        };
    } else {
        start.standardOutput = standardOutput;
        start.inChild = TakeNobody;
    }
    const Run run = RunCli(words(arguments), start);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    QCOMPARE(TypeOf("/dev/full"), mode_t(S_IFCHR));
    QCOMPARE(ReadFile(path(QStringLiteral("good.txt"))), good_);
    QCOMPARE(listing(), (QStringList{"good.txt", "locked", "other.txt"}));
    QCOMPARE(QDir(path(QStringLiteral("locked")))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList());
}

// Root may replace a device node by a plain file; the program must not. Tried
// on a node of the full device made in the test's directory, never on
// /dev/full itself.
void tst_Output::deviceAsRoot_notReplaced_data() {
    QTest::addColumn<QString>("arguments");  // run in the directory
    QTest::newRow("csv") << "csv good.txt -o full";
    QTest::newRow("render") << "render good.txt --truck 1 -o full";
}

void tst_Output::deviceAsRoot_notReplaced() {
    QFETCH(QString, arguments);
    if (::geteuid() != 0) {
        QSKIP("only root can replace a device node");
    }
    const QByteArray node = QFile::encodeName(path(QStringLiteral("full")));
    if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
        QSKIP("device nodes cannot be made here");
    }
    Start start;
    start.workingDirectory = dir_->path();
    const Run run = RunCli(words(arguments), start);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains("axlewise-cli: full: No space left on device"), run.err.constData());
    struct stat info {};
    QCOMPARE(::stat(node.constData(), &info), 0);
    QCOMPARE(info.st_mode & S_IFMT, mode_t(S_IFCHR));
    QCOMPARE(info.st_rdev, makedev(1, 7));
    QCOMPARE(listing(), (QStringList{"full", "good.txt", "other.txt"}));
}

// A signal while csv writes: the program dies of it, the output is as it was,
// and no temporary is left. The input holds trucks enough for several blocks
// of output, then unreadable lines enough to fill the pipe of standard error:
// once the first of them is read here, the program is past opening its output
// and stays in the middle of its run until the signal comes.
void tst_Output::signalMidWrite_leavesNoTemporary_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void tst_Output::signalMidWrite_leavesNoTemporary() {
    QFETCH(int, signal);
    QByteArray contents = Trucks(1, 20000);
    const QByteArray bad = QByteArray::fromStdString(WithField(TruckLine(9), kSpeed, "1x3")) + "\n";
    for (int k = 0; k < 20000; ++k) {
        contents += bad;
    }
    const QString input = WriteFile(path(QStringLiteral("big.txt")), contents);
    const QString out = WriteFile(path(QStringLiteral("out.csv")), kOld);
    QVERIFY(QFile::remove(path(QStringLiteral("good.txt"))));
    QVERIFY(QFile::remove(path(QStringLiteral("other.txt"))));

    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    process.start(QStringLiteral(AXLEWISE_CLI), {"csv", input, "-o", out});
    QVERIFY(process.waitForReadyRead(60000));
    // The output is open: some descriptor names a file of the directory other
    // than the input (the temporary, named or not).
    QStringList open;
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(process.processId()));
    for (const QFileInfo& entry :
         descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        open << entry.symLinkTarget();
    }
    const auto temporary = [&](const QString& target) {
        return target.startsWith(dir_->path() + QLatin1Char('/')) && target != input;
    };
    QVERIFY2(std::any_of(open.begin(), open.end(), temporary), qPrintable(open.join(u' ')));

    QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QCOMPARE(process.exitCode(), signal);
    QCOMPARE(ReadFile(out), kOld);
    QCOMPARE(listing(), (QStringList{"big.txt", "out.csv"}));
}

// Inputs are looked at before the output: one that cannot be read ends the
// run and the output stays as it was.
void tst_Output::unreadableInput_outputUntouched_data() {
    QTest::addColumn<QString>("arguments");  // run in the directory, which holds out.csv
    QTest::addColumn<QString>("message");
    QTest::newRow("csv: a missing second input") << "csv good.txt missing.txt -o out.csv"
                                                 << "missing.txt: No such file or directory";
    QTest::newRow("csv: a missing first input") << "csv missing.txt good.txt -o out.csv"
                                                << "missing.txt: No such file or directory";
    QTest::newRow("csv: a directory as input") << "csv good.txt sub -o out.csv"
                                               << "sub: Is a directory";
    QTest::newRow("csv: a named pipe as input") << "csv good.txt pipe -o out.csv"
                                                << "pipe: not a regular file";
    QTest::newRow("csv: standard output, a missing input")
        << "csv good.txt missing.txt"
        << "missing.txt: No such file or directory";
    QTest::newRow("render: a missing input") << "render missing.txt --truck 1 -o out.csv"
                                             << "missing.txt: No such file or directory";
    QTest::newRow("render: no such truck") << "render good.txt --truck 3 -o out.csv"
                                           << "good.txt: no truck 3: the file holds 2 trucks";
}

void tst_Output::unreadableInput_outputUntouched() {
    QFETCH(QString, arguments);
    QFETCH(QString, message);
    WriteFile(path(QStringLiteral("out.csv")), kOld);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
    QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0644), 0);
    const QStringList before = listing();
    Start start;
    start.workingDirectory = dir_->path();
    const Run run = RunCli(words(arguments), start);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(ReadFile(path(QStringLiteral("out.csv"))), kOld);
    QCOMPARE(listing(), before);
}

QTEST_GUILESS_MAIN(tst_Output)
#include "tst_output.moc"
