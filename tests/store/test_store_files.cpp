// The database files: created readable by the sqlite3 tool, or not at all; files that are not an
// exhibition, damaged, locked or busy refused with their real cause and left untouched.

#include "store/error.h"
#include "store/write_fault.h"
#include "support/failing_disk.h"
#include "support/fixtures.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>
#include <sqlite3.h>

namespace
{

QString openingError(const QString& path)
{
    try {
        store::Database::open(path, store::schema::exhibition());
    } catch (const store::Error& e) {
        return e.message();
    }
    return "(abierto)";
}

} // namespace

class TestStoreFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString create(const QString& name)
    {
        QFile::remove(m_dir.filePath(name));
        return store::Database::create(m_dir.filePath(name), store::schema::exhibition()).path();
    }

private slots:
    void fileReadableByTheSqliteTool()
    {
        const QString sqlite = QStandardPaths::findExecutable("sqlite3");
        if (sqlite.isEmpty())
            QSKIP("the sqlite3 tool is not installed");
        const QString path = create("tool.mdb");
        fixtures::addBird(store::Database::open(path, store::schema::exhibition()), 3, "A", "m",
                          {{"nombre", "Ávila"}});
        QProcess tool;
        tool.start(sqlite, {path, "SELECT jaula, nombre FROM Recepcion WHERE sexo = 'm'; "
                                  "INSERT INTO Recepcion (jaula) VALUES (4); PRAGMA integrity_check;"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.readAllStandardOutput(), "3|Ávila\nok\n");
    }

    // An existing file is never overwritten; a file whose tables could not all be written is not
    // left behind, so that "Nuevo" can be tried again with the same name.
    void creatingLeavesAWholeFileOrNone()
    {
        const QString path = m_dir.filePath("nueva.mdb");
        const auto create = [&] { store::Database::create(path, store::schema::exhibition()); };
        {
            QFile existing(path);
            QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("keep me") == 7);
        }
        QVERIFY_THROWS_EXCEPTION(store::Error, create());
        QCOMPARE(fixtures::fingerprint(path),
                 QCryptographicHash::hash("keep me", QCryptographicHash::Sha256));
        QVERIFY(QFile::remove(path));
        store::WriteFault counter(1 << 30);
        create();
        const int writes = counter.writesSeen();
        QVERIFY(QFile::remove(path) && writes >= 5); // one table each, at least
        for (int nth = 1; nth <= writes; ++nth) {
            store::WriteFault fault(nth);
            QVERIFY_THROWS_EXCEPTION(base::Error, create());
            QVERIFY2(fault.fired() && !QFileInfo::exists(path) && !QFileInfo::exists(path + "-journal"),
                     qPrintable(QString::number(nth)));
        }
        try {
            store::Database::create(m_dir.filePath("no/such/folder/x.mdb"), store::schema::exhibition());
            QFAIL("created in a missing folder");
        } catch (const store::Error& e) {
            QCOMPARE(e.message(), "La carpeta «" +
                                      QDir::toNativeSeparators(m_dir.filePath("no/such/folder")) +
                                      "» no existe.");
        }
    }

    // Left to SQLite, random bytes after the first sixteen opened the file read-only (a "write
    // version" byte above 2), and the user was told the file could not be written.
    void badFilesRefusedUntouched_data()
    {
        QTest::addColumn<QByteArray>("content"); // or the SQL that spoils a new exhibition
        QTest::addColumn<QString>("message");    // %1: the file's name
        const QString notOurs = "El archivo «%1» no es una base de datos de este programa (puede ser de otro "
                                "programa o de una versión antigua).";
        const QString badHeader =
            "El archivo «%1» está dañado: empieza como una base de datos, pero el resto no "
            "se puede leer como tal.";
        QByteArray noise(3 * 4096, '\0');
        QRandomGenerator random(7);
        for (char& c : noise)
            c = char(random.bounded(256));
        noise[2] = 9; // the "write version" byte after the signature
        QFile file(create("sound.mdb"));
        const QByteArray sound = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const auto row = [](const char* name, const QByteArray& content, const QString& message) {
            QTest::newRow(name) << content << message;
        };
        row("empty file", {}, "El archivo «%1» está vacío: no es una base de datos de este programa.");
        row("random bytes", noise, notOurs);
        row("a Jet file", QByteArray("\x00\x01\x00\x00Standard Jet DB", 19) + noise, notOurs);
        row("a newer format", sound.left(47) + '\x09' + sound.mid(48),
            "El archivo «%1» tiene un formato de base de datos que este programa no conoce: es de una "
            "versión "
            "más moderna de SQLite o está dañado.");
        row("signature only", QByteArray("SQLite format 3", 16), badHeader);
        row("signature then random bytes", QByteArray("SQLite format 3", 16) + noise, badHeader);
        row("sound header then random pages", sound.left(100) + noise, "El archivo «%1» está dañado.");
        row("missing table", "DROP TABLE lclub1", "A la base de datos «%1» le falta la tabla «lclub1».");
        row("missing field", "ALTER TABLE lclub DROP COLUMN nclub",
            "A la tabla «lclub» de «%1» le falta el campo «nclub».");
    }
    void badFilesRefusedUntouched()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFile file(content.startsWith("DROP") || content.startsWith("ALTER") ? create("bad.mdb")
                                                                             : m_dir.filePath("bad.mdb"));
        if (file.exists())
            store::Database::open(file.fileName(), store::schema::exhibition()).execute(content);
        else
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        const QByteArray before = fixtures::fingerprint(file.fileName());
        QCOMPARE(openingError(file.fileName()), message.arg("bad.mdb"));
        QCOMPARE(fixtures::fingerprint(file.fileName()), before);
        QVERIFY(QFile::remove(file.fileName()) && !QFile::exists(file.fileName() + "-journal"));
    }

    void aReadOnlyFileIsCalledReadOnly()
    {
        const QString file = create("protected.mdb");
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
        QTest::addColumn<QString>("attempt");
        QTest::newRow("opening a file another program is writing") << "open";
        QTest::newRow("reading while another program writes") << "read";
    }
    void anotherProgramsLockIsWaitedForOnce()
    {
        QFETCH(QString, attempt);
        const QString file = create("shared.mdb");
        store::Database mine = store::Database::open(file, store::schema::exhibition());
        fixtures::addBird(mine, 7, "B", "H");
        store::Recordset birds = mine.openRecordset("select * from recepcion");
        store::Database other = store::Database::open(file, store::schema::exhibition());
        other.execute("BEGIN EXCLUSIVE");
        QElapsedTimer waited;
        waited.start();
        QString message;
        try {
            if (attempt == "read")
                birds.recordCount();
            else
                store::Database::open(file, store::schema::exhibition());
        } catch (const store::Error& e) {
            QVERIFY(e.isStorage() && (e.sqliteCode() & 0xff) == SQLITE_BUSY);
            message = e.message();
        }
        const qint64 ms = waited.elapsed();
        other.execute("ROLLBACK");
        QCOMPARE(message,
                 QString("El archivo «shared.mdb» de la carpeta «%1» está ocupado por otro programa: se ha "
                         "esperado 5 segundos a que lo deje libre. Espere a que termine o ciérrelo, y "
                         "vuelva a intentarlo.")
                     .arg(QDir::toNativeSeparators(m_dir.path())));
        QVERIFY2(ms >= 4900 && ms < 8000, qPrintable(QString::number(ms)));
        QCOMPARE(birds.recordCount(), 1);
    }

    // What a pass may skip (a value of one row) and what it may not (the file failing). A disk that
    // fills up in the middle of a transaction: SQLite rolls the transaction back by itself, and a
    // careless pass that catches the failure and goes on must not store its remaining rows one by
    // one in autocommit, nor commit what is left.
    void failuresOfTheFileEndThePass()
    {
        store::Database kinds = store::Database::open(create("kinds.mdb"), store::schema::exhibition());
        for (const bool disk : {false, true}) {
            const store::WriteFault fault(disk ? 1 : 1 << 30, store::WriteFault::Kind::IoError);
            try {
                kinds.execute(QString("INSERT INTO Recepcion (jaula, termina) VALUES (1, '%1')")
                                  .arg(disk ? "S" : "SS"));
                QFAIL("the row was stored");
            } catch (const store::Error& e) {
                QCOMPARE(e.isStorage(), disk);
                QCOMPARE(e.sqliteCode() & 0xff, disk ? SQLITE_IOERR : SQLITE_CONSTRAINT);
            }
        }
        failing_disk::SmallDisk disk(1 << 20);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        store::Database db =
            store::Database::create(disk.filePath("careless.mdb"), store::schema::exhibition());
        db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
                   "INSERT INTO Recepcion (jaula, nombre) SELECT i, printf('%040d', i) FROM n");
        const QString before = failing_disk::dump(db.path());
        disk.fillLeaving(8 * 1024);
        QStringList failures;
        {
            store::Transaction transaction(db);
            // One row by its rowid, as the passes write: SQLite keeps no statement journal for it.
            store::Statement update = db.prepare("UPDATE Recepcion SET nombre = ? WHERE rowid = ?");
            for (int cage = 1; cage <= 400; ++cage) {
                try {
                    update.bind(1, QString(40, u'y')).bind(2, qint64(cage)).run();
                } catch (const store::Error& e) {
                    update.reset();
                    failures << e.message();
                }
            }
            try {
                transaction.commit();
            } catch (const store::Error& e) {
                failures << e.message();
            }
        }
        QVERIFY(failures.size() > 2);
        QCOMPARE(failures.first(), "No queda espacio en el disco para guardar «careless.mdb».");
        QCOMPARE(failures.last(), failures.first() + " No se ha guardado nada de la operación.");
        QCOMPARE(failing_disk::dump(db.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestStoreFiles)
#include "test_store_files.moc"
