// The census and judges' sheets read from real workbooks by the real reader process and stored:
// where the data rows are, what one cell makes of its row (values stored, skipped, refused), the
// judge against the configuration, the birds of group D, importing twice. The rules that the
// imports share with the windows (kept values, cage numbers, score ranges, judge numbers, field
// sizes) keep one row here each; their tables are at their own layer. A failing store: the
// all-or-nothing table (tests/rules/exhibition).

#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/import/worksheet.h"
#include "store/error.h"
#include "support/fixtures.h"
#include "support/workbooks.h"

using workbooks::bird;
using workbooks::Row;
using workbooks::scored;

namespace
{

const QString emoji = QStringLiteral("\U0001F600");
const QChar nul(0);

QVariant number(const char* word)
{
    return QVariantMap{{"n", word}};
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;
    int m_files = 0;

    // Row 2 gives the judge in B2, as a judge's sheet does; a census reads its rows from row 5 on.
    QString book(const QList<Row>& rows, const QVariant& juez = 1)
    {
        const QString path = m_dir->filePath(QString("%1.xls").arg(++m_files));
        workbooks::write(path, QList<Row>{{2, {"Juez", juez}}} + rows);
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
                imports::assessScore(sheet.rows.at(0), sheet.juez, imports::configuredJudges(m_db))};
    }

    // What was stored, read back from the file through a connection of its own.
    QString stored(const QString& table, const QString& field) const
    {
        return fixtures::column(
            store::Database::open(m_dir->filePath("Expo.mdb"), store::schema::exhibition()),
            "select * from " + table, field);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(m_dir->filePath("Expo.mdb"), store::schema::exhibition());
        fixtures::setConfig(m_db, 5, true);
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
        bool waited = false;
        const auto birds = imports::readReception(book(rows), [&](int done, int total) {
            waited = waited || (done == 0 && total == 0);
            told = done * total;
        });
        QCOMPARE(int(birds.size()), read);
        QCOMPARE(birds.back().sheetRow, 4 + read);
        QCOMPARE(told, read * read); // the progress bar ends full
        QVERIFY(waited);             // and was busy while the reader ran
    }

