// palomas-cli as a user runs it: exit codes and the one-line summaries.

#include "cli/cli_run.h"
#include "store/database.h"

#include <QDir>
#include <QFileInfo>
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

    // Club.mdb of the program folder (palomas-cli's own folder) is the clubs database; elsewhere
    // "Club" names an exhibition like any other.
    void crearRefusesClubInTheProgramFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Club") << "Club";
        QTest::newRow("small letters with the extension") << "club.mdb";
    }
    void crearRefusesClubInTheProgramFolder()
    {
        QFETCH(QString, name);
        const QString programFolder = QFileInfo(PALOMAS_CLI).absolutePath();
        const QStringList before = QDir(programFolder).entryList(QDir::Files);
        const CliResult refused = runCli({"crear", programFolder, name});
        const QStringList after = QDir(programFolder).entryList(QDir::Files);
        for (const QString& added : after)
            if (!before.contains(added))
                QFile::remove(QDir(programFolder).filePath(added));
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(refused.err,
                 "«" + name +
                     "» no puede ser el nombre de una exposición: Club.mdb es la base de datos de "
                     "los clubes del programa. Escriba otro nombre.\n");
        QCOMPARE(refused.out, QString());
        QCOMPARE(after, before);

        const CliResult elsewhere = runCli({"crear", m_dir.path(), name});
        QCOMPARE(elsewhere.exitCode, 0);
        const QString path =
            QDir(m_dir.path()).filePath(QFileInfo(name).suffix().isEmpty() ? name + ".mdb" : name);
        QCOMPARE(elsewhere.out, path + "\n");
        QVERIFY(QFile::remove(path));
    }

    void badCommandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString usage =
            "Uso: palomas-cli ORDEN ARGUMENTOS...\nÓrdenes: copia, crear, exportar-xlsx, "
            "hojas-jueces-xlsx, importar-puntuacion, importar-recepcion, impreso, listados, recalcular, "
            "restaurar, servir\n";
        QTest::newRow("no command") << QStringList{} << 2 << usage;
        QTest::newRow("unknown command")
            << QStringList{"borrar"} << 2 << "Orden desconocida: «borrar»\n" + usage;
        QTest::newRow("missing name")
            << QStringList{"crear", "/tmp"} << 2 << "Uso: palomas-cli crear CARPETA NOMBRE\n";
        QTest::newRow("missing folder") << QStringList{"crear", "/no/such/folder", "x"} << 1
                                        << "La carpeta «/no/such/folder» no existe.\n";
    }
    void badCommandLines()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const CliResult result = runCli(args);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.err, message);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
