#pragma once

// axlewise-cli (and xmllint) run as a process, for the tests of tests/cli.

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace axlewise::test {

struct Run {
    int status = -1;  // the exit status; -1 when the program did not exit by itself
    QByteArray out;
    QByteArray err;
};

// How the program is started, beyond its arguments.
struct Start {
    QString workingDirectory;  // empty: the test's own
    QString standardOutput;    // a file standard output is appended to; empty: read back
    // Run in the child just before the program starts (closing a descriptor,
    // taking another user).
    std::function<void()> inChild;
};

inline Run RunProgram(const QString& program, const QStringList& arguments,
                      const Start& start = {}) {
    QProcess process;
    process.setWorkingDirectory(start.workingDirectory);
    if (!start.standardOutput.isEmpty()) {
        process.setStandardOutputFile(start.standardOutput, QIODevice::Append);
    }
    if (start.inChild) {
        process.setChildProcessModifier(start.inChild);
    }
    process.start(program, arguments);
    const bool finished =
        process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    return {finished ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

// The program run in `directory` on `arguments` split at blanks.
inline Run RunIn(const QString& directory, const QString& arguments, Start start = {}) {
    start.workingDirectory = directory;
    return RunProgram(QStringLiteral(AXLEWISE_CLI),
                      arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts), start);
}

// Writes contents to path; the test stops when it cannot.
inline QString WriteFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(cannot be read)");
}

}  // namespace axlewise::test
