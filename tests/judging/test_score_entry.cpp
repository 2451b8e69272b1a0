// The judging rules without the window: the score ranges, the judge number of a new row, the
// check that "Aceptar" makes, and the refresh's final score against the reception reload's.

#include "judging/cage_scores.h"
#include "judging/final_score.h"
#include "judging/judge_rows.h"
#include "judging/score_ranges.h"
#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "shell/formats.h"
#include "store/error.h"
#include "support/fixtures.h"

#include <QTest>

using judging::EntryMode;
using judging::EntryProblem;
using judging::JudgeEntry;
using judging::JudgeScores;

class TestScoreEntry : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;

    // An exhibition of 3 judges with cage 12 (group A) scored by judge 2, and cage 13 by judge 1.
    void openExhibition(bool media)
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = AppState{};
        m_state.programFolder = m_dir->path();
        const QString path = m_dir->filePath("expo.mdb");
        {
            const store::Database db = store::Database::create(path, store::schema::exhibition());
            fixtures::setConfig(db, 3, media);
            fixtures::addBird(db, 12, "A", "M");
            fixtures::addBird(db, 13, "B", "H");
            fixtures::addScore(db, "12", 2, 90);
            fixtures::addScore(db, "13", 1, 88);
        }
        exhibition::open(m_state, path);
    }

