// palomas-cli as a user runs it: exit codes and the one-line summaries.

#include "cli/cli_run.h"
#include "store/database.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void crearCreatesTheExhibitionAsNuevoDoes()
    {
        const CliResult created = runCli({"crear", m_dir.path(), "Regional"});
        QCOMPARE(created.exitCode, 0);
        const QString path = QDir(m_dir.path()).filePath("Regional.mdb");
        QCOMPARE(created.out.trimmed(), path);
        QCOMPARE(store::Database::open(path, store::schema::exhibition())
                     .openRecordset("select * from config")
                     .recordCount(),
                 0);

        const CliResult again = runCli({"crear", m_dir.path(), "Regional"});
        QVERIFY(again.exitCode != 0);
        QCOMPARE(again.err.trimmed(), "Base de Datos Existente");
    }

    void badCommandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList{} << "Uso: palomas-cli";
        QTest::newRow("unknown command") << QStringList{"borrar"} << "Orden desconocida: «borrar»";
        QTest::newRow("missing name")
            << QStringList{"crear", "/tmp"} << "Uso: palomas-cli crear CARPETA NOMBRE";
        QTest::newRow("missing folder") << QStringList{"crear", "/no/such/folder", "x"} << "La carpeta";
    }
    void badCommandLines()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const CliResult result = runCli(args);
        QVERIFY(result.exitCode != 0);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
