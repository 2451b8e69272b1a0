// The backup copies of an exhibition: their names, which ones are kept, a copy that holds what
// the file held, a restore that puts it back all or nothing, and a keeper that never gets in the
// way of the work.

#include "rules/backups/copies.h"
#include "rules/backups/keeper.h"
#include "store/error.h"
#include "support/failing_disk.h"
#include "support/fixtures.h"
#include "support/scored_exhibition.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTest>

namespace
{

const QDateTime noon(QDate(2026, 12, 6), QTime(12, 0, 0));

QStringList fileNames(const std::vector<backups::Copy>& copies)
{
    QStringList names;
    for (const backups::Copy& copy : copies)
        names << QFileInfo(copy.path).fileName();
    return names;
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestBackupCopies : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }
    QString copies() const { return QDir(m_dir->path()).filePath("Copias de seguridad"); }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void namesSortAsTheCopiesWereTaken_data()
    {
        QTest::addColumn<QDateTime>("taken");
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QString>("name");
        QTest::newRow("first of its second")
            << QDateTime(QDate(2026, 12, 6), QTime(14, 5, 33)) << 1 << "Expo 2026 2026-12-06 14.05.33.mdb";
        QTest::newRow("second of the same second") << QDateTime(QDate(2026, 12, 6), QTime(14, 5, 33)) << 2
                                                   << "Expo 2026 2026-12-06 14.05.33 (2).mdb";
        QTest::newRow("morning, January")
            << QDateTime(QDate(2027, 1, 2), QTime(9, 0, 0)) << 1 << "Expo 2026 2027-01-02 09.00.00.mdb";
    }
    void namesSortAsTheCopiesWereTaken()
    {
        QFETCH(QDateTime, taken);
        QFETCH(int, sequence);
        QFETCH(QString, name);
        QCOMPARE(backups::copyFileName("/shows/Expo 2026.mdb", taken, sequence), name);
        QCOMPARE(backups::folderOf("/shows/Expo 2026.mdb"), "/shows/Copias de seguridad");
    }

    // Each exhibition finds its own copies, newest first, and nothing else in the folder: not
    // those of an exhibition whose name starts alike, nor a copy left half made.
    void eachExhibitionListsItsOwnCopies()
    {
        QVERIFY(QDir().mkpath(copies()));
        for (const char* name : {"Expo 2026 2026-12-06 14.05.33.mdb", "Expo 2026 2026-12-06 14.05.33 (2).mdb",
                                 "Expo 2026 2026-12-07 09.00.00.mdb", "Expo 2026 2026-12-05 23.59.59.mdb",
                                 "Expo 2026 2026-12-08 10.00.00.mdb.parcial", "Expo 2026 notas.mdb",
                                 "Expo 2026-12-06 10.00.00.mdb", "expo 2026 2026-12-06 14.05.33.txt"})
            touch(QDir(copies()).filePath(name));
        QCOMPARE(fileNames(backups::copiesOf(path("Expo 2026.mdb"))),
                 (QStringList{"Expo 2026 2026-12-07 09.00.00.mdb", "Expo 2026 2026-12-06 14.05.33 (2).mdb",
                              "Expo 2026 2026-12-06 14.05.33.mdb", "Expo 2026 2026-12-05 23.59.59.mdb"}));
        QCOMPARE(fileNames(backups::copiesOf(path("Expo.mdb"))), QStringList{"Expo 2026-12-06 10.00.00.mdb"});
        QCOMPARE(backups::copiesOf(path("Otra.mdb")).size(), std::size_t(0));
    }