private slots:
    // The bounds themselves are tried through the window; these are the readings around them.
    void readScore_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected"); // -1: refused
        QTest::newRow("decimal comma") << 1 << "8,75" << 8.75;
        QTest::newRow("decimal point typed") << 1 << "8.5" << 8.5;
        QTest::newRow("blanks around") << 0 << " 8,5 " << 8.5;
        QTest::newRow("shown as 9,00 but typed above 9") << 0 << "9,004" << -1.0;
        QTest::newRow("rounded as the box shows it") << 0 << "8,996" << 9.0;
        QTest::newRow("a range of another box") << 3 << "9" << -1.0;
        QTest::newRow("the empty value 0,00") << 4 << "0,00" << -1.0;
        QTest::newRow("not a number") << 0 << "ocho" << -1.0;
        QTest::newRow("number and letters") << 0 << "8x" << -1.0;
    }
    void readScore()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(double, expected);
        const std::optional<double> score = judging::readScore(index, text);
        QCOMPARE(score.value_or(-1), expected);
    }

    void checkNewJudge_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("jueces");
        QTest::addColumn<int>("expected"); // 0: refused
        QTest::addColumn<QString>("message");
        QTest::newRow("first judge") << "1" << 3 << 1 << "";
        QTest::newRow("last judge, blanks around") << " 3 " << 3 << 3 << "";
        QTest::newRow("judge of another cage only") << "1" << 3 << 1 << "";
        QTest::newRow("zero") << "0" << 3 << 0 << "El número de juez debe ser un número entero del 1 al 3.";
        QTest::newRow("above the judges")
            << "4" << 3 << 0 << "El número de juez debe ser un número entero del 1 al 3.";
        QTest::newRow("negative") << "-1" << 3 << 0
                                  << "El número de juez debe ser un número entero del 1 al 3.";
        QTest::newRow("decimal") << "1,5" << 3 << 0
                                 << "El número de juez debe ser un número entero del 1 al 3.";
        QTest::newRow("letters") << "uno" << 3 << 0
                                 << "El número de juez debe ser un número entero del 1 al 3.";
        QTest::newRow("empty") << "" << 5 << 0 << "El número de juez debe ser un número entero del 1 al 5.";
        QTest::newRow("one judge configured")
            << "2" << 1 << 0 << "El número de juez debe ser 1: la exposición tiene un solo juez.";
        QTest::newRow("judge already scored the cage")
            << "2" << 3 << 0 << "El juez 2 ya tiene puntuada la jaula 12.";
        QTest::newRow("same judge with a leading zero")
            << "02" << 3 << 0 << "El juez 2 ya tiene puntuada la jaula 12.";
    }
    void checkNewJudge()
    {
        QFETCH(QString, text);
        QFETCH(int, jueces);
        QFETCH(int, expected);
        QFETCH(QString, message);
        openExhibition(false);
        const std::variant<int, QString> judge = judging::checkNewJudge(m_state.mainDb, 12, text, jueces);
        if (expected == 0)
            QCOMPARE(std::get<QString>(judge), message);
        else
            QCOMPARE(std::get<int>(judge), expected);
    }

    void checkEntry_data()
    {
        QTest::addColumn<int>("mode"); // EntryMode
        QTest::addColumn<QString>("juez");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<int>("problemBox"); // -1: accepted
        QTest::addColumn<double>("total");
        const QStringList good{"8,5", "9", "18", "28", "27,25"};
        QTest::newRow("total is the sum of the five") << int(EntryMode::New) << "1" << good << -1 << 90.75;
        QTest::newRow("judge refused before the scores")
            << int(EntryMode::New) << "7" << QStringList{"0,00", "0,00", "0,00", "0,00", "0,00"} << 0 << 0.0;
        QTest::newRow("a box never entered keeps 0,00 and is refused")
            << int(EntryMode::New) << "1" << QStringList{"8,5", "9", "18", "28", "0,00"} << 5 << 0.0;
        QTest::newRow("first refused box reported")
            << int(EntryMode::New) << "3" << QStringList{"8", "9,5", "16", "28", "28"} << 2 << 0.0;
        QTest::newRow("a change does not check its judge again")
            << int(EntryMode::Change) << "2" << good << -1 << 90.75;
        QTest::newRow("partials rounded as shown before summing")
            << int(EntryMode::New) << "1" << QStringList{"8,333", "8,333", "17,333", "27", "27"} << -1
            << 87.99;
    }
    void checkEntry()
    {
        QFETCH(int, mode);
        QFETCH(QString, juez);
        QFETCH(QStringList, scores);
        QFETCH(int, problemBox);
        QFETCH(double, total);
        openExhibition(false);
        JudgeEntry entry{juez, {scores[0], scores[1], scores[2], scores[3], scores[4]}};
        const auto checked = judging::checkEntry(m_state.mainDb, 12, EntryMode(mode), entry, 3);
        if (problemBox >= 0) {
            QCOMPARE(std::get<EntryProblem>(checked).box, problemBox);
            return;
        }
        const JudgeScores& row = std::get<JudgeScores>(checked);
        QCOMPARE(row.juez, juez.toInt());
        QCOMPARE(row.puntost, total);
    }

    // The window's refresh and the reception reload must give a bird the same final score.
    void refreshAgreesWithTheReceptionReload_data()
    {
        QTest::addColumn<bool>("media");
        QTest::addColumn<QList<double>>("totals");
        QTest::newRow("average, rounded") << true << QList<double>{88.5, 90.0, 91.25};
        QTest::newRow("drop, three") << false << QList<double>{88.5, 90.0, 91.25};
        QTest::newRow("drop, ties at both ends") << false << QList<double>{90.0, 88.0, 90.0, 88.0, 89.0};
        QTest::newRow("drop, two judges") << false << QList<double>{90.0, 88.0};
        QTest::newRow("average, thirds") << true << QList<double>{88.01, 88.0, 88.0};
    }
    void refreshAgreesWithTheReceptionReload()
    {
        QFETCH(bool, media);
        QFETCH(QList<double>, totals);
        openExhibition(media);
        for (int j = 0; j < totals.size(); ++j)
            fixtures::addScore(m_state.mainDb, "20", j + 1, totals[j]);
        fixtures::addBird(m_state.mainDb, 20, "C", "M");
        const judging::CageList list = judging::refrescarJaula(m_state, 20);
        QCOMPARE(int(list.rows.size()), totals.size());
        judging::recalcularPuntuaciones(m_state.mainDb);
        QCOMPARE(formats::plainNumber(list.finalScore),
                 fixtures::column(m_state.mainDb, "select * from recepcion where jaula = 20", "puntos"));

        // The list's order: by judge for the average, by total from the highest otherwise.
        QList<double> listed;
        QList<int> judges;
        for (const JudgeScores& row : list.rows) {
            listed << row.puntost;
            judges << row.juez;
        }
        if (media) {
            QVERIFY(std::is_sorted(judges.begin(), judges.end()));
        } else {
            QVERIFY(std::is_sorted(listed.rbegin(), listed.rend()));
        }
    }

    void birdFoundWhenReceRsHoldsAnotherSelection()
    {
        openExhibition(false);
        // What reception leaves in ReceRs after deleting one cage.
        m_state.receRs = m_state.mainDb.openRecordset("select * from recepcion where cstr(jaula) = '99'");
        const std::optional<judging::Paloma> bird = judging::buscarPaloma(m_state, 13);
        QVERIFY(bird);
        QCOMPARE(bird->grupo, "B");
        QVERIFY(!judging::buscarPaloma(m_state, 14));
    }

    void changeOfARowNoLongerStoredIsRefused()
    {
        openExhibition(false);
        judging::refrescarJaula(m_state, 12);
        JudgeScores row{5, {8, 8, 17, 27, 27}, 87};
        bool refused = false;
        try {
            judging::grabarJuez(m_state, 12, EntryMode::Change, row, "A");
        } catch (const store::Error&) {
            refused = true;
        }
        QVERIFY(refused);
        QCOMPARE(fixtures::column(m_state.mainDb, "select * from puntos where jaula = '12'", "juez"), "2");
    }
};

QTEST_MAIN(TestScoreEntry)
#include "test_score_entry.moc"
