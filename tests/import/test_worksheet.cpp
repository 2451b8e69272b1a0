// Reading the sheets with FreeXL: cell values as the user reads them, the rows of data, and the
// workbooks that cannot be read.

#include "import/sheet_rows.h"
#include "import/workbooks.h"
#include "import/worksheet.h"

#include <QTemporaryDir>
#include <QTest>

using imports::Cell;
using imports::WorkbookError;
using imports::Worksheet;
using workbooks::Row;

class TestWorksheet : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void cellTexts_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole year") << 2021.0 << "2021";
        QTest::newRow("ring") << 12345.0 << "12345";
        QTest::newRow("negative") << -3.0 << "-3";
        QTest::newRow("decimal with comma") << 9.5 << "9,5";
        QTest::newRow("more than 32 bits") << 123456789012.0 << "123456789012";
        QTest::newRow("small decimal") << 0.25 << "0,25";
    }
    void cellTexts()
    {
        QFETCH(double, number);
        QFETCH(QString, text);
        QCOMPARE(Cell::ofNumber(number).toText(), text);
    }

    // xlwt writes small whole numbers as integers (RK records) and large ones and decimals as
    // doubles: both kinds of cell read the same way.
    void realCellsReadAsWritten()
    {
        workbooks::write(path("cells.xls"), {{5,
                                              {2021, 9.5, QVariant::fromValue(qint64(123456789012)),
                                               "  Pérez ", QVariant(), "2021-05-01", "9,5"}}});
        const Worksheet sheet = Worksheet::open(path("cells.xls"), "Hoja1");
        QCOMPARE(sheet.cell(5, 1).toText(), "2021");
        QCOMPARE(sheet.cell(5, 2).toText(), "9,5");
        QCOMPARE(sheet.cell(5, 2).kind, Cell::Kind::Number);
        QCOMPARE(sheet.cell(5, 3).toText(), "123456789012");
        QCOMPARE(sheet.cell(5, 4).toText(), "  Pérez ");
        QVERIFY(sheet.cell(5, 5).isBlank());
        QCOMPARE(sheet.cell(5, 6).toText(), "2021-05-01");
        QCOMPARE(sheet.cell(5, 7).toNumber().value_or(0), 9.5);
        QVERIFY(sheet.cell(5, 40).isBlank()); // beyond the used area
        QVERIFY(sheet.cell(900, 1).isBlank());
        QVERIFY(sheet.cell(0, 1).isBlank());
    }

    void dataRows_data()
    {
        QTest::addColumn<QList<int>>("filledA");
        QTest::addColumn<int>("last");
        QTest::newRow("rows 5 to 14, then an empty row")
            << QList<int>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16} << 14;
        QTest::newRow("A5 and A6 empty: row 5 alone") << QList<int>{7, 8} << 5;
        QTest::newRow("A5 empty, A6 filled") << QList<int>{6, 7} << 7;
        QTest::newRow("A5 filled, A6 empty") << QList<int>{5, 7} << 5;
        QTest::newRow("headings only") << QList<int>{1, 2, 3} << 5;
    }
    void dataRows()
    {
        QFETCH(QList<int>, filledA);
        QFETCH(int, last);
        QList<Row> rows;
        for (int row : filledA)
            rows.append(Row{row, {row}});
        rows.append(Row{30, {QVariant(), "B30"}}); // the used area goes on below the data
        workbooks::write(path("rows.xls"), rows);
        const Worksheet sheet = Worksheet::open(path("rows.xls"), "Hoja1");
        QCOMPARE(imports::lastDataRow(sheet), last);

        QList<int> told;
        imports::forEachDataRow(
            sheet,
            [&](int done, int total) {
                QCOMPARE(total, last - 4);
                told << done;
            },
            [](int) {});
        QCOMPARE(told.size(), last - 4);
        QCOMPARE(told.last(), last - 4);
    }

    void blankTextEndsTheData()
    {
        workbooks::write(path("blank.xls"), {{5, {1}}, {6, {2}}, {7, {"   "}}, {8, {4}}});
        QCOMPARE(imports::lastDataRow(Worksheet::open(path("blank.xls"), "Hoja1")), 6);
    }

    void unreadableWorkbooks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file chosen") << "empty path"
                                        << "No se ha elegido ningún libro de Excel (.xls).";
        QTest::newRow("missing") << "missing"
                                 << "No se encuentra el archivo";
        QTest::newRow("a folder") << "folder"
                                  << "no es un archivo";
        QTest::newRow("a text file") << "text"
                                     << "El archivo «notas.xls» no es un libro de Excel (.xls)";
        QTest::newRow("an .xlsx (zip) workbook") << "zip"
                                                 << "El archivo «nuevo.xlsx» no es un libro de Excel (.xls)";
        QTest::newRow("an empty file") << "empty"
                                       << "El archivo «vacio.xls» no es un libro de Excel (.xls)";
        QTest::newRow("no sheet Hoja1") << "no Hoja1"
                                        << "El libro «hoja2.xls» no tiene la hoja «Hoja1».";
    }
    void unreadableWorkbooks()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QString file;
        auto writeFile = [&](const QString& name, const QByteArray& bytes) {
            file = path(name);
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        };
        if (kind == "missing")
            file = path("no-existe.xls");
        else if (kind == "folder")
            file = m_dir.path();
        else if (kind == "text")
            writeFile("notas.xls", "Jaula;Grupo\n12;A\n");
        else if (kind == "zip")
            writeFile("nuevo.xlsx", QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + QByteArray(600, 'x'));
        else if (kind == "empty")
            writeFile("vacio.xls", {});
        else if (kind == "no Hoja1") {
            file = path("hoja2.xls");
            workbooks::write(file, {{5, {12}}}, "Hoja2");
        }
        try {
            Worksheet::open(file, "Hoja1");
            QFAIL("the workbook was read");
        } catch (const WorkbookError& e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestWorksheet)
#include "test_worksheet.moc"
