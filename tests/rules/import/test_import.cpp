// The census and judges' sheets read from real workbooks by the real reader process and stored:
// where the data rows are, what one cell makes of its row (stored, skipped, refused), the summary
// of a sheet that stores nothing, the birds of group D, importing twice. The rules the imports share
// with the windows (kept values, cage and judge numbers, score ranges, field sizes) keep a row here
// each; their tables are at their own layer. A failing store: test_all_or_nothing.

#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "support/fixtures.h"
#include "support/workbooks.h"

using workbooks::bird;
using workbooks::scored;

namespace
{

const QString emoji = QStringLiteral("\U0001F600");

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

    // Reads a sheet of these rows (from row 5; B2 holds the judge) and stores it, as "Aceptar" and
    // "&Grabar" do: the summary, and the verdict on the first row.
    std::pair<QString, imports::RowStatus> import(bool scores, const QList<QVariantList>& rows,
                                                  const QVariant& juez = 1)
    {
        QList<workbooks::Row> sheet{{2, {"Juez", juez}}};
        for (const QVariantList& row : rows)
            sheet.append({5 + int(sheet.size()) - 1, row});
        const QString path = m_dir->filePath(QString("%1.xls").arg(++m_files));
        workbooks::write(path, sheet);
        if (!scores) {
            const auto birds = imports::readReception(path);
            return {imports::receptionSummary(imports::storeReception(m_db, birds)), birds.at(0).status};
        }
        const imports::ScoreSheet read = imports::readScores(path);
        const imports::RowStatus first =
            imports::assessScore(m_db, read.rows.at(0), read.juez, imports::configuredJudges(m_db));
        return {imports::scoreSummary(imports::storeScores(m_db, read.rows, read.juez)), first};
    }

    // What was stored, read back from the file through a connection of its own.
    QString stored(const QString& table, const QString& field) const
    {
        return fixtures::column(store::Database::open(m_db.path(), store::schema::exhibition()),
                                "select * from " + table, field);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(m_dir->filePath("Expo.mdb"), store::schema::exhibition());
        fixtures::setConfig(m_db, 5, true);
        m_db.execute("INSERT INTO Estado (jaula, anilla, estado, motivo) VALUES (30, '', 'Ausente', '')");
    }

