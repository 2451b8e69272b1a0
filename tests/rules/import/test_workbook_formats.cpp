// The workbooks of today's spreadsheets read through the real reader process: the census and the
// judge's sheet written by openpyxl and LibreOffice Calc as .xlsx, .ods and .csv
// (tests/data/workbooks, made by make_workbooks.py) store the very rows that the .xls of the same
// sheets stores; the files that cannot be read get their Spanish message and store nothing.

#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/import/worksheet.h"
#include "store/database.h"
#include "support/fixtures.h"
#include "support/workbooks.h"

#include <QTemporaryDir>
#include <QTest>

namespace
{

QString dataFile(const QString& name)
{
    return QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath("workbooks/" + name);
}

// Every value of the table stored, in order, one line a row.
QStringList tableRows(store::Database& db, const QString& table)
{
    QStringList rows;
    store::Recordset rs = db.openRecordset("select * from " + table + " order by jaula");
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        QStringList fields;
        for (const store::FieldDef& field : rs.table()->fields)
            fields << rs.value(field.name).toString();
        rows << fields.join(u'|');
    }
    return rows;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class TestWorkbookFormats : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    store::Database freshExhibition(const QString& name)
    {
        store::Database db =
            store::Database::create(m_dir.filePath(name + ".mdb"), store::schema::exhibition());
        fixtures::setConfig(db, 5, false);
        return db;
    }

    // What the census or the judge's sheet stores: the summary, then every row.
    QStringList stored(const QString& workbook, const QString& name)
    {
        store::Database db = freshExhibition(name);
        QStringList lines;
        if (QFileInfo(workbook).fileName().startsWith(u"censo")) {
            lines << imports::receptionSummary(imports::storeReception(db, imports::readReception(workbook)));
            return lines + tableRows(db, "Recepcion");
        }
        const imports::ScoreSheet sheet = imports::readScores(workbook);
        lines << sheet.juez << imports::scoreSummary(imports::storeScores(db, sheet.rows, sheet.juez));
        return lines + tableRows(db, "Puntos");
    }

private slots:
    void initTestCase()
    {
        // Data beyond the 65,536 rows an import takes; the .xls ones: a sheet of another name, a
        // cell over 32,000 characters, a text file, an empty one, and a sheet that claims more
        // columns than a sheet has.
        writeFile(m_dir.filePath("mas.csv"), QByteArray(65536, '\n') + "1\n");
        workbooks::write(m_dir.filePath("hoja2.xls"), {{5, {12}}}, "Hoja2");
        QVariantList longName = workbooks::bird(2);
        longName[4] = QString(32000, u'x');
        workbooks::write(m_dir.filePath("largo.xls"), {{5, workbooks::bird(1)}, {6, longName}});
        writeFile(m_dir.filePath("notas.xls"), "Jaula;Grupo\n12;A\n");
        writeFile(m_dir.filePath("vacio.xls"), {});
        QCOMPARE(QProcess::execute("/usr/bin/python3", {workbooks::script(), "dimensions",
                                                        m_dir.filePath("columnas.xls"), "100", "300"}),
                 0);
    }

    // Each import stores from each format exactly what it stores from the .xls.
    void importsStoreWhatTheXlsGives_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reference");
        for (const char* stem : {"censo", "juez"})
            for (const char* maker : {"-openpyxl.xlsx", "-calc.xlsx", "-calc.ods", "-calc.csv"})
                QTest::newRow(qPrintable(stem + QString(maker)))
                    << stem + QString(maker) << stem + QString(".xls");
        for (const char* file : {"censo-calc-1252.csv", "censo-calc-coma.csv", "censo-retornos.csv",
                                 "censo-escapes.xlsx", "censo-mimetype-comprimido.ods"})
            QTest::newRow(file) << file << "censo.xls";
    }
    void importsStoreWhatTheXlsGives()
    {
        QFETCH(QString, file);
        QFETCH(QString, reference);
        const QStringList want = stored(dataFile(reference), "ref-" + file);
        QVERIFY(want.size() > 3); // rows are stored: two empty tables alike would prove nothing
        QCOMPARE(stored(dataFile(file), file), want);
    }

    // Every workbook that cannot be read is told by its real cause by both imports, whatever its
    // format, and nothing of it is stored. Workbooks that crash the reader: palomas-cli importar-*.
    void unreadableFilesAreRefused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message"); // %1: the file
        const QString damaged = "El libro «%1» está dañado o no se puede leer.";
        const QString notAWorkbook =
            "El archivo «%1» no es una hoja de cálculo (.xls, .xlsx, .ods o .csv) que se pueda leer.";
        const QString noHoja1 = "El libro «%1» no tiene la hoja «Hoja1».";
        const QString beyond =
            "La hoja «Hoja1» del libro «%1» tiene datos en la fila 65.537, más allá de las "
            "65.536 filas que se pueden importar.";
        const QString empty = "El archivo «%1» está vacío.";
        QTest::newRow("cut in half") << "roto.xlsx" << damaged;
        QTest::newRow("zip of no workbook") << "zip-sin-libro.xlsx" << notAWorkbook;
        QTest::newRow("ods without content") << "sin-contenido.ods" << damaged;
        QTest::newRow("its sheet outside the package") << "hoja-fuera.xlsx" << damaged;
        QTest::newRow("a cell that names another row") << "celda-de-otra-fila.xlsx" << damaged;
        QTest::newRow("an external entity") << "entidad-externa.xlsx" << damaged;
        QTest::newRow("saved with a password")
            << "cifrado.xlsx"
            << "El libro «%1» está protegido con contraseña y no se puede leer.";
        QTest::newRow("no Hoja1") << "sin-hoja1.xlsx" << noHoja1;
        QTest::newRow("mixed separators")
            << "mezcla.csv"
            << "El archivo «%1» separa las columnas con «;» en unas filas y con «,» "
               "en otras (fila 5): guárdelo de nuevo con un solo separador.";
        QTest::newRow("NUL byte") << "nulo.csv" << damaged;
        QTest::newRow("empty csv") << "vacio.csv" << empty;
        QTest::newRow("empty xlsx") << "vacio.xlsx" << empty;
        QTest::newRow("data beyond row 65,536") << "mas.csv" << beyond;
        QTest::newRow("text named .xls") << "notas.xls" << notAWorkbook;
        QTest::newRow("empty .xls") << "vacio.xls" << empty;
        QTest::newRow(".xls without Hoja1") << "hoja2.xls" << noHoja1;
        QTest::newRow("300 columns declared")
            << "columnas.xls"
            << "La hoja «Hoja1» del libro «%1» dice tener 100 filas y 300 "
               "columnas, más de las que caben en una hoja: el libro está dañado.";
        QTest::newRow("a cell of 32,000 characters") << "largo.xls"
                                                     << "La celda E6 de la hoja «Hoja1» del libro «%1» tiene "
                                                        "un texto de 32.000 caracteres, más de los que "
                                                        "se pueden leer.";
    }
    void unreadableFilesAreRefused()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        const QString path = QFileInfo::exists(m_dir.filePath(file)) ? m_dir.filePath(file) : dataFile(file);
        store::Database db = freshExhibition("refused-" + file);
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
                QCOMPARE(e.message(), message.arg(file));
            }
        }
        QCOMPARE(tableRows(db, "Recepcion") + tableRows(db, "Puntos"), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestWorkbookFormats)
#include "test_workbook_formats.moc"
