// palomas-cli copia and restaurar as a user runs them, their refusals, and the copy taken before
// an import is stored.

#include "cli/cli_run.h"
#include "import/workbooks.h"
#include "rules/backups/copies.h"
#include "support/failing_disk.h"
#include "support/scored_exhibition.h"

#include <QDir>

class TestCliBackups : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }
    QString native(const QString& file) const { return QDir::toNativeSeparators(file); }
    static QString damagedCopy(const char* name)
    {
        return QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath(QStringLiteral("damaged/") + name);
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void aCopyTakenThenPutBack()
    {
        const QString expo = fixtures::createScoredExhibition(path("Expo.mdb"), 5);
        const QString before = failing_disk::dump(expo);
        const CliResult copied = runCli({"copia", expo});
        QCOMPARE(copied.exitCode, 0);
        const std::vector<backups::Copy> copies = backups::copiesOf(expo);
        QCOMPARE(copies.size(), std::size_t(1));
        QCOMPARE(copied.out, "Copia de seguridad guardada en «" + native(copies[0].path) + "»\n");
        QCOMPARE(failing_disk::dump(copies[0].path), before);

        store::Database::open(expo, store::schema::exhibition()).execute("DELETE FROM Puntos");
        const QString mistaken = failing_disk::dump(expo);
        const CliResult restored = runCli({"restaurar", expo, copies[0].path});
        QCOMPARE(restored.exitCode, 0);
        const std::vector<backups::Copy> now = backups::copiesOf(expo);
        QCOMPARE(now.size(), std::size_t(2));
        QCOMPARE(restored.out, "Restaurada la copia «" + QFileInfo(copies[0].path).fileName() +
                                   "»: 5 jaulas y 15 puntuaciones; la exposición anterior está en «" +
                                   native(now[0].path) + "»\n");
        QCOMPARE(restored.err, "");
        QCOMPARE(failing_disk::dump(expo), before);
        QCOMPARE(failing_disk::dump(now[0].path), mistaken);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("copia without a file")
            << QStringList{"copia"} << 2 << "Uso: palomas-cli copia EXPOSICION.mdb\n";
        QTest::newRow("restaurar without the copy")
            << QStringList{"restaurar", "Expo.mdb"} << 2
            << "Uso: palomas-cli restaurar EXPOSICION.mdb COPIA.mdb\n";
        QTest::newRow("copia of a missing file")
            << QStringList{"copia", "Nada.mdb"} << 1 << "No se encuentra el archivo «Nada.mdb».\n";
        const QString kept = " No se ha restaurado: la exposición sigue como estaba.\n";
        QTest::newRow("restaurar a damaged copy") << QStringList{"restaurar", "Expo.mdb", "Dañada.mdb"} << 1
                                                  << "El archivo «Dañada.mdb» está dañado: empieza como una "
                                                     "base de datos, pero el resto no se puede leer "
                                                     "como tal." +
                                                         kept;
        QTest::newRow("restaurar an empty copy")
            << QStringList{"restaurar", "Expo.mdb", "Vacía.mdb"} << 1
            << "El archivo «Vacía.mdb» está vacío: no es una base de datos de este programa." + kept;
        QTest::newRow("restaurar a copy cut short")
            << QStringList{"restaurar", "Expo.mdb", damagedCopy("copia-truncada.mdb")} << 1
            << "El archivo «copia-truncada.mdb» está dañado." + kept;
        // Copies whose header is sound, and whose rows can even be counted: only SQLite's own
        // check finds them damaged.
        for (const char* damaged : {"copia-bytes-al-azar.mdb", "copia-pagina-a-ceros.mdb"})
            QTest::newRow(damaged) << QStringList{"restaurar", "Expo.mdb", damagedCopy(damaged)} << 1
                                   << QStringLiteral(
                                          "La copia «%1» está dañada: parte de su contenido no se puede "
                                          "leer.")
                                              .arg(damaged) +
                                          kept;
        QTest::newRow("restaurar the exhibition into itself")
            << QStringList{"restaurar", "Expo.mdb", "Expo.mdb"} << 1
            << "La copia elegida es la propia exposición.\n";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const QString expo = fixtures::createScoredExhibition(path("Expo.mdb"), 5);
        QFile damaged(path("Dañada.mdb"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("SQLite format 3", 16) + QByteArray(5000, 'z'));
        damaged.close();
        QVERIFY(QFile(path("Vacía.mdb")).open(QIODevice::WriteOnly));
        const QString before = failing_disk::dump(expo);
        QProcess cli;
        cli.setWorkingDirectory(m_dir->path());
        cli.start(PALOMAS_CLI, args);
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), exitCode);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()), err);
        QCOMPARE(cli.readAllStandardOutput(), QByteArray());
        QCOMPARE(failing_disk::dump(expo), before);
        QCOMPARE(backups::copiesOf(expo).size(), std::size_t(0));
    }

    // A copy that shows the exhibition damaged says so and ends with 1; it is kept all the same,
    // under a name that says so, since it may be the best there is.
    void aCopyOfADamagedExhibitionSaysSo()
    {
        const QString expo = path("Rota.mdb");
        QVERIFY(QFile::copy(damagedCopy("copia-pagina-a-ceros.mdb"), expo));
        const CliResult copied = runCli({"copia", expo});
        QCOMPARE(copied.exitCode, 1);
        const std::vector<backups::Copy> copies = backups::copiesOf(expo);
        QCOMPARE(copies.size(), std::size_t(1));
        QVERIFY(copies[0].path.endsWith(" dañada.mdb"));
        QCOMPARE(copied.err,
                 "La exposición «Rota.mdb» está dañada: parte de su contenido no se puede leer. La "
                 "copia se ha guardado de todos modos, como «" +
                     QFileInfo(copies[0].path).fileName() + "».\n");
    }

    // The copy taken before an import holds the exhibition without the imported birds; a copy that
    // cannot be made is told, and the import is stored all the same.
    void anImportIsPrecededByACopy_data()
    {
        QTest::addColumn<bool>("copiesBlocked");
        QTest::newRow("copy made") << false;
        QTest::newRow("copy impossible") << true;
    }
    void anImportIsPrecededByACopy()
    {
        QFETCH(bool, copiesBlocked);
        const QString expo = fixtures::createScoredExhibition(path("Expo.mdb"), 5);
        const QString census = path("censo.xls");
        workbooks::write(census, {{5, workbooks::bird(21)}, {6, workbooks::bird(22, 556)}});
        const QString folder = backups::folderOf(expo);
        if (copiesBlocked) {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        const CliResult run = runCli({"importar-recepcion", expo, census});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, "2 Grabadas Palomas\n");
        QCOMPARE(backups::contentsOf(expo).cages, 7);
        if (copiesBlocked) {
            QCOMPARE(run.err,
                     "No se ha podido hacer la copia de seguridad antes de importar: No se puede crear la "
                     "carpeta «" +
                         native(folder) + "».\n");
        } else {
            QCOMPARE(run.err, "");
            const std::vector<backups::Copy> copies = backups::copiesOf(expo);
            QCOMPARE(copies.size(), std::size_t(1));
            QCOMPARE(backups::contentsOf(copies[0].path).cages, 5);
        }
    }
};

QTEST_GUILESS_MAIN(TestCliBackups)
#include "test_cli_backups.moc"