    // The data rows go from row 5 to the first row whose A is empty, A5 alone excepted.
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
        QList<workbooks::Row> rows{{30, {{}, "B30"}}}; // the used area goes on below the data
        for (int i = 0; i < columnA.size(); ++i)
            rows.append({5 + i, bird(columnA[i])});
        workbooks::write(m_dir->filePath("filas.xls"), rows);
        int told = 0;
        bool waited = false;
        const auto birds = imports::readReception(m_dir->filePath("filas.xls"), [&](int done, int total) {
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
        const auto row = [](const QString& name, int column, const char* field, const QVariant& cell,
                            const QString& expected) {
            QTest::newRow(qPrintable(name))
                << name.startsWith("scores") << column << field << cell << expected;
        };
        const QString cannotKeep =
            "El valor «%1» de «%2» lleva un emoji u otro carácter que el programa no puede guardar.";
        const QString outOfRange = "La puntuación %1 de %2 no está entre 8 y 9.";
        const QString cage = "El número de jaula «%1» no es válido: debe ser un número entero del 1 al 999.";
        row("census: group b in capitals", 1, "grupo", "b", "B");
        row("census: group D without category", 1, "categ", "D", "");
        row("census: group D, zero conditions", 1, "conc", "D", "0");
        row("census: sex m as written", 2, "sexo", "m", "m");
        row("census: club of five characters", 5, "club", "ABCDE", "ABCD");
        row("census: empty club", 5, "club", {}, " ");
        row("census: ring as digits", 7, "anilla", 12345, "12345");
        row("census: an owner called Nan", 4, "nombre", "Nan", "Nan");
        row("census: the score is never stored", 13, "puntos", 93.25, "0");
        row("census: no ring", 7, "skipped", {}, "Sin anilla: no se graba.");
        row("census: cage abc", 0, "refused", "abc", cage.arg("abc"));
        row("census: cage 12.5", 0, "refused", 12.5, cage.arg("12,5"));
        row("census: ring of 8", 7, "refused", "12345678",
            "El valor «12345678» no cabe en el campo «anilla», que admite como máximo 7 caracteres.");
        row("census: an emoji in the ring", 7, "refused", "x" + emoji, cannotKeep.arg("x" + emoji, "Paloma"));
        row("census: an infinite ring", 7, "refused", number("inf"),
            "El valor de «Paloma» es infinito: no se puede guardar.");
        row("census: the licence -Infinity", 3, "refused", "-Infinity",
            "El valor «-Infinity» de «Licencia» no es un valor que se pueda guardar.");

        row("scores: group b as written", 1, "grupo", "b", "b");
        row("scores: sex m in capitals", 2, "sexo", "m", "M");
        row("scores: a double", 8, "puntos1", 8.25, "8,25");
        row("scores: text 8,5", 9, "puntos2", "8,5", "8,5");
        row("scores: text 8.5", 9, "puntos2", "8.5", "8,5");
        for (int k = 1; k <= 5; ++k)
            row("scores: SP in criterion " + QString::number(k), 7 + k, "skipped", "SP", "SP: no se graba.");
        row("scores: a criterion of 0", 10, "skipped", 0, "Un criterio con 0: no se graba.");
        row("scores: a total of 0", 13, "skipped", 0, "Total 0: no se graba.");
        row("scores: empty criterion", 10, "refused", {}, "Falta la puntuación de Puntos3.");
        row("scores: the text inf", 9, "refused", "inf",
            "La puntuación «inf» de Puntos2 no es un número ni «SP».");
        row("scores: text total", 13, "refused", "mucho", "El total «mucho» no es un número.");
        row("scores: cage in letters", 0, "refused", "x2", cage.arg("x2"));
        row("scores: an absent bird", 0, "refused", 30, "Paloma ausente");
        row("scores: Puntos1 above 9 by less than a cent", 8, "refused", 9.004,
            outOfRange.arg("9,004", "Puntos1"));
        row("scores: a number quoted as typed", 9, "refused", "9,50", outOfRange.arg("9,50", "Puntos2"));
        // A number cell by all its digits, cut as any long value.
        row("scores: a criterion of 1e308", 11, "refused", 1e308,
            "El valor 1000000000000000010979063629440455417404… (316 caracteres) de «Puntos4» es demasiado "
            "grande "
            "para guardarlo.");
        row("scores: a NaN total", 13, "refused", number("nan"),
            "El valor de «Total» no es un número (NaN): no se puede guardar.");
        row("scores: a total of 50", 13, "refused", "50",
            "El total 50 no es la suma de las cinco puntuaciones, 92,00.");
        row("scores: an emoji for the group", 1, "refused", emoji, cannotKeep.arg(emoji, "Grupo"));
        // The judge must be one of the configuration's five, as in the judging window.
        row("scores: judge 5, blanks around", -1, "juez", " 5 ", "5");
        row("scores: judge 6", -1, "refused", 6, "El número de juez debe ser un número entero del 1 al 5.");
        row("scores: judge 2,5", -1, "refused", "2,5",
            "El campo «juez» solo admite números enteros, y «2,5» no lo es.");
        row("scores: no judge", -1, "refused", {}, "Falta el número de juez.");
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
        if (field.startsWith("puntos") && scores) // the judge's total, as the judge adds it up
            cells[13] =
                cells[8].toDouble() + cells[9].toString().replace(u',', u'.').toDouble() + 18 + 28 + 28.5;
        const auto [summary, status] = import(scores, {cells}, column < 0 ? cell : 1);
        const QString table = scores ? "puntos" : "recepcion";
        if (field != "skipped" && field != "refused") {
            QCOMPARE(stored(table, field), expected);
            return;
        }
        QCOMPARE(status.verdict, field == "refused" ? imports::Verdict::Refuse : imports::Verdict::Skip);
        QCOMPARE(status.reason, expected);
        QCOMPARE(summary.contains("1 fila rechazada por datos no válidos"), field == "refused");
        QCOMPARE(stored(table, "jaula"), "");
    }

    // The criteria are stored as typed, as the judging window stores them: they add up to the
    // stored total. Rounded, 8,555 and 8,555 would add up to 88,12 under a total of 88,11.
    void criteriaAddUpToTheStoredTotal()
    {
        import(true, {{ 7, "A", "M", {}, {}, {}, {}, {}, 8.555, "8,555", 17, 27, 27, 88.11 }});
        QCOMPARE(stored("puntos", "puntos1") + '|' + stored("puntos", "puntos2") + '|' +
                     stored("puntos", "puntost"),
                 "8,555|8,555|88,11");
    }

    // A sheet that stores nothing never says a bare 0: the summary tells why. The birds of group
    // D are stored without their category, and the summary says how many to complete. A row
    // already stored (the same cage and ring, or cage and judge, whatever their writing) is
    // stored once.
    void summaries()
    {
        QVariantList totalZero = scored(3), d1 = bird(1, "D1"), d2 = bird(2, "D2"), badCage = bird("x", "D5");
        totalZero[13] = 0;
        d1[1] = badCage[1] = "D";
        d2[1] = "d";
        QCOMPARE(import(false, {bird(8, {})}).first,
                 "0 Grabadas Palomas\nFilas sin anilla, que no se graban: 1");
        QCOMPARE(import(false, {{}}).first,
                 "0 Grabadas Palomas\nLa hoja «Hoja1» no tiene datos desde la fila 5 (las "
                 "filas de encima son los títulos): no hay nada que grabar.");
        QCOMPARE(import(true, {totalZero}).first,
                 "0 Jaulas Pasadas\nFilas con total 0, «SP» o una puntuación 0, que no se graban: 1");
        QCOMPARE(import(false, {d1, d2, bird(3, "A3"), badCage, d1}).first,
                 "3 Grabadas Palomas\n1 fila rechazada por datos no válidos\n"
                 "2 palomas del grupo D sin categoría: complételas en Recepción");
        QCOMPARE(stored("recepcion", "grupo") + ' ' + stored("recepcion", "categ"), "D,D,A ,,");
        QCOMPARE(import(false, {d2}).first, "0 Grabadas Palomas\nFilas que ya estaban grabadas: 1");
        d2[0] = 6;
        QCOMPARE(import(false, {d2}).first,
                 "1 Grabadas Palomas\n1 paloma del grupo D sin categoría: complétela en Recepción");

        fixtures::addBird(m_db, 8, "A", "M", {{"anilla", "ABC1"}});
        const QList<QVariantList> census{bird(8, "abc1"), bird(8, "XYZ2"), bird("008", "XYZ2"),
                                         bird(9, "ABC1")};
        QCOMPARE(import(false, census).first, "2 Grabadas Palomas");
        QCOMPARE(import(false, census).first, "0 Grabadas Palomas\nFilas que ya estaban grabadas: 4");
        fixtures::addScore(m_db, "3", 1, 90);
        const QList<QVariantList> judge{scored(1), scored(2), scored("002"), scored(3)};
        QCOMPARE(import(true, judge).first, "2 Jaulas Pasadas");
        QCOMPARE(import(true, judge).first, "0 Jaulas Pasadas\nFilas que ya estaban grabadas: 4");
        QCOMPARE(stored("puntos", "jaula") + ' ' + stored("puntos", "puntost"), "3,1,2 90,92,92");
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
