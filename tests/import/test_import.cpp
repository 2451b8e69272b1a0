// The census and judges' sheets read from real workbooks and stored: where the data rows are,
// what one cell makes of its row, importing twice, the judge, the workbooks that cannot be read,
// and a failing store that leaves nothing behind.

#include "import/reception_import.h"
#include "import/score_import.h"
#include "import/workbooks.h"
#include "import/worksheet.h"
#include "store/error.h"
#include "support/fixtures.h"

using workbooks::bird;
using workbooks::Row;
using workbooks::scored;

class TestImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;
    int m_files = 0;

    // Row 2 gives judge 1 in B2, as a judge's sheet does; a census reads its rows from row 5 on.
    QString book(const QList<Row>& rows)
    {
        const QString path = m_dir->filePath(QStringLiteral("%1.xls").arg(++m_files));
        workbooks::write(path, QList<Row>{{2, {"Juez", 1}}} + rows);
        return path;
    }

    // Reads the workbook and stores its rows, as "Aceptar" and "&Grabar" do: the counts, and the
    // verdict on the first row.
    std::pair<imports::StoreCounts, imports::RowStatus> readAndStore(const QString& path, bool scores)
    {
        if (!scores) {
            const auto birds = imports::readReception(path);
            return {imports::storeReception(m_db, birds), birds.at(0).status};
        }
        const imports::ScoreSheet sheet = imports::readScores(path);
        return {imports::storeScores(m_db, sheet.rows, sheet.juez),
                imports::assessScore(sheet.rows.at(0), sheet.juez)};
    }

    QString stored(const QString& table, const QString& field) const
    {
        return fixtures::column(m_db, "select * from " + table, field);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(m_dir->filePath("Expo.mdb"), store::schema::exhibition());
    }

    void dataRows_data()
    {
        QTest::addColumn<QVariantList>("columnA"); // from row 5 on
        QTest::addColumn<int>("read");
        QTest::newRow("rows 5 to 14, then an empty row")
            << QVariantList{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, {}, 16} << 10;
        QTest::newRow("A5 and A6 empty: row 5 alone") << QVariantList{{}, {}, 7, 8} << 1;
        QTest::newRow("A5 empty, A6 filled") << QVariantList{{}, 6, 7} << 3;
        QTest::newRow("a text of blanks ends the data") << QVariantList{5, 6, "  ", 8} << 2;
    }
    void dataRows()
    {
        QFETCH(QVariantList, columnA);
        QFETCH(int, read);
        QList<Row> rows{{30, {{}, "B30"}}}; // the used area goes on below the data
        for (int i = 0; i < columnA.size(); ++i)
            rows.append(Row{5 + i, bird(columnA[i])});
        int told = 0;
        const auto birds =
            imports::readReception(book(rows), [&](int done, int total) { told = done * total; });
        QCOMPARE(int(birds.size()), read);
        QCOMPARE(birds.back().sheetRow, 4 + read);
        QCOMPARE(told, read * read); // the progress bar ends full
    }

    void oneCell_data()
    {
        QTest::addColumn<bool>("scores");
        QTest::addColumn<int>("column");    // 0 for A
        QTest::addColumn<QString>("field"); // the field stored, or "skipped" or "refused"
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QString>("expected"); // the value stored, or the reason given
        auto row = [](const QString& name, bool scores, int column, const char* field, const QVariant& cell,
                      const QString& expected) {
            QTest::newRow(qPrintable(name)) << scores << column << field << cell << expected;
        };
        row("reception: group b in capitals", false, 1, "grupo", "b", "B");
        row("reception: group D without category", false, 1, "categ", "D", "");
        row("reception: group D, zero conditions", false, 1, "conc", "D", "0");
        row("reception: sex m as written", false, 2, "sexo", "m", "m");
        row("reception: club of five characters", false, 5, "club", "ABCDE", "ABCD");
        row("reception: empty club", false, 5, "club", {}, " ");
        row("reception: year as digits", false, 6, "año", 2021, "2021");
        row("reception: ring as digits", false, 7, "anilla", 12345, "12345");
        row("reception: the score is never stored", false, 13, "puntos", 93.25, "0");
        row("reception: no ring", false, 7, "skipped", {}, "Sin anilla: no se graba.");
        // The cage cell, and the cage as the sheet shows it.
        const QString badCage =
            "El número de jaula «%1» no es válido: debe ser un número entero del 1 al 999.";
        for (const auto& [cage, shown] : {std::pair{QVariant("abc"), "abc"},
                                          {QVariant(0), "0"},
                                          {QVariant(1000), "1000"},
                                          {QVariant(12.5), "12,5"},
                                          {QVariant("1,5"), "1,5"}})
            row("reception: cage " + cage.toString(), false, 0, "refused", cage, badCage.arg(shown));
        const QString longer =
            "El valor «%1» no cabe en el campo «%2», que admite como máximo %3 caracteres.";
        row("reception: ring of 8", false, 7, "refused", "12345678", longer.arg("12345678", "anilla").arg(7));
        row("reception: licence of 6", false, 3, "refused", "123456",
            longer.arg("123456", "licencia").arg(5));
        row("reception: year of 5", false, 6, "refused", "20211", longer.arg("20211", "año").arg(4));
        row("reception: name of 51", false, 4, "refused", QString(51, u'x'),
            longer.arg(QString(51, u'x'), "nombre").arg(50));
        row("scores: group b as written", true, 1, "grupo", "b", "b");
        row("scores: sex m in capitals", true, 2, "sexo", "m", "M");
        row("scores: a double", true, 8, "puntos1", 8.25, "8,25");
        row("scores: text 9,5", true, 9, "puntos2", "9,5", "9,5");
        row("scores: text 9.5", true, 9, "puntos2", "9.5", "9,5");
        for (int k = 1; k <= 5; ++k)
            row("scores: SP in criterion " + QString::number(k), true, 7 + k, "skipped", "SP",
                "SP: no se graba.");
        row("scores: a criterion of 0", true, 10, "skipped", 0, "Un criterio con 0: no se graba.");
        row("scores: a total of 0", true, 13, "skipped", 0, "Total 0: no se graba.");
        row("scores: empty criterion", true, 10, "refused", {}, "Falta la puntuación de Puntos3.");
        row("scores: text criterion", true, 11, "refused", "abc",
            "La puntuación «abc» de Puntos4 no es un número ni «SP».");
        row("scores: text total", true, 13, "refused", "mucho", "El total «mucho» no es un número.");
        row("scores: cage in letters", true, 0, "refused", "x2", badCage.arg("x2"));
    }
    void oneCell()
    {
        QFETCH(bool, scores);
        QFETCH(int, column);
        QFETCH(QString, field);
        QFETCH(QVariant, cell);
        QFETCH(QString, expected);
        QVariantList cells = scores ? scored(20) : bird(20);
        cells[column] = cell;
        const auto [counts, status] = readAndStore(book({{5, cells}}), scores);
        const QString table = scores ? "puntos" : "recepcion";
        if (field != "skipped" && field != "refused") {
            QCOMPARE(stored(table, field), expected);
            return;
        }
        QCOMPARE(status.verdict, field == "refused" ? imports::Verdict::Refuse : imports::Verdict::Skip);
        QCOMPARE(status.reason, expected);
        QCOMPARE(counts.refused, int(field == "refused"));
        QCOMPARE(stored(table, "jaula"), "");
    }

    void importingTwiceStoresOnce()
    {
        fixtures::addBird(m_db, 8, "A", "M", {{"anilla", "ABC1"}});
        const QString census = book(
            {{5, bird(8, "abc1")}, {6, bird(8, "XYZ2")}, {7, bird("008", "XYZ2")}, {8, bird(9, "ABC1")}});
        QCOMPARE(readAndStore(census, false).first.stored, 2);
        QCOMPARE(readAndStore(census, false).first.stored, 0);
        QCOMPARE(stored("recepcion", "jaula") + ' ' + stored("recepcion", "anilla"), "8,8,9 ABC1,XYZ2,ABC1");

        fixtures::addScore(m_db, "3", 1, 90);
        fixtures::addScore(m_db, "2", 2, 90);
        const QString scores = book({{5, scored(1)}, {6, scored(2)}, {7, scored("002")}, {8, scored(3)}});
        QCOMPARE(readAndStore(scores, true).first.stored, 2);
        QCOMPARE(readAndStore(scores, true).first.stored, 0);
        QCOMPARE(stored("puntos", "juez") + ' ' + stored("puntos", "puntost"), "1,2,1,1 90,90,92,92");
    }

    void judgeOfB2OrTheOneGiven()
    {
        const imports::ScoreSheet sheet = imports::readScores(book({{2, {"Juez", " 3 "}}, {5, scored(1)}}));
        QCOMPARE(sheet.juez, "3");
        for (const QString juez : {"uno", "2,5", ""}) // not a whole number: every row refused
            QCOMPARE(imports::storeScores(m_db, sheet.rows, juez).refused, 1);
        imports::storeScores(m_db, sheet.rows, "2");
        QCOMPARE(stored("puntos", "juez"), "2");
    }

    void unreadableWorkbooks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a workbook")
            << "notas.xls"
            << QString("El archivo «notas.xls» no es un libro de Excel (.xls) que se pueda leer.");
        QTest::newRow("no sheet Hoja1")
            << "hoja2.xls" << QString("El libro «hoja2.xls» no tiene la hoja «Hoja1».");
    }
    void unreadableWorkbooks()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        workbooks::write(m_dir->filePath("hoja2.xls"), {{5, {12}}}, "Hoja2");
        QFile text(m_dir->filePath("notas.xls"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("Jaula;Grupo\n12;A\n") > 0);
        text.close();
        try {
            imports::Worksheet::open(m_dir->filePath(name), "Hoja1");
            QFAIL("the workbook was read");
        } catch (const imports::WorkbookError& e) {
            QCOMPARE(e.message(), message);
        }
    }

    void failingStoreLeavesNothing()
    {
        const QString raise = " BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END";
        m_db.execute("CREATE TRIGGER r BEFORE INSERT ON Recepcion WHEN NEW.jaula = 3" + raise);
        m_db.execute("CREATE TRIGGER p BEFORE INSERT ON Puntos WHEN NEW.jaula = '3'" + raise);
        const QString census = book({{5, bird(1)}, {6, bird(2)}, {7, bird(3)}});
        QVERIFY_THROWS_EXCEPTION(store::Error, readAndStore(census, false));
        QVERIFY_THROWS_EXCEPTION(store::Error,
                                 readAndStore(book({{5, scored(1)}, {6, scored(2)}, {7, scored(3)}}), true));
        QCOMPARE(stored("recepcion", "jaula") + stored("puntos", "jaula"), "");
        m_db.execute("DROP TRIGGER r");
        QCOMPARE(readAndStore(census, false).first.stored, 3); // the exhibition is still usable
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
