// palomas-cli recalcular: the reload's final-score pass over a whole exhibition, from a shell.

#include "cli/cli_run.h"
#include "support/fixtures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

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
            fixtures::addBird(db, 2, "B", "H");
            fixtures::addBird(db, 3, "C", "M"); // never scored: left as it is
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(db, "1", juez, 87.0 + juez);
            fixtures::addScore(db, "2", 1, 90);
        }
        const CliResult result = runCli({"recalcular", path});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out.trimmed(), "2 jaulas recalculadas");
        const store::Database db = store::Database::open(path, store::schema::exhibition());
        QCOMPARE(fixtures::column(db, "select * from recepcion order by jaula", "puntos"), "89,0,0");
        QCOMPARE(fixtures::column(db, "select * from recepcion order by jaula", "termina"), "S,N,N");

        // Run again: the same scores, stored again.
        QCOMPARE(runCli({"recalcular", path}).out.trimmed(), "2 jaulas recalculadas");
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << QStringList{"recalcular"} << "Uso: palomas-cli recalcular EXPOSICION.mdb";
        QTest::newRow("two files") << QStringList{"recalcular", "a.mdb", "b.mdb"}
                                   << "Uso: palomas-cli recalcular";
        QTest::newRow("missing file") << QStringList{"recalcular", "/no/such/expo.mdb"} << "expo.mdb";
    }
    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const CliResult result = runCli(args);
        QVERIFY(result.exitCode != 0);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QCOMPARE(result.out, QString());
    }

    void notAnExhibitionIsRefusedUntouched()
    {
        const QString path = QDir(m_dir.path()).filePath("notas.mdb");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("esto no es una exposición");
        file.close();
        const CliResult result = runCli({"recalcular", path});
        QVERIFY(result.exitCode != 0);
        QVERIFY2(result.err.contains("notas.mdb"), qPrintable(result.err));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("esto no es una exposición"));
    }
};

QTEST_GUILESS_MAIN(TestCliRecalcular)
#include "test_cli_recalcular.moc"
