// The final-score rule, and the reception reload's pass that stores it for every cage.

#include "rules/judging/final_score.h"
#include "rules/judging/judged_cage.h"
#include "rules/listings/classification_text.h"
#include "support/fixtures.h"

#include <QTest>

using judging::Criterion;
using judging::JudgeTotal;

Q_DECLARE_METATYPE(std::vector<JudgeTotal>)

class TestFinalScore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_file = 0;

    store::Database newExhibition()
    {
        return store::Database::create(m_dir.filePath(QStringLiteral("e%1.mdb").arg(++m_file)),
                                       store::schema::exhibition());
    }

private slots:
    void rule_data()
    {
        QTest::addColumn<std::vector<JudgeTotal>>("rows");
        QTest::addColumn<bool>("media");
        QTest::addColumn<double>("expected");
        using V = std::vector<JudgeTotal>;
        const V three{{1, 88.5}, {2, 90.0}, {3, 91.25}};
        QTest::newRow("average of three, rounded") << three << true << 89.92;
        QTest::newRow("drop highest and lowest of three: the middle") << three << false << 90.0;
        QTest::newRow("drop of five: the three middle totals")
            << V{{1, 92}, {2, 88}, {3, 90}, {4, 89}, {5, 91}} << false << 270.0;
        QTest::newRow("drop with one judge gives 0") << V{{1, 90}} << false << 0.0;
        QTest::newRow("drop with two judges gives 0") << V{{1, 90}, {2, 88}} << false << 0.0;
        QTest::newRow("drop, three equal totals") << V{{1, 90}, {2, 90}, {3, 90}} << false << 90.0;
        QTest::newRow("average of one") << V{{4, 88.75}} << true << 88.75;
        QTest::newRow("average, judges 1, 2 and 5") << V{{1, 88}, {2, 90}, {5, 92}} << true << 90.0;
        QTest::newRow("average of two rounds half up") << V{{1, 88.01}, {2, 88.0}} << true << 88.01;
        QTest::newRow("drop takes every row of a dropped judge")
            << V{{1, 87}, {2, 90}, {1, 89}, {3, 95}, {4, 91}} << false << 181.0; // 90 + 91 remain
        QTest::newRow("drop, four judges") << V{{1, 88}, {2, 89.5}, {3, 90.25}, {4, 93}} << false << 179.75;
    }
    void rule()
    {
        QFETCH(std::vector<JudgeTotal>, rows);
        QFETCH(bool, media);
        QFETCH(double, expected);
        QCOMPARE(judging::finalScore(rows, media ? Criterion::Average : Criterion::DropHighestAndLowest),
                 expected);
    }

    void passStoresEveryScoredCage()
    {
        store::Database db = newExhibition();
        fixtures::setConfig(db, 3, false);
        fixtures::addBird(db, 1, "A", "M", {{"puntos", 50.0}, {"termina", "S"}});
        fixtures::addBird(db, 2, "A", "M");
        fixtures::addBird(db, 3, "B", "H");
        fixtures::addBird(db, 12, "C", "H");
        for (int juez = 1; juez <= 3; ++juez)
            fixtures::addScore(db, "2", juez, 86.0 + juez);
        fixtures::addScore(db, "3", 1, 88);
        fixtures::addScore(db, "3", 2, 90);
        fixtures::addScore(db, "012", 1, 95); // not cage 12: cages are matched by their text
        fixtures::addScore(db, "999", 1, 95); // a cage nobody received

        QCOMPARE(judging::recomputeFinalScores(db), 2);
        QCOMPARE(fixtures::column(db, "select * from recepcion order by jaula", "puntos"), "50,88,0,0");
        QCOMPARE(fixtures::column(db, "select * from recepcion order by jaula", "termina"), "S,S,N,N");
        store::Recordset two = db.openRecordset("select * from recepcion where jaula = 2");
        QCOMPARE(two.value("puntos").toDouble(), 88.0);
    }

    void deletingARowOfAFinishedBirdGivesN()
    {
        store::Database db = newExhibition();
        fixtures::setConfig(db, 3, true);
        fixtures::addBird(db, 7, "A", "M");
        fixtures::addScore(db, "7", 1, 88.5);
        fixtures::addScore(db, "7", 2, 90.0);
        fixtures::addScore(db, "7", 3, 91.25);
        judging::recomputeFinalScores(db);
        QCOMPARE(fixtures::column(db, "select * from recepcion", "termina"), "S");
        db.execute("DELETE FROM Puntos WHERE juez = 3");
        QCOMPARE(judging::recomputeFinalScores(db), 1);
        store::Recordset rs = db.openRecordset("select * from recepcion");
        QCOMPARE(rs.value("puntos").toDouble(), 89.25);
        QCOMPARE(rs.text("termina"), "N");
    }

    // Totals whose exact result ends in half a cent, while the nearest binary value lies just
    // below it: the score is rounded on the decimal value (89,355 gives 89,36), as stored and as
    // the classification lists it. The listing shows five characters: 183,28 shows as "183,2".
    void halfCentRoundsUpAsStoredAndListed_data()
    {
        QTest::addColumn<QList<double>>("totals"); // judges 1, 2, 3 ... in order
        QTest::addColumn<bool>("media");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("listed");
        QTest::newRow("average 87,46 and 91,25") << QList<double>{87.46, 91.25} << true << 89.36 << "89,36";
        QTest::newRow("average 89,88 and 87,71") << QList<double>{89.88, 87.71} << true << 88.8 << "88,80";
        QTest::newRow("average 88,96 and 87,07") << QList<double>{88.96, 87.07} << true << 88.02 << "88,02";
        QTest::newRow("average of four, 90,185")
            << QList<double>{87.25, 89.57, 91.47, 92.45} << true << 90.19 << "90,19";
        QTest::newRow("average of four, 89,205")
            << QList<double>{91.49, 87.99, 88.81, 88.53} << true << 89.21 << "89,21";
        QTest::newRow("average of four, 91,605")
            << QList<double>{92.61, 91.89, 91.15, 90.77} << true << 91.61 << "91,61";
        QTest::newRow("average 90,63 and 89,46") << QList<double>{90.63, 89.46} << true << 90.05 << "90,05";
        QTest::newRow("drop of four, 183,275")
            << QList<double>{91.258, 90.183, 92.017, 93.584} << false << 183.28 << "183,2";
        QTest::newRow("drop of four, 181,025")
            << QList<double>{91.053, 93.545, 89.972, 89.617} << false << 181.03 << "181,0";
        QTest::newRow("drop of four, 176,835")
            << QList<double>{87.435, 89.322, 89.196, 87.639} << false << 176.84 << "176,8";
        QTest::newRow("drop of five, 271,805")
            << QList<double>{91.605, 89.471, 90.32, 91.369, 90.116} << false << 271.81 << "271,8";
        QTest::newRow("drop of five, 271,155")
            << QList<double>{93.82, 91.274, 88.081, 89.314, 90.567} << false << 271.16 << "271,1";
        QTest::newRow("drop of five, 272,775")
            << QList<double>{87.751, 90.115, 93.907, 89.051, 93.609} << false << 272.78 << "272,7";
    }
    void halfCentRoundsUpAsStoredAndListed()
    {
        QFETCH(QList<double>, totals);
        QFETCH(bool, media);
        QFETCH(double, stored);
        QFETCH(QString, listed);
        store::Database db = newExhibition();
        fixtures::setConfig(db, int(totals.size()), media);
        fixtures::addBird(db, 7, "A", "M");
        for (int juez = 1; juez <= totals.size(); ++juez)
            fixtures::addScore(db, "7", juez, totals[juez - 1]);
        QCOMPARE(judging::recomputeFinalScores(db), 1);
        store::Recordset bird = db.openRecordset("select * from recepcion where jaula = 7");
        QCOMPARE(bird.value("puntos").toDouble(), stored);
        const QString birdLine = listings::generarListado(db, "A", "M").section("\r\n", 2, 2);
        QCOMPARE(birdLine.mid(82, 5), listed);
    }

    void configurationNeverStoredUsesTheDropRule()
    {
        store::Database db = newExhibition();
        fixtures::addRow(db, "Config", {{"jueces", 3}, {"nombre", "Sin Nombre"}});
        const judging::ScoringRule rule = judging::ScoringRule::read(db);
        QCOMPARE(rule.jueces, 3);
        QVERIFY(rule.criterion == Criterion::DropHighestAndLowest);
    }

    void onlyThePlainCageTextMeetsTheCage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("meets");
        QTest::newRow("plain") << "12" << true;
        QTest::newRow("leading zero") << "012" << false;
        QTest::newRow("leading blank") << " 12" << false;
        QTest::newRow("trailing blank") << "12 " << false;
        QTest::newRow("sign") << "+12" << false;
        QTest::newRow("decimal point") << "12." << false;
    }
    void onlyThePlainCageTextMeetsTheCage()
    {
        QFETCH(QString, text);
        QFETCH(bool, meets);
        store::Database db = newExhibition();
        fixtures::setConfig(db, 1, true);
        fixtures::addBird(db, 12, "A", "M");
        fixtures::addScore(db, text, 1, 90);
        QCOMPARE(judging::recomputeFinalScores(db), meets ? 1 : 0);
        QCOMPARE(fixtures::column(db, "select * from recepcion", "termina"), meets ? "S" : "N");
    }

    void rowsEnteredOutOfCageOrderAreGroupedInStoreOrder()
    {
        store::Database db = newExhibition();
        fixtures::setConfig(db, 3, false);
        for (int cage : {4, 5, 40})
            fixtures::addBird(db, cage, "A", "M");
        // Judges 1 and 3 tie lowest on cage 5: judge 1, stored first, is dropped; judges 2 and 3 remain.
        fixtures::addScore(db, "5", 1, 88);
        fixtures::addScore(db, "40", 1, 91);
        fixtures::addScore(db, "4", 2, 90);
        fixtures::addScore(db, "5", 2, 89);
        fixtures::addScore(db, "4", 1, 85);
        fixtures::addScore(db, "5", 3, 88);
        fixtures::addScore(db, "4", 3, 95);
        fixtures::addScore(db, "5", 4, 92);
        QCOMPARE(judging::recomputeFinalScores(db), 3);
        QCOMPARE(fixtures::column(db, "select * from recepcion order by jaula", "puntos"), "90,177,0");
        QCOMPARE(fixtures::column(db, "select * from recepcion order by jaula", "termina"), "S,N,N");
    }

    void everyPathGivesTheSameResult_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("reload") << "reload";
        QTest::newRow("judging window, on closing") << "window";
        QTest::newRow("phone") << "phone";
    }

    // One rule for every path, also for a row that another program left without a total: it
    // counts as a judge's row for the flag and gives no score. Judges 90 and 88 and a third
    // without total, averaged: 89,00 "S" whichever path stores it.
    void everyPathGivesTheSameResult()
    {
        QFETCH(QString, path);
        store::Database db = newExhibition();
        fixtures::setConfig(db, 3, true);
        fixtures::addBird(db, 1, "A", "M", {{"puntos", 50.0}, {"termina", "N"}});
        fixtures::addScore(db, "1", 1, 90);
        fixtures::addScore(db, "1", 2, 0, {{"puntost", QVariant()}});
        const judging::ScoringRule rule = judging::ScoringRule::read(db);
        if (path == u"phone") {
            QCOMPARE(judging::enterScore(db, 1, 3, {8, 8, 17, 27, 28}).outcome, judging::RemoteEntry::Outcome::Stored);
        } else {
            fixtures::addScore(db, "1", 3, 88);
            if (path == u"reload")
                QCOMPARE(judging::recomputeFinalScores(db), 1);
            else
                QVERIFY(judging::storeWhenComplete(db, 1, rule));
        }
        const judging::CageResult read = judging::readCage(db, 1, rule).result;
        QCOMPARE(std::pair(read.puntos, read.termina), std::pair(89.0, QStringLiteral("S")));
        QCOMPARE(fixtures::column(db, "select * from recepcion", "puntos") + fixtures::column(db, "select * from recepcion", "termina"),
                 "89S");
    }
};

QTEST_GUILESS_MAIN(TestFinalScore)
#include "test_final_score.moc"
