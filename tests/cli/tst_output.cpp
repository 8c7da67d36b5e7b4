// axlewise-cli's outputs tried with hostile targets, run as a process: an
// output that is an input under another name, links and modes, a named pipe, a
// full device, a closed standard output, a directory it may not write, a
// signal in the middle of a write, and inputs that cannot be read.

#include "CliProcess.h"
#include "CliTrucks.h"

#include <QDir>
#include <QFileInfo>
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

const QByteArray kOld = "old contents\n";
const QByteArray kCsvHeader = "file,line,HEAD,DAY,MONTH,YEAR,HOUR,MINUTE,";

// `count` good truck lines: with a few thousand the CSV fills more than one
// of the blocks it is written in.
QByteArray ManyTrucks(int count) {
    QByteArray lines;
    for (int k = 0; k < count; ++k) {
        lines += QByteArray::fromStdString(TruckLine(k % 10000)) + "\n";
    }
    return lines;
}

mode_t StatMode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

// Runs the child as "nobody" when the tests run as root, for whom no
// permission bit counts, and who could replace /dev/full.
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
    void namedPipe_readerGetsData();
    void failedWrite_endsWithReason_data();
    void failedWrite_endsWithReason();
    void deviceAsRoot_notReplaced();
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
    Run run(const QString& arguments, Start start = {}) const {
        return RunIn(dir_->path(), arguments, std::move(start));
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray good_;  // the contents of good.txt
};

// A fresh directory for every row, holding good.txt (two trucks) and other.txt
// (one), both readable by anyone, in a directory anyone may enter.
void tst_Output::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QCOMPARE(::chmod(QFile::encodeName(dir_->path()).constData(), 0755), 0);
    good_ = Line(7001) + "\n" + Line(7002) + "\n";
    WriteFile(path("good.txt"), good_);
    WriteFile(path("other.txt"), Line(7101) + "\n");
}

// Run in the directory; hard.txt is a hard link to good.txt, soft.txt a
// symbolic one.
void tst_Output::outputIsAnInput_refused_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("appendToGood");  // standard output appended to good.txt
    QTest::addColumn<QString>("message");
    const QString replaced = ": is also an input file; not replaced";
    for (const QString command : {"csv", "render --truck 1", "report"}) {
        const QString name = command.section(QLatin1Char(' '), 0, 0);
        const auto row = [&](const char* tag, const char* output) {
            QTest::addRow("%s: %s", qPrintable(name), tag)
                << command + " good.txt -o " + output << false << output + replaced;
        };
        row("the same name", "good.txt");
        row("./ before the name", "./good.txt");
        row("a hard link to the input", "hard.txt");
        row("a symbolic link to the input", "soft.txt");
    }
    QTest::newRow("csv: the second input, named through a link")
        << "csv other.txt soft.txt -o good.txt" << false << "good.txt" + replaced;
    const QString nothing = "standard output: is also an input file; nothing written";
    QTest::newRow("csv: standard output appended to the input")
        << "csv good.txt" << true << nothing;
    QTest::newRow("check: standard output appended to the second input")
        << "check other.txt good.txt" << true << nothing;
}

void tst_Output::outputIsAnInput_refused() {
    QFETCH(QString, arguments);
    QFETCH(bool, appendToGood);
    QFETCH(QString, message);
    QCOMPARE(::link(QFile::encodeName(path("good.txt")).constData(),
                    QFile::encodeName(path("hard.txt")).constData()),
             0);
    QVERIFY(QFile::link("good.txt", path("soft.txt")));
    const QStringList before = listing();

    Start start;
    if (appendToGood) {
        start.standardOutput = path("good.txt");
    }
    const Run result = run(arguments, start);
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    QCOMPARE(ReadFile(path("good.txt")), good_);
    QVERIFY(QFileInfo(path("soft.txt")).isSymLink());
    QCOMPARE(listing(), before);
}

// A regular output is replaced by the complete output: a link stays a link and
// its target is written, a file keeps its mode, a new file gets the mode of
// new files.
void tst_Output::regularOutput_replacedWhole_data() {
    QTest::addColumn<QString>("arguments");  // writing to link (to target.out) or target.out
    QTest::addColumn<int>("before");         // target.out's mode; 0: no target.out
    QTest::addColumn<int>("after");
    const auto row = [](const char* tag, const char* arguments, int before, int after) {
        QTest::newRow(tag) << arguments << before << after;
    };
    row("csv: through a symbolic link", "csv good.txt -o link", 0644, 0644);
    row("render: through a symbolic link", "render good.txt --truck 2 -o link", 0644, 0644);
    row("csv: an owner-only file keeps 0600", "csv good.txt -o target.out", 0600, 0600);
    row("render: a new file, umask 027", "render good.txt --truck 2 -o target.out", 0, 0640);
}

