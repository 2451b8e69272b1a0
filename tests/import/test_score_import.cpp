// The judges' score import on real workbooks: the judge of B2 or the one given, the scores read
// and shown, the rows skipped ("SP", 0, a total of 0) and refused, importing twice, and a failing
// store that leaves nothing behind.

#include "import/score_import.h"
#include "import/workbooks.h"
#include "judging/final_score.h"
#include "store/error.h"
#include "support/fixtures.h"

using imports::ScoreRow;
using imports::ScoreSheet;
using imports::Verdict;
using workbooks::Row;

namespace
{

// A judge's row from column A to N: cage, group, sex, five columns not read, the five criteria
// and the total.
QVariantList scored(const QVariant& jaula, const QVariantList& criteria, const QVariant& total)
{
    QVariantList cells{jaula, "A", "M", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()};
    cells += criteria;
    cells += total;
    return cells;
}

QVariantList scored(const QVariant& jaula)
{
    return scored(jaula, {8.5, 9, 18, 28, 28.5}, 92);
}

} // namespace

class TestScoreImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;
    int m_files = 0;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    ScoreSheet readSheet(const QVariant& b2, const QList<Row>& rows)
    {
        const QString file = path(QStringLiteral("juez%1.xls").arg(++m_files));
        workbooks::write(file, QList<Row>{Row{2, {"Juez", b2}}} + rows);
        return imports::readScores(file);
    }

    QString stored(const QString& field) const
    {
        return fixtures::column(m_db, "select * from puntos order by val(jaula), juez", field);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(path("Expo.mdb"), store::schema::exhibition());
    }

    void judgeOfB2()
    {
        QCOMPARE(readSheet(3, {Row{5, scored(1)}}).juez, "3");
        QCOMPARE(readSheet(" 4 ", {Row{5, scored(1)}}).juez, "4");
        QCOMPARE(readSheet(QVariant(), {Row{5, scored(1)}}).juez, "");
    }

    void rowStoredAsRead()
    {
        QVariantList cells = scored(" 12 ", {8.5, "9,5", "17.5", 27, 29}, 91.5);
        cells[1] = "b";
        cells[2] = "m";
        const ScoreSheet sheet = readSheet(3, {Row{5, cells}});
        QCOMPARE(imports::scoreSummary(imports::storeScores(m_db, sheet.rows, sheet.juez)),
                 "1 Jaulas Pasadas");
        store::Recordset rs = m_db.openRecordset("select * from puntos");
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.text("jaula"), "12");
        QCOMPARE(rs.value("juez").toInt(), 3);
        QCOMPARE(rs.value("puntos1").toDouble(), 8.5);
        QCOMPARE(rs.value("puntos2").toDouble(), 9.5);
        QCOMPARE(rs.value("puntos3").toDouble(), 17.5);
        QCOMPARE(rs.value("puntos4").toDouble(), 27.0);
        QCOMPARE(rs.value("puntos5").toDouble(), 29.0);
        QCOMPARE(rs.value("puntost").toDouble(), 91.5);
        QCOMPARE(rs.text("grupo"), "b"); // as written, unlike the reception import
        QCOMPARE(rs.text("sexo"), "M");  // in capitals
        QVERIFY(!rs.value("categ").isValid());
    }

    void scoresShown_data()
    {
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("value"); // -1: none
        QTest::newRow("whole number") << QVariant(9) << "9,00" << 9.0;
        QTest::newRow("double") << QVariant(8.5) << "8,50" << 8.5;
        QTest::newRow("text with a comma") << QVariant("9,5") << "9,50" << 9.5;
        QTest::newRow("text with a point") << QVariant("9.5") << "9,50" << 9.5;
        QTest::newRow("rounded to two decimals") << QVariant(8.456) << "8,46" << 8.46;
        QTest::newRow("half away from zero") << QVariant(8.125) << "8,13" << 8.13;
        QTest::newRow("SP as written") << QVariant("SP") << "SP" << -1.0;
        QTest::newRow("text kept as written") << QVariant("nueve") << "nueve" << -1.0;
        QTest::newRow("empty") << QVariant() << "" << -1.0;
    }
    void scoresShown()
    {
        QFETCH(QVariant, cell);
        QFETCH(QString, shown);
        QFETCH(double, value);
        const ScoreSheet sheet = readSheet(1, {Row{5, scored(1, {8, cell, 18, 28, 28}, 91)}});
        QCOMPARE(sheet.rows[0].puntos[1].shown, shown);
        QCOMPARE(sheet.rows[0].puntos[1].value.value_or(-1.0), value);
    }

    void totalShown()
    {
        const ScoreSheet sheet =
            readSheet(1, {Row{5, scored(1, {8, 9, 18, 28, 28}, QVariant())}, Row{6, scored(2)}});
        QCOMPARE(sheet.rows[0].total.shown, "0,00");
        QCOMPARE(sheet.rows[1].total.shown, "92,00");
    }

    void judgeGivenReplacesB2()
    {
        const ScoreSheet sheet = readSheet(3, {Row{5, scored(1)}, Row{6, scored(2)}});
        QCOMPARE(sheet.juez, "3");
        imports::storeScores(m_db, sheet.rows, "2");
        QCOMPARE(stored("juez"), "2,2");
    }

    void rowsNotStored_data()
    {
        QTest::addColumn<QVariantList>("criteria");
        QTest::addColumn<QVariant>("total");
        for (int k = 0; k < 5; ++k) {
            QVariantList criteria{8, 9, 18, 28, 28};
            criteria[k] = "SP";
            QTest::addRow("SP in criterion %d", k + 1) << criteria << QVariant(91);
        }
        QTest::newRow("a criterion of 0") << QVariantList{8, 8, 0, 9, 9} << QVariant(34);
        QTest::newRow("total 0 with the scores filled") << QVariantList{8, 9, 18, 28, 28} << QVariant(0);
        QTest::newRow("empty total") << QVariantList{8, 9, 18, 28, 28} << QVariant();
        QTest::newRow("nothing scored")
            << QVariantList{QVariant(), QVariant(), QVariant(), QVariant(), QVariant()} << QVariant();
        QTest::newRow("SP total") << QVariantList{8, 9, 18, 28, 28} << QVariant("SP");
    }
    void rowsNotStored()
    {
        QFETCH(QVariantList, criteria);
        QFETCH(QVariant, total);
        const ScoreSheet sheet = readSheet(1, {Row{5, scored(1)}, Row{6, scored(2, criteria, total)}});
        QCOMPARE(imports::assessScore(sheet.rows[1], sheet.juez).verdict, Verdict::Skip);
        const imports::StoreCounts counts = imports::storeScores(m_db, sheet.rows, sheet.juez);
        QCOMPARE(imports::scoreSummary(counts), "1 Jaulas Pasadas"); // skipped, not refused
        QCOMPARE(stored("jaula"), "1");
    }

    void importingTwiceStoresOnce()
    {
        const ScoreSheet sheet = readSheet(1, {Row{5, scored(1)}, Row{6, scored(2)}});
        QCOMPARE(imports::scoreSummary(imports::storeScores(m_db, sheet.rows, sheet.juez)),
                 "2 Jaulas Pasadas");
        QCOMPARE(imports::scoreSummary(imports::storeScores(m_db, sheet.rows, sheet.juez)),
                 "0 Jaulas Pasadas");
        QCOMPARE(stored("jaula"), "1,2");
    }

    void existingScoreIsNeverReplaced()
    {
        fixtures::addScore(m_db, "5", 1, 90);
        fixtures::addScore(m_db, "6", 2, 90);
        const ScoreSheet sheet = readSheet(1, {Row{5, scored(5)}, Row{6, scored(6)}, Row{7, scored("005")}});
        QCOMPARE(imports::storeScores(m_db, sheet.rows, sheet.juez).stored, 1);
        QCOMPARE(stored("juez"), "1,1,2");
        QCOMPARE(stored("puntost"), "90,92,90");
    }

    void refusedValues_data()
    {
        QTest::addColumn<QVariant>("jaula");
        QTest::addColumn<QVariantList>("criteria");
        QTest::addColumn<QVariant>("total");
        QTest::addColumn<QString>("juez");
        QTest::addColumn<QString>("reason");
        const QVariantList good{8, 9, 18, 28, 28};
        QTest::newRow("empty criterion")
            << QVariant(2) << QVariantList{8, 9, QVariant(), 28, 28} << QVariant(91) << "1"
            << "Falta la puntuación de Puntos3.";
        QTest::newRow("text criterion")
            << QVariant(2) << QVariantList{8, 9, 18, "abc", 28} << QVariant(91) << "1"
            << "La puntuación «abc» de Puntos4 no es un número ni «SP».";
        QTest::newRow("text total") << QVariant(2) << good << QVariant("mucho") << "1"
                                    << "El total «mucho» no es un número.";
        QTest::newRow("cage in letters") << QVariant("x2") << good << QVariant(91) << "1"
                                         << "del 1 al 999";
        QTest::newRow("cage 1000") << QVariant(1000) << good << QVariant(91) << "1"
                                   << "del 1 al 999";
        QTest::newRow("judge in letters") << QVariant(2) << good << QVariant(91) << "uno"
                                          << "«juez»";
        QTest::newRow("judge with decimals") << QVariant(2) << good << QVariant(91) << "2,5"
                                             << "«juez»";
        QTest::newRow("no judge") << QVariant(2) << good << QVariant(91) << " "
                                  << "Falta el número de juez.";
    }
    void refusedValues()
    {
        QFETCH(QVariant, jaula);
        QFETCH(QVariantList, criteria);
        QFETCH(QVariant, total);
        QFETCH(QString, juez);
        QFETCH(QString, reason);
        const ScoreSheet sheet = readSheet(juez, {Row{5, scored(1)}, Row{6, scored(jaula, criteria, total)}});
        const imports::RowStatus status = imports::assessScore(sheet.rows[1], juez);
        QCOMPARE(status.verdict, Verdict::Refuse);
        QVERIFY2(status.reason.contains(reason), qPrintable(status.reason));

        const imports::StoreCounts counts = imports::storeScores(m_db, sheet.rows, juez);
        const bool judgeRefused = !imports::judgeRefusal(juez).isEmpty();
        QCOMPARE(counts.refused, judgeRefused ? 2 : 1);
        QCOMPARE(counts.stored, judgeRefused ? 0 : 1);
        QCOMPARE(stored("jaula"), judgeRefused ? "" : "1");
    }

    void finalScoresWaitForTheReceptionReload()
    {
        fixtures::setConfig(m_db, 1, true);
        fixtures::addBird(m_db, 1, "A", "M");
        const ScoreSheet sheet = readSheet(1, {Row{5, scored(1)}});
        imports::storeScores(m_db, sheet.rows, sheet.juez);
        QCOMPARE(fixtures::column(m_db, "select * from recepcion", "puntos"), "0");
        QCOMPARE(fixtures::column(m_db, "select * from recepcion", "termina"), "N");
        judging::recalcularPuntuaciones(m_db);
        QCOMPARE(fixtures::column(m_db, "select * from recepcion", "puntos"), "92");
        QCOMPARE(fixtures::column(m_db, "select * from recepcion", "termina"), "S");
    }

    void failingStoreLeavesNothing()
    {
        m_db.execute("CREATE TRIGGER refuse BEFORE INSERT ON Puntos WHEN NEW.jaula = '3' "
                     "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
        const ScoreSheet sheet = readSheet(1, {Row{5, scored(1)}, Row{6, scored(2)}, Row{7, scored(3)}});
        QVERIFY_THROWS_EXCEPTION(store::Error, imports::storeScores(m_db, sheet.rows, sheet.juez));
        QCOMPARE(stored("jaula"), "");
    }
};

QTEST_GUILESS_MAIN(TestScoreImport)
#include "test_score_import.moc"
