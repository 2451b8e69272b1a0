// The final-score pass when the file fails: a cage whose own values the file refuses is skipped,
// but a file that cannot be written keeps nothing of the pass, at whichever write it fails, and
// says why.

#include "rules/judging/final_score.h"
#include "store/error.h"
#include "store/write_fault.h"
#include "support/failing_disk.h"
#include "support/scored_exhibition.h"

#include <QTest>

class TestScorePassFailures : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // A full disk at every write of the pass in turn (the store's words for each way a write
    // fails are its own tests'): the pass keeps nothing and says so.
    void aFailedWriteKeepsNothingOfThePass()
    {
        const QString file = fixtures::createScoredExhibition(m_dir.filePath("expo.mdb"), 12);
        const QString before = failing_disk::dump(file);
        store::Database db = store::Database::open(file, store::schema::exhibition());
        int nth = 1;
        for (;; ++nth) {
            QString raised;
            {
                const store::WriteFault fault(nth);
                try {
                    judging::recomputeFinalScores(db);
                } catch (const base::Error& e) {
                    QVERIFY(e.isStorage());
                    raised = e.message();
                }
                if (!fault.fired())
                    break; // every write has failed once; this run stored the pass
            }
            QCOMPARE(raised, "No queda espacio en el disco para guardar «expo.mdb». No se ha guardado ninguna "
                             "puntuación.");
            QCOMPARE(failing_disk::dump(file), before);
        }
        QVERIFY2(nth > 12, qPrintable(QString::number(nth))); // a write for every cage at least
        QVERIFY(failing_disk::dump(file) != before);
    }

    // A cage whose new values the file refuses (here a rule the organisers added to their file) is
    // left as it was, and the others are stored: the reload skips such a cage.
    void aCageTheFileRefusesIsSkipped()
    {
        store::Database db = store::Database::open(
            fixtures::createScoredExhibition(m_dir.filePath("refusing.mdb"), 30), store::schema::exhibition());
        db.execute("CREATE TRIGGER keep_12 BEFORE UPDATE OF puntos ON Recepcion WHEN old.jaula = 12 "
                   "BEGIN SELECT RAISE(ABORT, 'la jaula 12 no se toca'); END");
        QCOMPARE(judging::recomputeFinalScores(db), 29);
        QCOMPARE(fixtures::column(db, "select * from recepcion where jaula = 12", "puntos"), "0");
        QCOMPARE(fixtures::column(db, "select * from recepcion where jaula = 11", "puntos"), "85,5");
    }
};

QTEST_GUILESS_MAIN(TestScorePassFailures)
#include "test_score_pass_failures.moc"
