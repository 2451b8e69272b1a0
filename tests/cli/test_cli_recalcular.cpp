// palomas-cli recalcular: the reload's final-score pass over a whole exhibition, from a shell.

#include "cli/cli_run.h"
#include "support/failing_disk.h"
#include "support/fixtures.h"
#include "support/scored_exhibition.h"

#include <QDir>

class TestCliRecalcular : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void storesEveryScoredCageAndCountsThem()
    {
        const QString path = QDir(m_dir.path()).filePath("expo.mdb");
        {
            store::Database db = store::Database::create(path, store::schema::exhibition());
            fixtures::setConfig(db, 3, false);
            fixtures::addBird(db, 1, "A", "M");
            fixtures::addBird(db, 2, "A", "M");
            fixtures::addBird(db, 3, "A", "M", {{"puntos", 55.0}}); // never scored: left as it is
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(db, "1", juez, 87.0 + juez);
            fixtures::addScore(db, "2", 1, 90);
        }
        const CliResult result = runCli({"recalcular", path});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out.trimmed(), "2 jaulas recalculadas");
        store::Database db = store::Database::open(path, store::schema::exhibition());
        const QString cages = "select * from recepcion order by jaula";
        QCOMPARE(fixtures::column(db, cages, "puntos") + "/" + fixtures::column(db, cages, "termina"),
                 "89,0,55/S,N,N");
    }

    // A disk that fills up during the pass, and a folder where the journal cannot be made: the
    // command says why, exits with an error and leaves the file as it was. It used to store part
    // of the pass, or print "0 jaulas recalculadas" and exit 0.
    void aFileThatCannotBeWrittenFailsTheCommand_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::newRow("disk full") << "full";
        QTest::newRow("folder that cannot be written") << "locked";
    }
    void aFileThatCannotBeWrittenFailsTheCommand()
    {
        QFETCH(QString, disk);
        const QString master =
            fixtures::createScoredExhibition(QDir(m_dir.path()).filePath("master.mdb"), 999);
        failing_disk::SmallDisk small(8 << 20);
        if (!small.mounted())
            QSKIP(qPrintable(small.why()));
        const QString path = small.filePath("expo.mdb");
        QVERIFY(QFile::copy(master, path));
        const QString before = failing_disk::dump(path);
        QString cause;
        std::unique_ptr<failing_disk::LockedFolder> locked;
        if (disk == u"full") {
            small.fillLeaving(24 * 1024);
            cause = "No queda espacio en el disco para guardar «expo.mdb».";
        } else {
            locked = std::make_unique<failing_disk::LockedFolder>(QFileInfo(path).absolutePath());
            if (!locked->locked())
                QSKIP(qPrintable(locked->why()));
            cause =
                QStringLiteral("No se puede escribir en la carpeta «%1»: los cambios de «expo.mdb» necesitan "
                               "crear un archivo en ella.")
                    .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        }
        const CliResult result = runCli({"recalcular", path});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, "");
        QCOMPARE(result.err, cause + " No se ha guardado ninguna puntuación.\n");
        locked.reset();
        QCOMPARE(failing_disk::dump(path), before);
    }

    void refusesAnotherCommandLine()
    {
        const CliResult result = runCli({"recalcular", "a.mdb", "b.mdb"});
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.err, "Uso: palomas-cli recalcular EXPOSICION.mdb\n");
    }
};

QTEST_GUILESS_MAIN(TestCliRecalcular)
#include "test_cli_recalcular.moc"
