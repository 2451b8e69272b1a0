// The workbooks of today's spreadsheets read through the real reader process: the same census and
// judge's sheets written by openpyxl, libxlsxwriter and LibreOffice Calc as .xlsx, .ods and .csv
// (tests/data/workbooks, made by make_workbooks.py) give the very cells that the .xls reader
// gives for the same sheets, and the imports store the same rows from them; the files that cannot
// be read get their Spanish message and store nothing.

#include "import/workbooks.h"
#include "output/xlsx/workbook.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/import/worksheet.h"
#include "store/database.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using imports::Cell;
using imports::Worksheet;

namespace
{

QString dataFile(const QString& name)
{
    return QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath(QStringLiteral("workbooks/") + name);
}

// The columns each import reads: the census A to H and N; the judge's sheet A to C and I to N.
const QList<int> censusColumns = {1, 2, 3, 4, 5, 6, 7, 8, 14};
const QList<int> judgeColumns = {1, 2, 3, 9, 10, 11, 12, 13, 14};

QString describe(const Cell& cell)
{
    switch (cell.kind) {
    case Cell::Kind::Empty:
        return QStringLiteral("vacía");
    case Cell::Kind::Number:
        return QStringLiteral("número ") + QString::number(cell.number, 'g', 17);
    case Cell::Kind::Text:
        return QStringLiteral("texto «") + cell.text + QStringLiteral("»");
    }
    return {};
}

// Every value of the table stored, in order, one line a row.
QStringList tableRows(store::Database& db, const QString& query)
{
    QStringList rows;
    store::Recordset rs = db.openRecordset(query);
    const store::TableDef* table = rs.table();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        QStringList fields;
        for (const store::FieldDef& field : table->fields)
            fields << rs.value(field.name).toString();
        rows << fields.join(u'|');
    }
    return rows;
}

// The sheet "Hoja1" of the workbook; a workbook that cannot be read fails the test with its message.
std::optional<Worksheet> hoja1(const QString& path)
{
    try {
        return Worksheet::open(path, QStringLiteral("Hoja1"));
    } catch (const imports::WorkbookError& e) {
        qWarning("%s", qPrintable(e.message()));
        return std::nullopt;
    }
}

} // namespace

