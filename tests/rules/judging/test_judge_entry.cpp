// A judge's row of a cage as the judging window enters it: the check of the whole entry behind
// "Aceptar" (the judge first, then the five boxes in order), and its store.

#include "rules/judging/judge_rows.h"
#include "store/error.h"
#include "support/fixtures.h"

class TestJudgeEntry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    store::Database m_db; // cage 9, judges 1 and 2

    QString scored(const QString& field) const
    {
        return fixtures::column(m_db, "select * from puntos where jaula = '9' order by juez", field);
    }

private slots:
    void initTestCase()
    {
        m_db = store::Database::create(m_dir.filePath("expo.mdb"), store::schema::exhibition());
        fixtures::addBird(m_db, 9, "C", "M");
        fixtures::addScore(m_db, "9", 1, 88);
        fixtures::addScore(m_db, "9", 2, 89);
    }

    void checkEntry_data()
    {
        QTest::addColumn<bool>("change");
        QTest::addColumn<QString>("juez");
        QTest::addColumn<int>("jueces");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("outcome");
        const QStringList good{"8", "8", "17", "27", "27"};
        const QString taken = "box 0: El juez 2 ya tiene puntuada la jaula 9.";
        QTest::newRow("the judge before the scores")
            << false << "4" << 3 << QStringList{"", "", "", "", ""}
            << "box 0: El número de juez debe ser un número entero del 1 al 3.";
        for (const char* juez : {"0", "1,5", ""})
            QTest::addRow("judge «%s»", juez)
                << false << juez << 3 << good
                << "box 0: El número de juez debe ser un número entero del 1 al 3.";
        QTest::newRow("the first refused box")
            << false << "3" << 3 << QStringList{"8", "9,5", "16", "28", "28"} << "box 2: Puntuacion Erronea ";
        QTest::newRow("partials as typed, their sum rounded")
            << false << "3" << 3 << QStringList{"8,333", "8,333", "17,333", "27", "27"} << "judge 3: 88";
        QTest::newRow("8,555 twice: 88,11, not the sum of 8,56 twice")
            << false << "3" << 3 << QStringList{"8,555", "8,555", "17", "27", "27"} << "judge 3: 88.11";
        QTest::newRow("one judge configured")
            << false << "2" << 1 << good
            << "box 0: El número de juez debe ser 1: la exposición tiene un solo juez.";
        QTest::newRow("a judge with a row") << false << "2" << 3 << good << taken;
        QTest::newRow("a judge with a row, a leading zero") << false << " 02" << 3 << good << taken;
        QTest::newRow("a change keeps its judge") << true << "2" << 3 << good << "judge 2: 87";
    }
    void checkEntry()
    {
        QFETCH(bool, change);
        QFETCH(QString, juez);
        QFETCH(int, jueces);
        QFETCH(QStringList, scores);
        const judging::JudgeEntry entry{juez, {scores[0], scores[1], scores[2], scores[3], scores[4]}};
        const auto checked = judging::checkEntry(
            m_db, 9, change ? judging::EntryMode::Change : judging::EntryMode::New, entry, jueces);
        const auto* row = std::get_if<judging::JudgeScores>(&checked);
        const auto* problem = std::get_if<judging::EntryProblem>(&checked);
        QTEST(row ? QStringLiteral("judge %1: %2").arg(row->juez).arg(row->puntost)
                  : QStringLiteral("box %1: %2").arg(problem->box).arg(problem->message),
              "outcome");
    }

    // The scores are stored as the judge wrote them; a change must not write over another
    // judge's row, nor add one, when its own is gone.
    void store()
    {
        store::Recordset puntos = judging::openCageRows(m_db, 9, judging::Criterion::Average);
        judging::storeJudgeRow(m_db, puntos, 9, judging::EntryMode::Change,
                               {2, {8.555, 8.555, 17, 27, 27}, 88.11}, "C");
        QCOMPARE(scored("puntos1") + '|' + scored("puntost") + '|' + scored("grupo"), "8,8,555|88,88,11|A,C");
        const judging::JudgeScores gone{5, {8, 8, 17, 27, 27}, 87};
        QVERIFY_THROWS_EXCEPTION(
            base::Error, judging::storeJudgeRow(m_db, puntos, 9, judging::EntryMode::Change, gone, "C"));
        QCOMPARE(scored("juez"), "1,2");
    }
};

QTEST_GUILESS_MAIN(TestJudgeEntry)
#include "test_judge_entry.moc"
