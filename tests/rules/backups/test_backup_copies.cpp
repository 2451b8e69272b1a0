// The backup copies of an exhibition: their names, which ones are kept, a copy that holds what the
// file held, a restore that puts it back all or nothing,
// and a keeper that never gets in the way of the work. Copies killed at random: palomas-soak.

#include "rules/backups/copies.h"
#include "rules/backups/keeper.h"
#include "store/error.h"
#include "support/failing_disk.h"
#include "support/scored_exhibition.h"

#include <QLockFile>
#include <QTest>

using failing_disk::dump;

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
    QFile(path).open(QIODevice::WriteOnly);
}

QString damaged(const char* name)
{
    return QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath(QString("damaged/") + name);
}

// The message of the base::Error the call raises, "" when none.
template <typename Call> QString raised(Call call)
{
    try {
        call();
    } catch (const base::Error& e) {
        return e.message();
    }
    return {};
}

store::Database open(const QString& path)
{
    return store::Database::open(path, store::schema::exhibition());
}

} // namespace

class TestBackupCopies : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString copies() const { return m_dir->filePath("Copias de seguridad"); }
    QString exhibition(int cages, const QString& name = "Expo.mdb") const
    {
        return fixtures::createScoredExhibition(path(name), cages);
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // Names that sort as the copies were taken; each exhibition finds its own copies, newest
    // first, and nothing else: not those of an exhibition whose name starts alike, nor a copy half
    // made.
    void namesAndListing()
    {
        QCOMPARE(
            backups::copyFileName("/shows/Expo 2026.mdb", QDateTime(QDate(2027, 1, 2), QTime(9, 5, 3)), 2),
            "Expo 2026 2027-01-02 09.05.03 (2).mdb");
        QCOMPARE(backups::folderOf("/shows/Expo 2026.mdb"), "/shows/Copias de seguridad");
        QVERIFY(QDir().mkpath(copies()));
        for (const char* name :
             {"Expo 2026 2026-12-06 14.05.33.mdb", "Expo 2026 2026-12-06 14.05.33 (2).mdb",
              "Expo 2026 2026-12-07 09.00.00.mdb", "Expo 2026 2026-12-08 10.00.00.mdb.parcial",
              "Expo 2026 notas.mdb", "Expo 2026-12-06 10.00.00.mdb", "expo 2026 2026-12-06 14.05.33.txt"})
            touch(QDir(copies()).filePath(name));
        QCOMPARE(fileNames(backups::copiesOf(path("Expo 2026.mdb"))),
                 (QStringList{"Expo 2026 2026-12-07 09.00.00.mdb", "Expo 2026 2026-12-06 14.05.33 (2).mdb",
                              "Expo 2026 2026-12-06 14.05.33.mdb"}));
        QCOMPARE(fileNames(backups::copiesOf(path("Expo.mdb"))), QStringList{"Expo 2026-12-06 10.00.00.mdb"});
    }

    // The 30 newest are kept however old, and every copy of the last day however many; the oldest
    // go, never one newer than a copy that stays.
    void thirtyCopiesAndTheLastDayAreKept_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("minutesApart");
        QTest::addColumn<int>("expired");
        QTest::newRow("forty, an hour apart: ten beyond thirty and a day") << 40 << 60 << 10;
        QTest::newRow("forty, ten minutes apart: all of the last day") << 40 << 10 << 0;
        QTest::newRow("a hundred, thirty minutes apart: the last day holds 49") << 100 << 30 << 51;
        QTest::newRow("thirty-one, a day apart: the oldest goes") << 31 << 24 * 60 << 1;
    }
    void thirtyCopiesAndTheLastDayAreKept()
    {
        QFETCH(int, count);
        QFETCH(int, minutesApart);
        QFETCH(int, expired);
        std::vector<backups::Copy> copies;
        QStringList oldest;
        for (int i = 0; i < count; ++i) {
            copies.push_back({QString::number(i), noon.addSecs(-60LL * minutesApart * i), 1});
            if (i >= count - expired)
                oldest << QString::number(i);
        }
        QStringList gone;
        for (const backups::Copy& copy : backups::expired(copies, noon))
            gone << copy.path;
        QCOMPARE(gone, oldest);
    }

    // A copy holds every row the exhibition held, and taking copies prunes those the rule lets go.
    // A restore puts the copy back and copies the state it replaces first; the open connection
    // reads the restored rows at once.
    void copiesHoldTheExhibitionAndRestoreIt()
    {
        const QString expo = exhibition(300);
        store::Database db = open(expo);
        QStringList taken;
        for (int hour = 34; hour >= 0; --hour)
            taken.prepend(QFileInfo(backups::take(db, noon.addSecs(-3600LL * hour))).fileName());
        QCOMPARE(taken.last(), "Expo 2026-12-05 02.00.00.mdb");
        QCOMPARE(fileNames(backups::copiesOf(expo)), taken.mid(0, 30));
        const QString copy = backups::copiesOf(expo).front().path;
        const QString before = dump(expo);
        QCOMPARE(dump(copy), before);
        QCOMPARE(backups::contentsOf(copy).scoreRows, 300 * 3 - 300 / 7);
        db.execute("DELETE FROM Recepcion"); // the organiser's mistake
        const QString mistaken = dump(expo);
        const QString kept = backups::restore(db, copy);
        QCOMPARE(dump(expo), before);
        QCOMPARE(dump(kept), mistaken);
        QCOMPARE(db.openRecordset("select * from recepcion").recordCount(), 300);
    }

    // Without a copy of the current state there is no way back: the restore is refused. A disk
    // that fills up while the copy's pages are written: the exhibition keeps every row.
    void aRestoreThatCannotFinishKeepsTheExhibition()
    {
        const QString expo = exhibition(20), other = exhibition(5, "Otra.mdb"), before = dump(expo);
        touch(copies()); // a file where the folder of copies should be
        store::Database db = open(expo);
        QCOMPARE(
            raised([&] { backups::restore(db, other); }),
            QString(
                "No se ha restaurado la copia: antes hay que guardar una copia de la exposición actual, y "
                "no se ha podido. No se puede crear la carpeta «%1».")
                .arg(QDir::toNativeSeparators(copies())));
        QCOMPARE(dump(expo), before);
        failing_disk::SmallDisk disk(2 << 20);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        const QString small = fixtures::createScoredExhibition(disk.filePath("Expo.mdb"), 40),
                      smallBefore = dump(small);
        disk.fillLeaving(QFileInfo(small).size() + 64 * 1024); // room for the copy of the current state
        store::Database full = open(small);
        QCOMPARE(raised([&] { backups::restore(full, exhibition(999, "Grande.mdb")); }),
                 "No queda espacio en el disco para guardar «Expo.mdb».");
        QCOMPARE(dump(small), smallBefore);
        QCOMPARE(full.openRecordset("select * from recepcion").recordCount(), 40);
    }

    // A copy that SQLite's own check finds damaged is refused before anything is written, however
    // sound its header and its counts; the copy of an exhibition so damaged is kept, named so.
    void damagedCopiesAreNeverTrusted_data()
    {
        QTest::addColumn<QString>("copy");
        QTest::addColumn<QStringList>("copies"); // of such an exhibition
        QTest::newRow("cut short: it cannot even be copied")
            << damaged("copia-truncada.mdb") << QStringList();
        for (const char* name : {"copia-bytes-al-azar.mdb", "copia-pagina-a-ceros.mdb"})
            QTest::newRow(name) << damaged(name) << QStringList{"Rota 2026-12-06 12.00.00 dañada.mdb"};
    }
    void damagedCopiesAreNeverTrusted()
    {
        QFETCH(QString, copy);
        QFETCH(QStringList, copies);
        const QString expo = exhibition(20), before = dump(expo);
        store::Database db = open(expo);
        QVERIFY_THROWS_EXCEPTION(base::Error, backups::restore(db, copy));
        QCOMPARE(dump(expo), before);
        QCOMPARE(backups::copiesOf(expo).size(), std::size_t(0));
        QVERIFY(QFile::copy(copy, path("Rota.mdb")));
        QVERIFY_THROWS_EXCEPTION(base::Error, backups::take(open(path("Rota.mdb")), noon));
        QCOMPARE(fileNames(backups::copiesOf(path("Rota.mdb"))), copies);
    }

    // A copy left half made by a program that has ended (killed while copying) goes at the next
    // copy, however recent; one that a running program is still writing stays.
    void copiesLeftHalfMadeByEndedProgramsGo()
    {
        store::Database db = open(exhibition(5));
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
    // copy, whoever changed it; a copy it cannot make, or of a damaged file, is told, never thrown.
    void theKeeperCopiesWhenTheFileChanged()
    {
        const QString expo = exhibition(10);
        store::Database db = open(expo);
        backups::Keeper keeper;
        QStringList outcomes;
        keeper.onOutcome = [&](const QString& problem) { outcomes << problem; };
        QVERIFY(keeper.take(db, backups::Occasion::Opening) && keeper.takeIfChanged(db));
        fixtures::addBird(open(expo), 11, "A", "M");
        QVERIFY(keeper.takeIfChanged(db));
        QCOMPARE(backups::contentsOf(keeper.lastCopy()).cages, 11);
        QCOMPARE(backups::copiesOf(expo).size(), std::size_t(2));
        QCOMPARE(outcomes, QStringList({"", ""}));
        QVERIFY(QFile::copy(damaged("copia-pagina-a-ceros.mdb"), path("Rota.mdb")));
        QVERIFY(!keeper.take(open(path("Rota.mdb")), backups::Occasion::Opening));
        QCOMPARE(outcomes.last(),
                 "Copia de seguridad al abrir la exposición: La exposición «Rota.mdb» está dañada: "
                 "parte de su contenido no se puede leer. La copia se ha guardado de todos modos, "
                 "como «" +
                     fileNames(backups::copiesOf(path("Rota.mdb"))).at(0) + "».");
        QVERIFY(QDir(copies()).removeRecursively());
        touch(copies());
        QVERIFY(!keeper.take(db, backups::Occasion::BeforeImport));
        QCOMPARE(outcomes.last(),
                 QString("No se ha podido hacer la copia de seguridad antes de importar: No se puede "
                         "crear la carpeta «%1».")
                     .arg(QDir::toNativeSeparators(copies())));
    }
};

QTEST_GUILESS_MAIN(TestBackupCopies)
#include "test_backup_copies.moc"