void tst_Output::regularOutput_replacedWhole() {
    QFETCH(QString, arguments);
    QFETCH(int, before);
    QFETCH(int, after);
    const QString target = path("target.out");
    if (before != 0) {
        WriteFile(target, kOld);
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), mode_t(before)), 0);
    }
    const bool linked = arguments.endsWith(" link");
    QVERIFY(!linked || QFile::link("target.out", path("link")));

    Start start;
    start.inChild = [] { ::umask(027); };
    QCOMPARE(run(arguments, start).status, 0);
    const QByteArray written = ReadFile(target);
    const bool csv = arguments.startsWith("csv");
    QVERIFY(written.startsWith(csv ? kCsvHeader : "\x89PNG"));
    QVERIFY(written.endsWith(csv ? ",6338112.47,\r\n" : "IEND\xAE\x42\x60\x82"));
    QCOMPARE(int(StatMode(target) & 07777), after);
    QStringList expected{"good.txt", "other.txt", "target.out"};
    if (linked) {
        QCOMPARE(QFileInfo(path("link")).symLinkTarget(), target);
        expected.insert(1, "link");
    }
    QCOMPARE(listing(), expected);
}

// A named pipe is written into, not replaced: its reader gets everything.
void tst_Output::namedPipe_readerGetsData() {
    const QByteArray fifo = QFile::encodeName(path("pipe"));
    QCOMPARE(::mkfifo(fifo.constData(), 0644), 0);
    // Opened for reading first, without waiting, so that the program's open for
    // writing finds a reader. The table fits the pipe's buffer.
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const Run result = run("csv good.txt -o pipe");
    QByteArray received;
    char buffer[4096];
    for (ssize_t got = 0; (got = ::read(reader, buffer, sizeof buffer)) > 0;) {
        received.append(buffer, got);
    }
    ::close(reader);
    QCOMPARE(result.status, 0);
    QVERIFY(received.startsWith(kCsvHeader));
    QCOMPARE(received.count("\r\n"), 3);  // the header and two trucks
    QCOMPARE(StatMode(path("pipe")) & S_IFMT, mode_t(S_IFIFO));
    QCOMPARE(listing(), (QStringList{"good.txt", "other.txt", "pipe"}));
}

// Every write is checked: a full device, a closed standard output or a
// directory that may not be written ends the run with status 2 and a reason,
// and leaves nothing behind.
void tst_Output::failedWrite_endsWithReason_data() {
    QTest::addColumn<QString>("arguments");       // run in the directory
    QTest::addColumn<QString>("standardOutput");  // "", "/dev/full" or "closed"
    QTest::addColumn<QString>("message");
    const auto row = [](const char* tag, const char* arguments, const char* standardOutput,
                        const char* message) {
        QTest::newRow(tag) << arguments << standardOutput << message;
    };
    const char* const full = "standard output: No space left on device";
    const char* const device = "/dev/full: No space left on device";
    row("check: standard output full", "check good.txt", "/dev/full", full);
    row("csv: standard output full", "csv good.txt", "/dev/full", full);
    row("help: standard output full", "render --help", "/dev/full", full);
    row("csv: -o a full device", "csv good.txt -o /dev/full", "", device);
    row("render: -o a full device", "render good.txt --truck 1 -o /dev/full", "", device);
    row("report: -o a full device", "report good.txt -o /dev/full", "", device);
    row("csv: standard output closed", "csv good.txt", "closed",
        "standard output: Bad file descriptor");
    row("csv: a read-only directory", "csv good.txt -o locked/out.csv", "",
        "locked/out.csv: Permission denied");
    row("csv: a directory", "csv good.txt -o locked", "", "locked: Is a directory");
    row("csv: below a file", "csv good.txt -o good.txt/out.csv", "",
        "good.txt/out.csv: Not a directory");
}

