#pragma once
// Shared by the qzr6100-cli benchmarks: finding the built program and
// running it as a user would, timing the whole command.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace clibench {

// QZ_CLI_BINARY, or qzr6100-cli beside the benchmark (both are built into
// the build folder's top).
inline QString CliBinary()
{
    const QString named = qEnvironmentVariable("QZ_CLI_BINARY");
    if (!named.isEmpty()) return named;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/qzr6100-cli");
}

struct Run {
    int status = -1;
    double seconds = 0;
    QByteArray out;
    QByteArray err;
};

inline Run RunCli(const QStringList& arguments, int limitMs = 3600 * 1000)
{
    Run run;
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(CliBinary(), arguments);
    if (!process.waitForFinished(limitMs)) process.kill();
    process.waitForFinished();
    run.seconds = double(clock.nsecsElapsed()) * 1e-9;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace clibench
