// palomas-cli recalcular: the reload's final-score pass over a whole exhibition, from a shell.

#include "cli/cli_run.h"
#include "support/fixtures.h"

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
            const store::Database db = store::Database::create(path, store::schema::exhibition());
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
        const store::Database db = store::Database::open(path, store::schema::exhibition());
        const QString cages = "select * from recepcion order by jaula";
        QCOMPARE(fixtures::column(db, cages, "puntos") + "/" + fixtures::column(db, cages, "termina"),
                 "89,0,55/S,N,N");
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