    void oneCell_data()
    {
        QTest::addColumn<bool>("scores");
        QTest::addColumn<int>("column");    // 0 for A, -1 for the judge of B2
        QTest::addColumn<QString>("field"); // the field stored, or "skipped" or "refused"
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QString>("expected"); // the value stored, or the reason given
        auto row = [](const QString& name, bool scores, int column, const char* field, const QVariant& cell,
                      const QString& expected) {
            QTest::newRow(qPrintable(name)) << scores << column << field << cell << expected;
        };
        const QString cannotKeep =
            "El valor «%1» de «%2» lleva un emoji u otro carácter que el programa no puede "
            "guardar.";
        const QString outOfRange = "La puntuación %1 de %2 no está entre %3 y %4.";

        row("reception: group b in capitals", false, 1, "grupo", "b", "B");
        row("reception: group D without category", false, 1, "categ", "D", "");
        row("reception: group D, zero conditions", false, 1, "conc", "D", "0");
        row("reception: sex m as written", false, 2, "sexo", "m", "m");
        row("reception: club of five characters", false, 5, "club", "ABCDE", "ABCD");
        row("reception: empty club", false, 5, "club", {}, " ");
        row("reception: ring as digits", false, 7, "anilla", 12345, "12345");
        row("reception: an owner called Nan", false, 4, "nombre", "Nan", "Nan");
        row("reception: the score is never stored", false, 13, "puntos", 93.25, "0");
        row("reception: no ring", false, 7, "skipped", {}, "Sin anilla: no se graba.");
        for (const QVariant& cage : {QVariant("abc"), QVariant(12.5)})
            row("reception: cage " + cage.toString(), false, 0, "refused", cage,
                QString("El número de jaula «%1» no es válido: debe ser un número entero del 1 al 999.")
                    .arg(cage.typeId() == QMetaType::Double ? "12,5" : cage.toString()));
        row("reception: ring of 8", false, 7, "refused", "12345678",
            "El valor «12345678» no cabe en el campo «anilla», que admite como máximo 7 caracteres.");
        row("reception: an emoji in the ring", false, 7, "refused", "x" + emoji + "y",
            cannotKeep.arg("x" + emoji + "y", "Paloma"));
        row("reception: a NUL in the name", false, 4, "refused", QString("Juan") + nul + "Pérez",
            "El valor «Juan\uFFFDPérez» de «Propietario» lleva un carácter nulo, que el programa no puede "
            "guardar.");
        row("reception: an infinite ring", false, 7, "refused", number("inf"),
            "El valor de «Paloma» es infinito: no se puede guardar.");
        row("reception: the licence -Infinity", false, 3, "refused", "-Infinity",
            "El valor «-Infinity» de «Licencia» no es un valor que se pueda guardar.");

        row("scores: group b as written", true, 1, "grupo", "b", "b");
        row("scores: sex m in capitals", true, 2, "sexo", "m", "M");
        row("scores: a double", true, 8, "puntos1", 8.25, "8,25");
        row("scores: text 8,5", true, 9, "puntos2", "8,5", "8,5");
        row("scores: text 8.5", true, 9, "puntos2", "8.5", "8,5");
        for (int k = 1; k <= 5; ++k)
            row("scores: SP in criterion " + QString::number(k), true, 7 + k, "skipped", "SP",
                "SP: no se graba.");
        row("scores: a criterion of 0", true, 10, "skipped", 0, "Un criterio con 0: no se graba.");
        row("scores: a total of 0", true, 13, "skipped", 0, "Total 0: no se graba.");
        row("scores: empty criterion", true, 10, "refused", {}, "Falta la puntuación de Puntos3.");
        row("scores: text criterion", true, 11, "refused", "abc",
            "La puntuación «abc» de Puntos4 no es un número ni «SP».");
        row("scores: the text inf", true, 9, "refused", "inf",
            "La puntuación «inf» de Puntos2 no es un número ni «SP».");
        row("scores: text total", true, 13, "refused", "mucho", "El total «mucho» no es un número.");
        row("scores: cage in letters", true, 0, "refused", "x2",
            "El número de jaula «x2» no es válido: debe ser un número entero del 1 al 999.");
        row("scores: Puntos1 above 9 by less than a cent", true, 8, "refused", 9.004,
            outOfRange.arg("9,004", "Puntos1", "8", "9"));
        // A number is quoted as it was typed; a number cell by all its digits, cut as any long value.
        row("scores: typed 9,50", true, 9, "refused", "9,50", outOfRange.arg("9,50", "Puntos2", "8", "9"));
        row("scores: a criterion of 1e308", true, 11, "refused", 1e308,
            "El valor 1000000000000000010979063629440455417404… (316 caracteres) de «Puntos4» es demasiado "
            "grande para guardarlo.");
        row("scores: a NaN total", true, 13, "refused", number("nan"),
            "El valor de «Total» no es un número (NaN): no se puede guardar.");
        row("scores: a total of 50", true, 13, "refused", "50",
            "El total 50 no es la suma de las cinco puntuaciones, 92,00.");
        row("scores: an emoji for the group", true, 1, "refused", emoji, cannotKeep.arg(emoji, "Grupo"));
        // The judge must be one of the configuration's five, as in the judging window.
        row("scores: judge 5, blanks around", true, -1, "juez", " 5 ", "5");
        row("scores: judge 6", true, -1, "refused", 6,
            "El número de juez debe ser un número entero del 1 al 5.");
        row("scores: judge 2,5", true, -1, "refused", "2,5",
            "El campo «juez» solo admite números enteros, y «2,5» no lo es.");
        row("scores: no judge", true, -1, "refused", {}, "Falta el número de juez.");
    }
    void oneCell()
    {
        QFETCH(bool, scores);
        QFETCH(int, column);
        QFETCH(QString, field);
        QFETCH(QVariant, cell);
        QFETCH(QString, expected);
        QVariantList cells = scores ? scored(20) : bird(20);
        if (column >= 0)
            cells[column] = cell;
        if (scores && column >= 8 && column <= 12 && field.startsWith("puntos")) {
            // The judge's total, as the judge adds it up.
            double total = 0;
            for (int k = 8; k <= 12; ++k)
                total += cells[k].toString().replace(u',', u'.').toDouble();
            cells[13] = total;
        }
        const auto [counts, status] = readAndStore(book({{5, cells}}, column < 0 ? cell : 1), scores);
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

    // The criteria are stored as typed, as the judging window stores them: they add up to the
    // stored total. Rounded, 8,555 and 8,555 would add up to 88,12 under a total of 88,11.
    void criteriaAddUpToTheStoredTotal()
    {
        readAndStore(book({{5, {7, "A", "M", {}, {}, {}, {}, {}, 8.555, "8,555", 17, 27, 27, 88.11}}}), true);
        QCOMPARE(stored("puntos", "puntos1") + '|' + stored("puntos", "puntos2") + '|' +
                     stored("puntos", "puntost"),
                 "8,555|8,555|88,11");
    }

    // Nothing stored from a sheet that was read is never a bare 0: the summary says why. The
    // sheet is stored twice; the second summary is compared.
    void nothingStoredSaysWhy_data()
    {
        QTest::addColumn<bool>("scores");
        QTest::addColumn<QVariantList>("row5");
        QTest::addColumn<QString>("summary");
        QVariantList totalZero = scored(3);
        totalZero[13] = 0;
        QTest::newRow("a census imported again")
            << false << bird(8) << "0 Grabadas Palomas\nFilas que ya estaban grabadas: 1";
        QTest::newRow("a census without rings")
            << false << bird(8, {}) << "0 Grabadas Palomas\nFilas sin anilla, que no se graban: 1";
        QTest::newRow("a census with nothing from row 5")
            << false << QVariantList{}
            << "0 Grabadas Palomas\nLa hoja «Hoja1» no tiene datos desde la fila 5 (las filas de encima son "
               "los "
               "títulos): no hay nada que grabar.";
        QTest::newRow("scores imported again")
            << true << scored(3) << "0 Jaulas Pasadas\nFilas que ya estaban grabadas: 1";
        QTest::newRow("scores with a total of 0")
            << true << totalZero
            << "0 Jaulas Pasadas\nFilas con total 0, «SP» o una puntuación 0, que no se graban: 1";
    }
    void nothingStoredSaysWhy()
    {
        QFETCH(bool, scores);
        QFETCH(QVariantList, row5);
        QFETCH(QString, summary);
        const QString path = book({{5, row5}});
        readAndStore(path, scores);
        const imports::StoreCounts again = readAndStore(path, scores).first;
        QCOMPARE(scores ? imports::scoreSummary(again) : imports::receptionSummary(again), summary);
    }

    void groupDWithoutCategory()
    {
        QVariantList d1 = bird(1, "D1"), d2 = bird(2, "D2"), noRing = bird(4, QVariant()),
                     badCage = bird("x", "D5");
        d1[1] = "D";
        d2[1] = "d";
        noRing[1] = badCage[1] = "D";
        const auto [counts, first] = readAndStore(
            book({{5, d1}, {6, d2}, {7, bird(3, "A3")}, {8, noRing}, {9, badCage}, {10, d1}}), false);
        QCOMPARE(imports::receptionSummary(counts),
                 "3 Grabadas Palomas\n1 fila rechazada por datos no válidos\n"
                 "2 palomas del grupo D sin categoría: complételas en Recepción");
        QCOMPARE(stored("recepcion", "grupo") + ' ' + stored("recepcion", "categ"), "D,D,A ,,");
        QVariantList d6 = bird(6, "D6");
        d6[1] = "D";
        QCOMPARE(imports::receptionSummary(readAndStore(book({{5, d6}}), false).first),
                 "1 Grabadas Palomas\n1 paloma del grupo D sin categoría: complétela en Recepción");
        QCOMPARE(imports::receptionSummary(readAndStore(book({{5, bird(7, "A7")}}), false).first),
                 "1 Grabadas Palomas");
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
};

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
