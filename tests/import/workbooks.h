#pragma once

// Workbooks written at test time by tests/data/make_workbook.py with Debian's python3-xlwt:
// real .xls files for FreeXL to read.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryFile>
#include <QTest>
#include <QVariantList>

namespace workbooks
{

// A row of cells from column A; an invalid QVariant leaves a cell empty. Whole numbers are
// written as numbers, doubles as doubles, strings as text.
struct Row {
    int number = 0;
    QVariantList cells;
};

struct Sheet {
    QString name;
    QList<Row> rows;
};

inline QString script()
{
    return QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath(QStringLiteral("make_workbook.py"));
}

// Runs the script; the error text, or "" when it wrote the workbook.
inline QString run(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{script()} + args);
    if (!process.waitForFinished(120000))
        return QStringLiteral("make_workbook.py did not finish");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString::fromUtf8(process.readAllStandardError());
    return {};
}

inline QString write(const QString& path, const QList<Sheet>& sheets)
{
    QJsonArray sheetArray;
    for (const Sheet& sheet : sheets) {
        QJsonArray rows;
        for (const Row& row : sheet.rows)
            rows.append(QJsonArray{row.number, QJsonArray::fromVariantList(row.cells)});
        sheetArray.append(QJsonObject{{QStringLiteral("name"), sheet.name}, {QStringLiteral("rows"), rows}});
    }
    QTemporaryFile spec;
    if (!spec.open())
        return QStringLiteral("no temporary file for the workbook's description");
    spec.write(QJsonDocument(QJsonObject{{QStringLiteral("sheets"), sheetArray}}).toJson());
    spec.flush();
    return run({QStringLiteral("spec"), path, spec.fileName()});
}

// The usual case: one sheet "Hoja1".
inline QString writeHoja1(const QString& path, const QList<Row>& rows)
{
    return write(path, {{QStringLiteral("Hoja1"), rows}});
}

} // namespace workbooks

// Writes the workbook or fails the test with the script's message.
#define WRITE_WORKBOOK(...)                                                                                  \
    do {                                                                                                     \
        const QString problem_ = workbooks::__VA_ARGS__;                                                     \
        QVERIFY2(problem_.isEmpty(), qPrintable(problem_));                                                  \
    } while (false)
