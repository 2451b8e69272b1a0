#pragma once

#include <QProcess>
#include <QStringList>

// Runs a program of palomas with the arguments, in the folder and environment given; returns the
// exit status (-1 for a crash), standard output and error.
struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline CliResult runProgram(const QString& program, const QStringList& args, const QString& folder = {},
                            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

#ifdef PALOMAS_CLI
inline CliResult runCli(const QStringList& args, const QString& folder = {})
{
    return runProgram(QStringLiteral(PALOMAS_CLI), args, folder);
}
#endif