void tst_Output::failedWrite_endsWithReason() {
    QFETCH(QString, arguments);
    QFETCH(QString, standardOutput);
    QFETCH(QString, message);
    QVERIFY(QDir(dir_->path()).mkdir("locked"));
    QCOMPARE(::chmod(QFile::encodeName(path("locked")).constData(), 0555), 0);
    Start start;
    if (standardOutput == "closed") {
        start.inChild = [] {
            TakeNobody();
            ::close(STDOUT_FILENO);
        };
    } else {
        start.standardOutput = standardOutput;
        start.inChild = TakeNobody;
    }
    const Run result = run(arguments, start);
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    QCOMPARE(StatMode("/dev/full") & S_IFMT, mode_t(S_IFCHR));
    QCOMPARE(ReadFile(path("good.txt")), good_);
    QCOMPARE(listing(), (QStringList{"good.txt", "locked", "other.txt"}));
    QVERIFY(QDir(path("locked"))
                .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
}

// Root may replace a device node by a plain file; the program must not. Tried
// on a node of the full device made in the test's directory, never on
// /dev/full itself.
void tst_Output::deviceAsRoot_notReplaced() {
    if (::geteuid() != 0) {
        QSKIP("only root can replace a device node");
    }
    const QByteArray node = QFile::encodeName(path("full"));
    if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
        QSKIP("device nodes cannot be made here");
    }
    const Run result = run("csv good.txt -o full");
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.contains("axlewise-cli: full: No space left on device"),
             result.err.constData());
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
void tst_Output::signalMidWrite_leavesNoTemporary() {
    const QString input = WriteFile(
        path("big.txt"), ManyTrucks(20000) + (Broken(9, kSpeed, "1x3") + "\n").repeated(20000));
    const QString out = WriteFile(path("out.csv"), kOld);

    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    process.start(QStringLiteral(AXLEWISE_CLI), {"csv", input, "-o", out});
    QVERIFY(process.waitForReadyRead(60000));
    // The output is open: some descriptor names a file of the directory other
    // than the input (the temporary, named or not).
    const QFileInfoList open = QDir(QStringLiteral("/proc/%1/fd").arg(process.processId()))
                                   .entryInfoList(QDir::AllEntries | QDir::System);
    QVERIFY(std::any_of(open.begin(), open.end(), [&](const QFileInfo& descriptor) {
        const QString target = descriptor.symLinkTarget();
        return target.startsWith(dir_->path() + '/') && target != input;
    }));

    QCOMPARE(::kill(static_cast<pid_t>(process.processId()), SIGTERM), 0);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QCOMPARE(process.exitCode(), SIGTERM);
    QCOMPARE(ReadFile(out), kOld);
    QCOMPARE(listing(), (QStringList{"big.txt", "good.txt", "other.txt", "out.csv"}));
}

// Inputs are looked at before the output: one that cannot be read ends the
// run and the output stays as it was.
void tst_Output::unreadableInput_outputUntouched_data() {
    QTest::addColumn<QString>("arguments");  // run in the directory, which holds out.csv
    QTest::addColumn<QString>("message");
    const QString missing = "missing.txt: No such file or directory";
    QTest::newRow("csv: a missing second input")
        << "csv good.txt missing.txt -o out.csv" << missing;
    QTest::newRow("csv: a directory as input") << "csv good.txt sub -o out.csv"
                                               << "sub: Is a directory";
    QTest::newRow("csv: a named pipe as input") << "csv good.txt pipe -o out.csv"
                                                << "pipe: not a regular file";
    QTest::newRow("csv: standard output, a missing input after blocks of rows")
        << "csv big.txt missing.txt" << missing;
    QTest::newRow("render: a missing input")
        << "render missing.txt --truck 1 -o out.csv" << missing;
    QTest::newRow("render: no such truck") << "render good.txt --truck 3 -o out.csv"
                                           << "good.txt: no truck 3: the file holds 2 trucks";
    QTest::newRow("report: a missing second input")
        << "report good.txt missing.txt -o out.csv" << missing;
}

void tst_Output::unreadableInput_outputUntouched() {
    QFETCH(QString, arguments);
    QFETCH(QString, message);
    WriteFile(path("out.csv"), kOld);
    WriteFile(path("big.txt"), ManyTrucks(20000));
    QVERIFY(QDir(dir_->path()).mkdir("sub"));
    QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0644), 0);
    const QStringList before = listing();
    const Run result = run(arguments);
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(ReadFile(path("out.csv")), kOld);
    QCOMPARE(listing(), before);
}

QTEST_GUILESS_MAIN(tst_Output)
#include "tst_output.moc"
