#pragma once

#include <QProcess>
#include <QStringList>

// Runs palomas-cli with the arguments; returns exit code, standard output and error.
struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline CliResult runCli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(PALOMAS_CLI), args);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