    // The 30 newest are kept however old, and every copy of the last day however many.
    void thirtyCopiesAndTheLastDayAreKept_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("minutesApart");
        QTest::addColumn<int>("expired");
        QTest::newRow("forty, an hour apart: ten beyond thirty and a day") << 40 << 60 << 10;
        QTest::newRow("forty, ten minutes apart: all of the last day") << 40 << 10 << 0;
        QTest::newRow("ten a week old: fewer than thirty") << 10 << 7 * 24 * 60 << 0;
        QTest::newRow("a hundred, thirty minutes apart: the last day holds 49") << 100 << 30 << 51;
        QTest::newRow("thirty-one, a day apart: the oldest goes") << 31 << 24 * 60 << 1;
    }
    void thirtyCopiesAndTheLastDayAreKept()
    {
        QFETCH(int, count);
        QFETCH(int, minutesApart);
        QFETCH(int, expired);
        std::vector<backups::Copy> copies;
        for (int i = 0; i < count; ++i)
            copies.push_back({QString::number(i), noon.addSecs(-60LL * minutesApart * i), 1});
        const std::vector<backups::Copy> gone = backups::expired(copies, noon);
        QCOMPARE(int(gone.size()), expired);
        // The oldest go, never one newer than a copy that stays.
        for (std::size_t i = 0; i < gone.size(); ++i)
            QCOMPARE(gone[i].path, QString::number(count - int(gone.size()) + int(i)));
    }

    // A copy holds every row the exhibition held; taking copies prunes those the rule lets go.
    void aCopyHoldsTheExhibitionAndOldCopiesGo()
    {
        const QString expo = fixtures::createScoredExhibition(path("Expo.mdb"), 300);
        store::Database db = store::Database::open(expo, store::schema::exhibition());
        QStringList taken;
        for (int hour = 34; hour >= 0; --hour)
            taken << QFileInfo(backups::take(db, noon.addSecs(-3600LL * hour))).fileName();
        QCOMPARE(taken.first(), "Expo 2026-12-05 02.00.00.mdb");
        QCOMPARE(taken.last(), "Expo 2026-12-06 12.00.00.mdb");
        const std::vector<backups::Copy> kept = backups::copiesOf(expo);
        QCOMPARE(fileNames(kept), [&] {
            QStringList newest = taken.mid(5);
            std::reverse(newest.begin(), newest.end());
            return newest;
        }());
        QCOMPARE(failing_disk::dump(kept.front().path), failing_disk::dump(expo));
        const backups::Contents contents = backups::contentsOf(kept.front().path);
        QCOMPARE(contents.cages, 300);
        QCOMPARE(contents.scoreRows, 300 * 3 - 300 / 7);
    }

    // The exhibition goes back to the copy; the state it leaves is itself copied first.
    void restoringPutsTheCopyBackAndKeepsTheStateReplaced()
    {
        const QString expo = fixtures::createScoredExhibition(path("Expo.mdb"), 120);
        store::Database db = store::Database::open(expo, store::schema::exhibition());
        const QString copy = backups::take(db, noon);
        const QString before = failing_disk::dump(expo);
        db.execute("DELETE FROM Recepcion"); // the organiser's mistake
        db.execute("DELETE FROM Puntos");
        const QString mistaken = failing_disk::dump(expo);

        const QString kept = backups::restore(db, copy);
        QCOMPARE(failing_disk::dump(expo), before);
        QCOMPARE(failing_disk::dump(kept), mistaken);
        QCOMPARE(backups::copiesOf(expo).size(), std::size_t(2));
        // The open connection reads the restored rows at once.
        QCOMPARE(db.openRecordset("select * from recepcion").recordCount(), 120);
    }

    // Without a copy of the current state there is no way back: the restore is refused.
    void noRestoreWithoutACopyOfTheCurrentState()
    {
        const QString expo = fixtures::createScoredExhibition(path("Expo.mdb"), 20);
        const QString copy = fixtures::createScoredExhibition(path("Otra.mdb"), 5);
        const QString before = failing_disk::dump(expo);
        touch(copies()); // a file where the folder of copies should be
        store::Database db = store::Database::open(expo, store::schema::exhibition());
        QString raised;
        try {
            backups::restore(db, copy);
        } catch (const base::Error& e) {
            raised = e.message();
        }
        QCOMPARE(raised,
                 QStringLiteral("No se ha restaurado la copia: antes hay que guardar una copia de la "
                                "exposición actual, y no se ha podido. No se puede crear la carpeta «%1».")
                     .arg(QDir::toNativeSeparators(copies())));
        QCOMPARE(failing_disk::dump(expo), before);
    }

    // A disk that fills up while the copy's pages are written: the exhibition keeps every row.
    void aRestoreThatFillsTheDiskKeepsTheExhibition()
    {
        failing_disk::SmallDisk disk(2 << 20);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        const QString expo = fixtures::createScoredExhibition(disk.filePath("Expo.mdb"), 40);
        const QString big = fixtures::createScoredExhibition(path("Grande.mdb"), 999);
        const QString before = failing_disk::dump(expo);
        disk.fillLeaving(QFileInfo(expo).size() + 64 * 1024); // room for the copy of the current state
        store::Database db = store::Database::open(expo, store::schema::exhibition());
        QString raised;
        try {
            backups::restore(db, big);
        } catch (const base::Error& e) {
            raised = e.message();
        }
        QCOMPARE(raised, "No queda espacio en el disco para guardar «Expo.mdb».");
        QCOMPARE(failing_disk::dump(expo), before);
        QCOMPARE(db.openRecordset("select * from recepcion").recordCount(), 40);
    }

    // A copy that SQLite's own check finds damaged is refused before anything is written,
    // however sound its header and its counts; the copy of an exhibition so damaged is kept,
    // under a name that says so, and the copy is refused with the reason.
    void damagedCopiesAreNeverTrusted_data()
    {
        QTest::addColumn<QString>("damaged");
        QTest::addColumn<QStringList>("copies"); // of such an exhibition
        const QDir data(qEnvironmentVariable("PALOMAS_TEST_DATA"));
        QTest::newRow("cut short: it cannot even be copied")
            << data.filePath("damaged/copia-truncada.mdb") << QStringList();
        for (const char* name : {"copia-bytes-al-azar.mdb", "copia-pagina-a-ceros.mdb"})
            QTest::newRow(name) << data.filePath(QString("damaged/") + name)
                                << QStringList{"Rota 2026-12-06 12.00.00 dañada.mdb"};
    }
    void damagedCopiesAreNeverTrusted()
    {
        QFETCH(QString, damaged);
        QFETCH(QStringList, copies);
        const QString expo = fixtures::createScoredExhibition(path("Expo.mdb"), 20);
        const QString before = failing_disk::dump(expo);
        store::Database db = store::Database::open(expo, store::schema::exhibition());
        QVERIFY_THROWS_EXCEPTION(base::Error, backups::restore(db, damaged));
        QCOMPARE(failing_disk::dump(expo), before);
        QCOMPARE(backups::copiesOf(expo).size(), std::size_t(0));

        const QString broken = path("Rota.mdb");
        QVERIFY(QFile::copy(damaged, broken));
        QVERIFY_THROWS_EXCEPTION(
            base::Error, backups::take(store::Database::open(broken, store::schema::exhibition()), noon));
        QCOMPARE(fileNames(backups::copiesOf(broken)), copies);
    }

    // A copy left half made by a program that has ended (killed while copying) goes at the next
    // copy, however recent; one that a running program is still writing stays.
    void copiesLeftHalfMadeByEndedProgramsGo()
    {
        store::Database db = store::Database::open(fixtures::createScoredExhibition(path("Expo.mdb"), 5),
                                                   store::schema::exhibition());
        QVERIFY(QDir().mkpath(copies()));
        const QDir folder(copies());
        touch(folder.filePath("Expo.123.456.parcial")); // its program ended: no lock
        touch(folder.filePath("Expo.124.457.parcial"));
        QLockFile writing(folder.filePath("Expo.124.457.parcial.lock")); // this program, still writing it
        QVERIFY(writing.lock());
        backups::take(db, noon);
        QCOMPARE(folder.entryList({"*.parcial*"}),
                 (QStringList{"Expo.124.457.parcial", "Expo.124.457.parcial.lock"}));
    }

    // The keeper copies when asked and, on its timer, only when the file changed since its last
    // copy, whoever changed it; a copy it cannot make is told, never thrown.
    void theKeeperCopiesWhenTheFileChanged()
    {
        const QString expo = fixtures::createScoredExhibition(path("Expo.mdb"), 10);
        store::Database db = store::Database::open(expo, store::schema::exhibition());
        backups::Keeper keeper;
        QStringList outcomes;
        keeper.onOutcome = [&](const QString& problem) { outcomes << problem; };
        QVERIFY(keeper.take(db, backups::Occasion::Opening));
        QVERIFY(keeper.takeIfChanged(db));
        QCOMPARE(backups::copiesOf(expo).size(), std::size_t(1));
        fixtures::addBird(db, 11, "A", "M");
        QVERIFY(keeper.takeIfChanged(db));
        QCOMPARE(backups::copiesOf(expo).size(), std::size_t(2));
        QCOMPARE(backups::contentsOf(keeper.lastCopy()).cages, 11);
        fixtures::addBird(store::Database::open(expo, store::schema::exhibition()), 12, "A", "M");
        QVERIFY(keeper.takeIfChanged(db));
        QCOMPARE(backups::contentsOf(keeper.lastCopy()).cages, 12);
        QCOMPARE(outcomes, QStringList({"", "", ""}));

        // A copy that shows the exhibition damaged is made, and the damage told.
        const QString broken = path("Rota.mdb");
        QVERIFY(QFile::copy(
            QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath("damaged/copia-pagina-a-ceros.mdb"),
            broken));
        QVERIFY(!keeper.take(store::Database::open(broken, store::schema::exhibition()),
                             backups::Occasion::Opening));
        QCOMPARE(outcomes.last(),
                 "Copia de seguridad al abrir la exposición: La exposición «Rota.mdb» está dañada: parte "
                 "de su contenido no se puede leer. La copia se ha guardado de todos modos, como «" +
                     QFileInfo(backups::copiesOf(broken).at(0).path).fileName() + "».");

        QVERIFY(QDir(copies()).removeRecursively());
        touch(copies());
        QVERIFY(!keeper.take(db, backups::Occasion::BeforeImport));
        QCOMPARE(outcomes.last(),
                 QStringLiteral("No se ha podido hacer la copia de seguridad antes de importar: No "
                                "se puede crear la carpeta «%1».")
                     .arg(QDir::toNativeSeparators(copies())));
    }
};

QTEST_GUILESS_MAIN(TestBackupCopies)
#include "test_backup_copies.moc"
