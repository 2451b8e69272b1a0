#pragma once

// Workbooks written at test time by tests/data/make_workbook.py with Debian's python3-xlwt: real
// .xls files for FreeXL to read.

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace workbooks
{

// A row's number (from 1) and its cells from column A: whole numbers are written as numbers,
// doubles as doubles, strings as text, {"n": "inf"} as that number; an invalid QVariant leaves
// the cell empty.
using Row = std::pair<int, QVariantList>;

// A census row: cage, group, sex, licence, name, club, year, ring, four columns not read, score.
inline QVariantList bird(const QVariant& jaula, const QVariant& anilla = 555)
{
    return {jaula, "A", "M", "12345", "Juan Pérez", "C001", 2021, anilla, {}, {}, {}, {}, {}, 88.5};
}

// A judge's row: cage, group, sex, five columns not read, the five criteria and the total.
inline QVariantList scored(const QVariant& jaula, const QVariant& third = 18)
{
    return {jaula, "A", "M", {}, {}, {}, {}, {}, 8.5, 9, third, 28, 28.5, 92};
}

// make_workbook.py itself, for its other uses (a census of n rows, a sheet of false dimensions).
inline QString script()
{
    return QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath("make_workbook.py");
}

// Writes the rows into the sheet named sheet, which comes after an empty sheet "Resumen": every
// reading also proves that "Hoja1" is looked up by its name.
inline void write(const QString& path, const QList<Row>& rows, const QString& sheet = "Hoja1")
{
    QJsonArray cells;
    for (const auto& [number, values] : rows)
        cells.append(QJsonArray{number, QJsonArray::fromVariantList(values)});
    QProcess python;
    python.start("/usr/bin/python3", {script(), "sheets", path});
    python.write(
        QJsonDocument(QJsonArray{QJsonArray{"Resumen", QJsonArray()}, QJsonArray{sheet, cells}}).toJson());
    python.closeWriteChannel();
    if (!python.waitForFinished(120000) || python.exitCode() != 0)
        qFatal("make_workbook.py: %s", python.readAllStandardError().constData());
}

} // namespace workbooks
