// The rules of judging: what a score box and a judge number take, a judge's whole entry and its
// store, the final-score rule, the reload's pass that stores it for every cage, and the same result
// on every path. The pass on a full disk: test_all_or_nothing.

#include "rules/judging/final_score.h"
#include "rules/judging/judge_rows.h"
#include "rules/judging/judged_cage.h"
#include "store/error.h"
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

    store::Database cageNine() // scored by judges 1 and 2
    {
        store::Database db = newExhibition();
        fixtures::addBird(db, 9, "C", "M");
        fixtures::addScore(db, "9", 1, 88);
        fixtures::addScore(db, "9", 2, 89);
        return db;
    }

private slots:
    // The five ranges, bounds included; a score is kept as typed, never its rounding.
    void scoreRanges_data()
    {
        QTest::addColumn<int>("box"); // 0 to 4
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("taken"); // "-": refused
        const char* rows[][3] = {
            {"0", "8", "8"},   {"0", "7,99", "-"},  {"0", "9,01", "-"}, {"0", "9,004", "-"},
            {"1", "9", "9"},   {"1", "9,5", "-"},   {"2", "17", "17"},  {"2", "16,99", "-"},
            {"2", "19", "19"}, {"2", "19,5", "-"},  {"3", "27", "27"},  {"3", "1e308", "-"},
            {"4", "29", "29"}, {"4", "29,01", "-"}, {"4", "-28", "-"},  {"0", "8,555", "8.555"},
            {"3", "", "-"},    {"0", "nan", "-"},   {"2", "inf", "-"}};
        for (const auto& [box, typed, taken] : rows)
            QTest::addRow("box %s: «%s»", box, typed) << QByteArray(box).toInt() << typed << taken;
    }
    void scoreRanges()
    {
        QFETCH(int, box);
        QFETCH(QString, typed);
        const std::optional<double> score = judging::readScore(box, typed);
        QTEST(score ? QString::number(*score) : QStringLiteral("-"), "taken");
    }

    // A new row's judge: a whole number from 1 to the configured judges, who has not scored the
    // cage yet (judge 2 has scored cage 9).
    void judgeNumber_data()
    {
        QTest::addColumn<int>("jueces");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("outcome"); // the judge taken, or the refusal
        const QString range = "El número de juez debe ser un número entero del 1 al 3.";
        const QString taken = "El juez 2 ya tiene puntuada la jaula 9.";
        const QString one = "El número de juez debe ser 1: la exposición tiene un solo juez.";
        const QString none = "La configuración no tiene número de jueces: indíquelo en Configuración.";
        const QString rows[][3] = {
            {"3", "1", "1"},    {"3", "3", "3"},     {"3", "4", range}, {"3", "0", range},
            {"3", "-1", range}, {"3", "1,5", range}, {"3", "", range},  {"3", "99999999999", range},
            {"3", "2", taken},  {"3", "02", taken},  {"1", "1", "1"},   {"1", "3", one},
            {"0", "1", none}};
        for (const auto& [jueces, typed, outcome] : rows)
            QTest::addRow("«%s» of %s", qPrintable(typed), qPrintable(jueces))
                << jueces.toInt() << typed << outcome;
    }
    void judgeNumber()
    {
        QFETCH(int, jueces);
        QFETCH(QString, typed);
        store::Database db = newExhibition();
        fixtures::addScore(db, "9", 2, 90);
        const std::variant<int, QString> checked = judging::checkNewJudge(db, 9, typed, jueces);
        QTEST(checked.index() == 0 ? QString::number(std::get<int>(checked)) : std::get<QString>(checked),
              "outcome");
    }

    // A judge's row as the judging window enters it: the whole entry behind "Aceptar", the judge
    // first, then the five boxes in order.
    void checkEntry_data()
    {
        QTest::addColumn<bool>("change");
        QTest::addColumn<QString>("juez");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("the judge before the scores")
            << false << "4" << QStringList{"", "", "", "", ""}
            << "box 0: El número de juez debe ser un número entero del 1 al 3.";
        QTest::newRow("the first refused box")
            << false << "3" << QStringList{"8", "9,5", "16", "28", "28"} << "box 2: Puntuacion Erronea ";
        QTest::newRow("partials as typed, their sum rounded")
            << false << "3" << QStringList{"8,333", "8,333", "17,333", "27", "27"} << "judge 3: 88";
        QTest::newRow("8,555 twice: 88,11, not the sum of 8,56 twice")
            << false << "3" << QStringList{"8,555", "8,555", "17", "27", "27"} << "judge 3: 88.11";
        QTest::newRow("a change keeps its judge")
            << true << "2" << QStringList{"8", "8", "17", "27", "27"} << "judge 2: 87";
    }
    void checkEntry()
    {
        QFETCH(bool, change);
        QFETCH(QString, juez);
        QFETCH(QStringList, scores);
        const judging::JudgeEntry entry{juez, {scores[0], scores[1], scores[2], scores[3], scores[4]}};
        const auto checked = judging::checkEntry(
            cageNine(), 9, change ? judging::EntryMode::Change : judging::EntryMode::New, entry, 3);
        const auto* row = std::get_if<judging::JudgeScores>(&checked);
        const auto* problem = std::get_if<judging::EntryProblem>(&checked);
        QTEST(row ? QStringLiteral("judge %1: %2").arg(row->juez).arg(row->puntost)
                  : QStringLiteral("box %1: %2").arg(problem->box).arg(problem->message),
              "outcome");
    }

    // The scores are stored as the judge wrote them; a change must not write over another
    // judge's row, nor add one, when its own is gone.
    void storeJudgeRow()
    {
        store::Database db = cageNine();
        const auto scored = [&db](const char* field) {
            return fixtures::column(db, "select * from puntos where jaula = '9' order by juez", field);
        };
        store::Recordset puntos = judging::openCageRows(db, 9, judging::Criterion::Average);
        judging::storeJudgeRow(db, puntos, 9, judging::EntryMode::Change,
                               {2, {8.555, 8.555, 17, 27, 27}, 88.11}, "C");
        QCOMPARE(scored("puntos1") + '|' + scored("puntost") + '|' + scored("grupo"), "8,8,555|88,88,11|A,C");
        const judging::JudgeScores gone{5, {8, 8, 17, 27, 27}, 87};
        QVERIFY_THROWS_EXCEPTION(
            base::Error, judging::storeJudgeRow(db, puntos, 9, judging::EntryMode::Change, gone, "C"));
        QCOMPARE(scored("juez"), "1,2");
    }

    void rule_data()
    {
        QTest::addColumn<std::vector<JudgeTotal>>("rows");
        QTest::addColumn<bool>("media");
        QTest::addColumn<double>("expected");
        using V = std::vector<JudgeTotal>;
        const V three{{1, 88.5}, {2, 90.0}, {3, 91.25}};
        QTest::newRow("average of three, rounded") << three << true << 89.92;
        QTest::newRow("drop highest and lowest of three: the middle") << three << false << 90.0;
        QTest::newRow("drop with two judges gives 0") << V{{1, 90}, {2, 88}} << false << 0.0;
        QTest::newRow("drop, three equal totals") << V{{1, 90}, {2, 90}, {3, 90}} << false << 90.0;
        QTest::newRow("drop takes every row of a dropped judge")
            << V{{1, 87}, {2, 90}, {1, 89}, {3, 95}, {4, 91}} << false << 181.0; // 90 + 91 remain
        QTest::newRow("average, judges 1, 2 and 5") << V{{1, 88}, {2, 90}, {5, 92}} << true << 90.0;
        QTest::newRow("average of two rounds half up") << V{{1, 88.01}, {2, 88.0}} << true << 88.01;
        // Half a cent exactly, while the nearest binary value lies just below it: rounded up.
        QTest::newRow("average 87,46 and 91,25") << V{{1, 87.46}, {2, 91.25}} << true << 89.36;
        QTest::newRow("average of four, 91,605")
            << V{{1, 92.61}, {2, 91.89}, {3, 91.15}, {4, 90.77}} << true << 91.61;
        QTest::newRow("drop of four, 183,275")
            << V{{1, 91.258}, {2, 90.183}, {3, 92.017}, {4, 93.584}} << false << 183.28;
        QTest::newRow("drop of five, 272,775")
            << V{{1, 87.751}, {2, 90.115}, {3, 93.907}, {4, 89.051}, {5, 93.609}} << false << 272.78;
    }
    void rule()
    {
        QFETCH(std::vector<JudgeTotal>, rows);
        QFETCH(bool, media);
        QTEST(judging::finalScore(rows, media ? Criterion::Average : Criterion::DropHighestAndLowest),
              "expected");
    }

    // The reload's pass over a file: every bird starts at 50 "S", so that a cage the pass must
    // not touch shows it kept its values. The file refuses new values for cage 66 (a rule the
    // organisers may add to their file): the pass skips it and stores the others.
    void pass_data()
    {
        QTest::addColumn<QVariant>("media");   // no value: a configuration never stored
        QTest::addColumn<QStringList>("rows"); // "cage text/judge/total", in store order
        QTest::addColumn<QString>("birds");    // "cage=puntos termina" after the pass, by cage
        QTest::addColumn<int>("stored");
        QTest::newRow("every scored cage, each by its own rows")
            << QVariant(false) << QStringList{"2/1/87", "3/1/88", "2/2/88", "3/2/90", "2/3/89"}
            << "1=50 S,2=88 S,3=0 N" << 2;
        QTest::newRow("rows out of cage order; the first stored of two lowest is dropped")
            << QVariant(false)
            << QStringList{"5/1/88", "40/1/91", "4/2/90", "5/2/89", "4/1/85", "5/3/88", "4/3/95", "5/4/92"}
            << "4=90 S,5=177 N,40=0 N" << 3;
        QTest::newRow("fewer rows than judges: their score, not finished")
            << QVariant(true) << QStringList{"7/1/88.5", "7/2/90"} << "7=89.25 N" << 1;
        QTest::newRow("only the plain cage text meets the cage")
            << QVariant(true)
            << QStringList{"012/1/95", " 12/1/95", "12 /1/95", "+12/1/95", "12./1/95", "999/1/95"}
            << "12=50 S" << 0;
        QTest::newRow("a configuration never stored drops")
            << QVariant() << QStringList{"1/1/88.5", "1/2/90", "1/3/91.25"} << "1=90 S" << 1;
        QTest::newRow("a cage the file refuses")
            << QVariant(true) << QStringList{"66/1/90", "66/2/88", "7/1/80"} << "7=80 N,66=50 S" << 1;
    }
    void pass()
    {
        QFETCH(QVariant, media);
        QFETCH(QStringList, rows);
        QFETCH(QString, birds);
        store::Database db = newExhibition();
        fixtures::addRow(db, "Config", {{"jueces", 3}, {"nombre", "Sin Nombre"}, {"media", media}});
        db.execute("CREATE TRIGGER keep_66 BEFORE UPDATE OF puntos ON Recepcion WHEN old.jaula = 66 "
                   "BEGIN SELECT RAISE(ABORT, 'la jaula 66 no se toca'); END");
        for (const QString& bird : birds.split(u','))
            fixtures::addBird(db, bird.section(u'=', 0, 0).toInt(), "A", "M",
                              {{"puntos", 50}, {"termina", "S"}});
        for (const QString& row : rows)
            fixtures::addScore(db, row.section(u'/', 0, 0), row.section(u'/', 1, 1).toInt(),
                               row.section(u'/', 2, 2).toDouble());
        QTEST(judging::recomputeFinalScores(db), "stored");
        QStringList after;
        for (store::Statement s = db.prepare("SELECT jaula, puntos, termina FROM Recepcion ORDER BY jaula");
             s.step();)
            after << s.text(0) + u'=' + QString::number(s.real(1)) + u' ' + s.text(2);
        QCOMPARE(after.join(u','), birds);
    }

    // One rule for every path, also for a row that another program left without a total: it
    // counts as a judge's row for the flag and gives no score. Judges 90 and 88 and a third
    // without total, averaged: 89,00 "S" whichever path stores it; the judge's row stored field
    // for field alike.
    void everyPathGivesTheSameResult_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("reload") << "reload";
        QTest::newRow("judging window, on closing") << "window";
        QTest::newRow("phone") << "phone";
    }
    void everyPathGivesTheSameResult()
    {
        QFETCH(QString, path);
        store::Database db = newExhibition();
        fixtures::setConfig(db, 3, true);
        fixtures::addBird(db, 1, "A", "M", {{"puntos", 50.0}, {"termina", "N"}});
        fixtures::addScore(db, "1", 1, 90);
        fixtures::addScore(db, "1", 2, 0, {{"puntost", QVariant()}});
        const judging::ScoringRule rule = judging::ScoringRule::read(db);
        const judging::JudgeScores row{3, {8.5, 8, 17.125, 27, 27.375}, 88};
        if (path == u"phone") {
            QCOMPARE(judging::enterScore(db, 1, 3, row.puntos).outcome,
                     judging::RemoteEntry::Outcome::Stored);
        } else {
            store::Recordset puntos; // the judging window's, opened over the cage by the store
            judging::storeJudgeRow(db, puntos, 1, judging::EntryMode::New, row, "A ");
            if (path == u"reload")
                QCOMPARE(judging::recomputeFinalScores(db), 1);
            else
                QVERIFY(judging::storeWhenComplete(db, 1, rule));
        }
        const judging::CageResult read = judging::readCage(db, 1, rule).result;
        QCOMPARE(QString::number(read.puntos) + read.termina +
                     fixtures::column(db, "select * from recepcion", "puntos") +
                     fixtures::column(db, "select * from recepcion", "termina"),
                 "89S89S");
        store::Statement stored =
            db.prepare("SELECT jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5, "
                       "puntost, grupo, categ FROM Puntos WHERE juez = 3");
        QStringList fields;
        QVERIFY(stored.step());
        for (int i = 0; i < stored.columnCount(); ++i)
            fields << stored.text(i);
        QCOMPARE(fields.join(u'|'), "1|3|8.5|8.0|17.125|27.0|27.375|88.0|A| ");
    }
};

QTEST_GUILESS_MAIN(TestFinalScore)
#include "test_final_score.moc"
