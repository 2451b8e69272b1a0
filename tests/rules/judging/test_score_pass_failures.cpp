// The final-score pass when the file fails: a cage whose own values the file refuses is skipped,
// but a file that cannot be written (full disk, read-only folder, I/O error, another program's
// lock) keeps nothing of the pass, at whichever write it fails, and says why.

#include "rules/judging/final_score.h"
#include "store/error.h"
#include "store/write_fault.h"
#include "support/failing_disk.h"
#include "support/scored_exhibition.h"

#include <QDir>
#include <QFile>
#include <QTest>

using Kind = store::WriteFault::Kind;
Q_DECLARE_METATYPE(store::WriteFault::Kind)

namespace
{

QString passFailure(const QString& cause)
{
    return cause + QStringLiteral(" No se ha guardado ninguna puntuación.");
}

} // namespace

class TestScorePassFailures : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

private slots:
    // Each way a write fails once, at the first, a middle or the last write of the pass; the
    // store's own messages for each are its own tests'.
    void aFailedWriteKeepsNothingOfThePass_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("where"); // first, middle or last write of the pass
        QTest::addColumn<QString>("message");
        QTest::newRow("disk full, first write")
            << Kind::DiskFull << "first" << passFailure("No queda espacio en el disco para guardar «expo.mdb».");
        QTest::newRow("I/O error, middle write")
            << Kind::IoError << "middle" << passFailure("Error de lectura o escritura en el archivo «expo.mdb».");
        QTest::newRow("read-only, last write")
            << Kind::ReadOnly << "last"
            << passFailure("No se puede escribir en «expo.mdb»: el archivo o su carpeta es de solo lectura.");
        QTest::newRow("busy, middle write")
            << Kind::Busy << "middle"
            << passFailure(QStringLiteral("El archivo «expo.mdb» de la carpeta «%1» está ocupado por otro programa: se "
                                          "ha esperado 5 segundos a que lo deje libre. Espere a que termine o "
                                          "ciérrelo, y vuelva a intentarlo.")
                               .arg(QDir::toNativeSeparators(m_dir.path())));
    }
    void aFailedWriteKeepsNothingOfThePass()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, where);
        QFETCH(QString, message);
        const QString file = path("expo.mdb");
        if (!QFile::exists(path("master.mdb")))
            fixtures::createScoredExhibition(path("master.mdb"), 400);
        QFile::remove(file);
        QVERIFY(QFile::copy(path("master.mdb"), file));
        const QString before = failing_disk::dump(file);

        store::Database db = store::Database::open(file, store::schema::exhibition());
        int writes = 0;
        {
            // The pass's writes, counted on a copy that is thrown away.
            QFile::remove(path("count.mdb"));
            QVERIFY(QFile::copy(file, path("count.mdb")));
            const store::WriteFault never(1 << 30);
            store::Database counted = store::Database::open(path("count.mdb"), store::schema::exhibition());
            judging::recomputeFinalScores(counted);
            writes = never.writesSeen();
        }
        QVERIFY2(writes > 300, qPrintable(QString::number(writes)));
        const int nth = where == u"first" ? 1 : where == u"middle" ? writes / 2 : writes;

        QString raised;
        {
            const store::WriteFault fault(nth, kind);
            try {
                judging::recomputeFinalScores(db);
            } catch (const base::Error& e) {
                QVERIFY(e.isStorage());
                raised = e.message();
            }
            QVERIFY(fault.fired());
        }
        QCOMPARE(raised, message);
        QCOMPARE(failing_disk::dump(file), before);
        // The exhibition stays usable: the same pass, once the disk is back, stores every cage.
        QCOMPARE(judging::recomputeFinalScores(db), 400);
        QVERIFY(failing_disk::dump(file) != before);
    }

    // A cage whose new values the file refuses (here a rule the organisers added to their file) is
    // left as it was, and the others are stored: the reload skips such a cage.
    void aCageTheFileRefusesIsSkipped()
    {
        const QString file = fixtures::createScoredExhibition(path("refusing.mdb"), 30);
        store::Database db = store::Database::open(file, store::schema::exhibition());
        db.execute("CREATE TRIGGER keep_12 BEFORE UPDATE OF puntos ON Recepcion WHEN old.jaula = 12 "
                   "BEGIN SELECT RAISE(ABORT, 'la jaula 12 no se toca'); END");
        QCOMPARE(judging::recomputeFinalScores(db), 29);
        QCOMPARE(fixtures::column(db, "select * from recepcion where jaula = 12", "puntos"), "0");
        QCOMPARE(fixtures::column(db, "select * from recepcion where jaula = 11", "puntos"), "85,5");
    }
};

QTEST_GUILESS_MAIN(TestScorePassFailures)
#include "test_score_pass_failures.moc"
