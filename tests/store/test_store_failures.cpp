// Files and disks that fail: each is reported with its real cause, a failure of the file is told
// apart from a value the file refuses, another program's lock is waited for once, and a
// transaction that SQLite undid by itself is never continued outside it.

#include "store/error.h"
#include "store/write_fault.h"
#include "support/failing_disk.h"
#include "support/fixtures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <sqlite3.h>

using fixtures::fingerprint;

namespace
{

QByteArray randomBytes(quint32 seed, int size)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QString openingError(const QString& path)
{
    try {
        store::Database::open(path, store::schema::exhibition());
    } catch (const store::Error& e) {
        return e.message();
    }
    return QStringLiteral("(abierto)");
}

} // namespace

class TestStoreFailures : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    QByteArray validHeader()
    {
        const QString sound = path("sound.mdb");
        if (!QFile::exists(sound))
            store::Database::create(sound, store::schema::exhibition());
        QFile file(sound);
        return file.open(QIODevice::ReadOnly) ? file.read(100) : QByteArray();
    }

private slots:
    // Left to SQLite, random bytes after the first sixteen opened the file read-only (a "write
    // version" byte above 2), and the user was told the file could not be written.
    void damagedFilesAreCalledDamaged_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString badHeader =
            "El archivo «damaged.mdb» está dañado: empieza como una base de datos, pero el "
            "resto no se puede leer como tal.";
        for (quint32 seed = 1; seed <= 12; ++seed)
            QTest::addRow("signature then random bytes, seed %u", seed)
                << QByteArray("SQLite format 3", 16) + randomBytes(seed, 3 * 4096) << badHeader;
        QTest::newRow("signature only") << QByteArray("SQLite format 3", 16) << badHeader;
        for (quint32 seed = 1; seed <= 4; ++seed)
            QTest::addRow("sound header then random pages, seed %u", seed)
                << validHeader() + randomBytes(seed, 3 * 4096 - 100)
                << "El archivo «damaged.mdb» está dañado.";
    }
    void damagedFilesAreCalledDamaged()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString file = path("damaged.mdb");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(content);
        out.close();
        QCOMPARE(openingError(file), message);
        QCOMPARE(fingerprint(file), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
    }

    void aReadOnlyFileIsCalledReadOnly()
    {
        const QString file = path("protected.mdb");
        store::Database::create(file, store::schema::exhibition());
        failing_disk::LockedFolder locked(file); // an immutable file cannot be opened for writing
        if (!locked.locked())
            QSKIP(qPrintable(locked.why()));
        QCOMPARE(openingError(file),
                 "No se puede escribir en «protected.mdb»: el archivo es de solo lectura.");
    }

    // The wait for another program's lock is the one the message announces: the opening read used
    // to wait once unheard, and the next read waited again, ten seconds in all. A result whose
    // reading failed so is read again, whole, once the file is free: it was left empty.
    void anotherProgramsLockIsWaitedForOnce_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::addColumn<QString>("attempt");
        QTest::newRow("opening a file another program is writing") << "BEGIN EXCLUSIVE"
                                                                   << "open";
        QTest::newRow("writing while another program writes") << "BEGIN IMMEDIATE"
                                                              << "write";
        QTest::newRow("reading while another program writes") << "BEGIN EXCLUSIVE"
                                                              << "read";
    }
    void anotherProgramsLockIsWaitedForOnce()
    {
        QFETCH(QString, lock);
        QFETCH(QString, attempt);
        const QString file = path("shared.mdb");
        QFile::remove(file);
        store::Database::create(file, store::schema::exhibition());
        store::Database mine = store::Database::open(file, store::schema::exhibition());
        fixtures::addBird(mine, 7, "B", "H");
        store::Recordset birds = mine.openRecordset("select * from recepcion");
        store::Database other = store::Database::open(file, store::schema::exhibition());
        other.execute(lock);
        QElapsedTimer waited;
        waited.start();
        QString message;
        try {
            if (attempt == "write")
                fixtures::addBird(mine, 1, "A", "M");
            else if (attempt == "read")
                birds.recordCount();
            else
                store::Database::open(file, store::schema::exhibition());
        } catch (const store::Error& e) {
            QVERIFY(e.isStorage());
            QCOMPARE(e.sqliteCode() & 0xff, SQLITE_BUSY);
            message = e.message();
        }
        const qint64 ms = waited.elapsed();
        other.execute("ROLLBACK");
        QCOMPARE(message,
                 QStringLiteral("El archivo «shared.mdb» de la carpeta «%1» está ocupado por otro programa: "
                                "se ha esperado 5 segundos a que lo deje libre. Espere a que termine o "
                                "ciérrelo, y vuelva a intentarlo.")
                     .arg(QDir::toNativeSeparators(m_dir.path())));
        QVERIFY2(ms >= 4900 && ms < 8000, qPrintable(QString::number(ms)));
        QCOMPARE(birds.recordCount(), 1);
        QCOMPARE(birds.value("jaula").toInt(), 7);
    }

    // What a pass may skip (a value of one row) and what it may not (the file failing).
    void failuresOfTheFileAreToldApartFromRefusedValues()
    {
        store::Database db = store::Database::create(path("kinds.mdb"), store::schema::exhibition());
        store::Statement tooLong = db.prepare("INSERT INTO Recepcion (jaula, termina) VALUES (1, 'SS')");
        try {
            tooLong.run();
            QFAIL("a two-letter termina was stored");
        } catch (const store::Error& e) {
            QVERIFY(!e.isStorage());
            QCOMPARE(e.sqliteCode() & 0xff, SQLITE_CONSTRAINT);
        }
        const store::WriteFault fault(1, store::WriteFault::Kind::IoError);
        try {
            fixtures::addBird(db, 2, "A", "M");
            QFAIL("the write went through");
        } catch (const store::Error& e) {
            QVERIFY(e.isStorage());
            QCOMPARE(e.sqliteCode() & 0xff, SQLITE_IOERR);
        }
    }

    // A disk that fills up in the middle of a transaction: SQLite rolls the transaction back by
    // itself. A careless pass that catches the failure and goes on must not store its remaining
    // rows one by one in autocommit, nor commit what is left.
    void nothingIsWrittenAfterSqliteUndidTheTransaction()
    {
        failing_disk::SmallDisk disk(1 << 20);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        const QString file = disk.filePath("careless.mdb");
        {
            store::Database db = store::Database::create(file, store::schema::exhibition());
            store::Transaction transaction(db);
            for (int cage = 1; cage <= 400; ++cage)
                fixtures::addBird(db, cage, "A", "M", {{"nombre", QString(40, u'x')}});
            transaction.commit();
        }
        const QString before = failing_disk::dump(file);
        disk.fillLeaving(8 * 1024);

        store::Database db = store::Database::open(file, store::schema::exhibition());
        QStringList failures;
        {
            store::Transaction transaction(db);
            // One row by its rowid, as the passes write: SQLite keeps no statement journal for it,
            // and a full disk undoes the whole transaction.
            store::Statement update = db.prepare("UPDATE Recepcion SET nombre = ? WHERE rowid = ?");
            for (int cage = 1; cage <= 400; ++cage) {
                try {
                    update.bind(1, QString(40, u'y')).bind(2, qint64(cage));
                    update.run();
                } catch (const store::Error& e) {
                    update.reset();
                    QVERIFY(e.isStorage());
                    failures << e.message();
                }
            }
            try {
                transaction.commit();
                failures << "committed";
            } catch (const store::Error& e) {
                failures << e.message();
            }
        }
        QVERIFY(failures.size() > 2);
        QCOMPARE(failures.first(), "No queda espacio en el disco para guardar «careless.mdb».");
        QCOMPARE(failures.last(),
                 "No queda espacio en el disco para guardar «careless.mdb». No se ha guardado "
                 "nada de la operación.");
        QCOMPARE(failing_disk::dump(file), before);
    }
};

QTEST_GUILESS_MAIN(TestStoreFailures)
#include "test_store_failures.moc"
