#pragma once

// The .xls workbooks the import benchmarks read, written by tests/data/make_workbook.py into a
// folder of the system's temporary one and kept there for the next runs. PALOMAS_SOURCE_DIR is
// defined by the benchmark's target.

#include <QDir>
#include <QFile>
#include <QProcess>

namespace bench
{

inline QDir workFolder(const QString& name)
{
    QDir folder(QDir::temp().filePath(name));
    folder.mkpath(QStringLiteral("."));
    return folder;
}

// The workbook of a kind ("reception" or "scores") and size in folder, written when missing.
inline QString sampleWorkbook(const QDir& folder, const QString& kind, int rows)
{
    const QString path = folder.filePath(QStringLiteral("%1-%2.xls").arg(kind).arg(rows));
    if (QFile::exists(path))
        return path;
    QStringList args{QStringLiteral(PALOMAS_SOURCE_DIR "/tests/data/make_workbook.py"), kind, path,
                     QString::number(rows)};
    if (kind == u"scores")
        args << QStringLiteral("6"); // a judge the generated exhibition has not seen
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        qFatal("make_workbook.py failed: %s", process.readAllStandardError().constData());
    return path;
}

} // namespace bench
