// The check "Aceptar" makes and the store of a changed row, below the window.

#include "judging/cage_scores.h"
#include "judging/judge_rows.h"
#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "store/error.h"
#include "support/fixtures.h"

#include <QTest>

class TestScoreEntry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    AppState m_state;

private slots:
    // An exhibition of 3 judges whose cage 12 is scored by judge 2.
    void initTestCase()
    {
        m_state.programFolder = m_dir.path();
        const QString path = m_dir.filePath("expo.mdb");
        fixtures::addScore(store::Database::create(path, store::schema::exhibition()), "12", 2, 90);
        exhibition::open(m_state, path);
    }

    // Entries that the boxes, checked and rounded as they are left, rarely hand to "Aceptar".
    void checkEntry_data()
    {
        QTest::addColumn<QString>("juez");
        QTest::addColumn<int>("jueces");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("the first refused box")
            << "3" << 3 << QStringList{"8", "9,5", "16", "28", "28"} << "box 2: Puntuacion Erronea ";
        QTest::newRow("partials rounded as shown, then summed")
            << "1" << 3 << QStringList{"8,333", "8,333", "17,333", "27", "27"} << "judge 1: 87.99";
        QTest::newRow("one judge configured")
            << "2" << 1 << QStringList{"8", "8", "17", "27", "27"}
            << "box 0: El número de juez debe ser 1: la exposición tiene un solo juez.";
    }
    void checkEntry()
    {
        QFETCH(QString, juez);
        QFETCH(int, jueces);
        QFETCH(QStringList, scores);
        QFETCH(QString, outcome);
        const judging::JudgeEntry entry{juez, {scores[0], scores[1], scores[2], scores[3], scores[4]}};
        const auto checked = judging::checkEntry(m_state.mainDb, 13, judging::EntryMode::New, entry, jueces);
        const auto* row = std::get_if<judging::JudgeScores>(&checked);
        const auto* problem = std::get_if<judging::EntryProblem>(&checked);
        QCOMPARE(row ? QStringLiteral("judge %1: %2").arg(row->juez).arg(row->puntost)
                     : QStringLiteral("box %1: %2").arg(problem->box).arg(problem->message),
                 outcome);
    }

    // A change must not write over another judge's row.
    void changeOfARowNoLongerStoredIsRefused()
    {
        judging::refrescarJaula(m_state, 12);
        const judging::JudgeScores row{5, {8, 8, 17, 27, 27}, 87};
        QVERIFY_THROWS_EXCEPTION(store::Error,
                                 judging::grabarJuez(m_state, 12, judging::EntryMode::Change, row, "A"));
        QCOMPARE(fixtures::column(m_state.mainDb, "select * from puntos where jaula = '12'", "juez"), "2");
    }
};

QTEST_MAIN(TestScoreEntry)
#include "test_score_entry.moc"
