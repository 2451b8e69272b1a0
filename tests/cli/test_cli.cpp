// palomas-cli as a user runs it: exit codes and the one-line summaries.

#include "cli/cli_run.h"
#include "store/database.h"
#include "support/failing_disk.h"
#include "support/fixtures.h"

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

    // A show on a disk that cannot be written (a CD, a locked share) is still printed: the
    // commands that only read it never write to it, and take the default configuration of a new
    // show (three judges) as the windows do. A new show cannot be made there.
    void aReadOnlyShowIsStillPrinted_data()
    {
        QTest::addColumn<QStringList>("args"); // %1 the show, %2 Club.mdb, %3 the output folder
        QTest::addColumn<QString>("out");
        QTest::newRow("listados") << QStringList{"listados", "%1", "%3", "--clubs", "%2"}
                                  << "8 documentos grabados\n";
        QTest::newRow("exportar-xlsx")
            << QStringList{"exportar-xlsx", "%1", "%3/libro.xlsx", "--clubs", "%2"} << "12 hojas grabadas\n";
        QTest::newRow("hojas-jueces-xlsx")
            << QStringList{"hojas-jueces-xlsx", "%1", "%3"} << "3 libros grabados\n";
        QTest::newRow("impreso") << QStringList{"impreso",      "hojas-jueces", "%1",
                                                "%3/hojas.pdf", "--clubs",      "%2"}
                                 << "3 paginas grabadas\n"; // a page for each of the three judges
    }
    void aReadOnlyShowIsStillPrinted()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        failing_disk::SmallDisk disk(4 << 20);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        QCOMPARE(runCli({"crear", disk.filePath(""), "Expo"}).exitCode, 0);
        const QString show = disk.filePath("Expo.mdb"), clubs = disk.filePath("Club.mdb");
        {
            const store::Database db = store::Database::open(show, store::schema::exhibition());
            for (int cage = 1; cage <= 4; ++cage) {
                fixtures::addBird(db, cage, "A", cage % 2 == 0 ? "M" : "H");
                for (int juez = 1; juez <= 3; ++juez)
                    fixtures::addScore(db, QString::number(cage), juez, 88 + juez);
            }
            store::Database::create(clubs, store::schema::clubs());
        }
        const QByteArray before = fixtures::fingerprint(show);
        QVERIFY(disk.remountReadOnly());
        for (QString& arg : args)
            arg.replace("%1", show).replace("%2", clubs).replace("%3", m_dir.path());
        const CliResult run = runCli(args);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out, out);
        QCOMPARE(fixtures::fingerprint(show), before);

        const CliResult created = runCli({"crear", disk.filePath(""), "Otra"});
        QCOMPARE(created.exitCode, 1);
        QCOMPARE(created.err, "No se puede escribir en la carpeta «" +
                                  QDir::toNativeSeparators(QFileInfo(show).absolutePath()) +
                                  "»: no se ha podido crear «Otra.mdb».\n");
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