class TestWorkbookFormats : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    store::Database freshExhibition(const QString& name)
    {
        store::Database db = store::Database::create(m_dir.filePath(name), store::schema::exhibition());
        fixtures::setConfig(db, 5, false);
        return db;
    }

    static void fileTable()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<bool>("asText"); // a .csv holds texts only: compared as the rules read them
        for (const char* stem : {"censo", "juez"}) {
            const QString reference = QString::fromLatin1(stem) + QStringLiteral(".xls");
            for (const char* maker : {"-openpyxl.xlsx", "-libxlsxwriter.xlsx", "-calc.xlsx", "-calc.ods"})
                QTest::newRow(qPrintable(stem + QString::fromLatin1(maker)))
                    << QString::fromLatin1(stem) + QString::fromLatin1(maker) << reference << false;
        }
        for (const char* file :
             {"censo-calc.csv", "censo-calc-1252.csv", "censo-calc-coma.csv", "censo-retornos.csv"})
            QTest::newRow(file) << QString::fromLatin1(file) << QStringLiteral("censo.xls") << true;
        for (const char* file : {"censo-escapes.xlsx", "censo-mimetype-comprimido.ods"})
            QTest::newRow(file) << QString::fromLatin1(file) << QStringLiteral("censo.xls") << false;
        QTest::newRow("juez-calc.csv")
            << QStringLiteral("juez-calc.csv") << QStringLiteral("juez.xls") << true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const auto& [name, rows] : {std::pair{"millon.csv", 1000000}, {"justo.csv", 65536}}) {
            QFile csv(m_dir.filePath(name));
            QByteArray all;
            for (int r = 1; r <= rows; ++r)
                all += QByteArray::number(r % 999 + 1) + ";A;M\n";
            QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write(all) == all.size());
        }
        output::xlsx::Workbook workbook;
        output::xlsx::Sheet sheet = workbook.addSheet(QStringLiteral("Hoja1"));
        for (int r = 0; r < 70000; ++r)
            sheet.number(r, 0, r % 999 + 1);
        workbook.saveAs(m_dir.filePath("setenta-mil.xlsx"));
        // The .xls ones: a sheet of another name, a name over 32,000 characters, a text file, an
        // empty one, and sheets that claim more rows or columns than a sheet holds.
        workbooks::write(m_dir.filePath("hoja2.xls"), {{5, {12}}}, "Hoja2");
        QVariantList longName = workbooks::bird(2);
        longName[4] = QString(32000, u'x');
        workbooks::write(m_dir.filePath("largo.xls"), {{5, workbooks::bird(1)}, {6, longName}});
        QFile text(m_dir.filePath("notas.xls"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("Jaula;Grupo\n12;A\n") > 0);
        text.close();
        QVERIFY(QFile(m_dir.filePath("vacio.xls")).open(QIODevice::WriteOnly));
        const QString script = QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath("make_workbook.py");
        QCOMPARE(QProcess::execute("/usr/bin/python3",
                                   {script, "dimensions", m_dir.filePath("columnas.xls"), "100", "300"}),
                 0);
    }

    void cellsAsTheXlsReaderGivesThem_data() { fileTable(); }
    void cellsAsTheXlsReaderGivesThem()
    {
        QFETCH(QString, file);
        QFETCH(QString, reference);
        QFETCH(bool, asText);
        const std::optional<Worksheet> read = hoja1(dataFile(file));
        const std::optional<Worksheet> reread = hoja1(dataFile(reference));
        QVERIFY(read && reread);
        const Worksheet& sheet = *read;
        const Worksheet& expected = *reread;
        QCOMPARE(sheet.rowCount(), expected.rowCount());
        const QList<int> columns = file.startsWith(u"censo") ? censusColumns : judgeColumns;
        for (int row = 1; row <= expected.rowCount(); ++row) {
            for (const int column : columns) {
                const Cell got = sheet.cell(row, column);
                const Cell want = expected.cell(row, column);
                const QString where = QStringLiteral("fila %1, columna %2").arg(row).arg(column);
                if (asText) {
                    // A number is written as its digits ("88.5"): the rules read it as the number.
                    QCOMPARE(got.kind == Cell::Kind::Empty, want.kind == Cell::Kind::Empty);
                    if (want.kind == Cell::Kind::Number)
                        QCOMPARE(got.toNumber(), want.toNumber());
                    else
                        QCOMPARE(where + u' ' + got.toText(), where + u' ' + want.toText());
                } else {
                    QCOMPARE(where + u' ' + describe(got), where + u' ' + describe(want));
                }
            }
        }
        // The judge number, read from B2.
        QCOMPARE(sheet.cell(2, 2).toText(), expected.cell(2, 2).toText());
    }

    // Each import stores from each format exactly what it stores from the .xls.
    void importsStoreWhatTheXlsGives_data() { fileTable(); }
    void importsStoreWhatTheXlsGives()
    {
        QFETCH(QString, file);
        QFETCH(QString, reference);
        const bool census = file.startsWith(u"censo");
        auto stored = [&](const QString& workbook, const QString& name) {
            store::Database db = freshExhibition(name);
            if (census) {
                const imports::StoreCounts counts =
                    imports::storeReception(db, imports::readReception(workbook));
                return QStringList{imports::receptionSummary(counts)} +
                       tableRows(db, QStringLiteral("select * from Recepcion order by jaula"));
            }
            const imports::ScoreSheet sheet = imports::readScores(workbook);
            const imports::StoreCounts counts = imports::storeScores(db, sheet.rows, sheet.juez);
            return QStringList{sheet.juez, imports::scoreSummary(counts)} +
                   tableRows(db, QStringLiteral("select * from Puntos order by jaula"));
        };
        const QStringList want =
            stored(dataFile(reference), QStringLiteral("ref-") + file + QStringLiteral(".mdb"));
        QVERIFY(want.size() > 2); // the sheets store rows: a comparison of two empty tables proves nothing
        QCOMPARE(stored(dataFile(file), file + QStringLiteral(".mdb")), want);
    }

    // Every workbook that cannot be read is told by its real cause by both imports, whatever its
    // format, and nothing of it is stored: the files of the test data, and those made here (the
    // .xls ones, and sheets with data beyond the 65,536 rows an import takes, refused as soon as
    // the reader reaches them whatever their size). Workbooks that crash the reader or claim
    // absurd dimensions: palomas-cli importar-*.
    void unreadableFilesAreRefused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        const QString damaged = QStringLiteral("El libro «%1» está dañado o no se puede leer.");
        const QString notAWorkbook = QStringLiteral(
            "El archivo «%1» no es una hoja de cálculo (.xls, .xlsx, .ods o .csv) que se pueda "
            "leer.");
        const QString empty = QStringLiteral("El archivo «%1» está vacío.");
        const QString noHoja1 = QStringLiteral("El libro «%1» no tiene la hoja «Hoja1».");
        const QString beyond =
            QStringLiteral("La hoja «Hoja1» del libro «%1» tiene datos en la fila 65.537, más "
                           "allá de las 65.536 filas que se pueden importar.");
        QTest::newRow("cut in half") << "roto.xlsx" << damaged.arg("roto.xlsx");
        QTest::newRow("zip of no workbook") << "zip-sin-libro.xlsx" << notAWorkbook.arg("zip-sin-libro.xlsx");
        QTest::newRow("ods without content") << "sin-contenido.ods" << damaged.arg("sin-contenido.ods");
        for (const char* file : {"hoja-fuera.xlsx", "celda-de-otra-fila.xlsx", "entidad-externa.xlsx"})
            QTest::newRow(file) << file << damaged.arg(file);
        QTest::newRow("saved with a password")
            << "cifrado.xlsx"
            << "El libro «cifrado.xlsx» está protegido con contraseña y no se puede leer.";
        QTest::newRow("no Hoja1") << "sin-hoja1.xlsx" << noHoja1.arg("sin-hoja1.xlsx");
        QTest::newRow("mixed separators") << "mezcla.csv"
                                          << "El archivo «mezcla.csv» separa las columnas con «;» en unas "
                                             "filas y con «,» en otras (fila 5): "
                                             "guárdelo de nuevo con un solo separador.";
        QTest::newRow("NUL byte") << "nulo.csv" << damaged.arg("nulo.csv");
        QTest::newRow("empty csv") << "vacio.csv" << empty.arg("vacio.csv");
        QTest::newRow("empty xlsx") << "vacio.xlsx" << empty.arg("vacio.xlsx");
        QTest::newRow("csv of a million rows") << "millon.csv" << beyond.arg("millon.csv");
        QTest::newRow("xlsx of 70,000 rows") << "setenta-mil.xlsx" << beyond.arg("setenta-mil.xlsx");
        QTest::newRow("text named .xls") << "notas.xls" << notAWorkbook.arg("notas.xls");
        QTest::newRow("empty .xls") << "vacio.xls" << empty.arg("vacio.xls");
        QTest::newRow(".xls without Hoja1") << "hoja2.xls" << noHoja1.arg("hoja2.xls");
        QTest::newRow("300 columns declared") << "columnas.xls"
                                              << "La hoja «Hoja1» del libro «columnas.xls» dice tener 100 "
                                                 "filas y 300 columnas, más de las que caben "
                                                 "en una hoja: el libro está dañado.";
        QTest::newRow("a cell of 32,000 characters")
            << "largo.xls"
            << "La celda E6 de la hoja «Hoja1» del libro «largo.xls» tiene un texto de 32.000 caracteres, "
               "más de los que se pueden leer.";
    }
    void unreadableFilesAreRefused()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        const QString made = m_dir.filePath(file);
        const QString path = QFileInfo::exists(made) ? made : dataFile(file);
        store::Database db = freshExhibition(QStringLiteral("refused-") + file + ".mdb");
        for (const bool scores : {false, true}) {
            try {
                if (scores) {
                    const imports::ScoreSheet sheet = imports::readScores(path);
                    imports::storeScores(db, sheet.rows, sheet.juez);
                } else {
                    imports::storeReception(db, imports::readReception(path));
                }
                QFAIL("the workbook was read");
            } catch (const imports::WorkbookError& e) {
                QCOMPARE(e.message(), message);
            }
        }
        QCOMPARE(tableRows(db, "select * from Recepcion") + tableRows(db, "select * from Puntos"),
                 QStringList());
    }

    // A sheet of exactly the 65,536 rows an import takes is read whole.
    void aSheetOfTheRowsAnImportTakesIsRead()
    {
        QCOMPARE(Worksheet::open(m_dir.filePath("justo.csv"), QStringLiteral("Hoja1")).rowCount(), 65536);
    }
};

QTEST_GUILESS_MAIN(TestWorkbookFormats)
#include "test_workbook_formats.moc"
