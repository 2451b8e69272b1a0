// The database files: created readable by the sqlite3 tool, or not at all; files that are not an
// exhibition, damaged or locked, refused with their real cause and left untouched; a failure of
// the file told apart from a value the file refuses; a transaction that SQLite undid by itself
// never continued outside it.

#include "store/error.h"
#include "store/write_fault.h"
#include "support/failing_disk.h"
#include "support/fixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>
#include <sqlite3.h>

using fixtures::fingerprint;

namespace
{

QByteArray fileBytes(const QString& path, qint64 size = -1)
{
    QFile file(path);
    return !file.open(QIODevice::ReadOnly) ? QByteArray() : size < 0 ? file.readAll() : file.read(size);
}

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
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        store::Database::create(path, store::schema::exhibition());
        return path;
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
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()), "3|Ávila\nok\n");
    }

    // An existing file is never overwritten; a file whose tables could not all be written is not
    // left behind, so that "Nuevo" can be tried again with the same name.
    void creatingLeavesAWholeFileOrNone()
    {
        const QString path = m_dir.filePath("nueva.mdb");
        {
            QFile keep(path);
            QVERIFY(keep.open(QIODevice::WriteOnly) && keep.write("keep me") == 7);
        }
        QVERIFY_THROWS_EXCEPTION(store::Error, store::Database::create(path, store::schema::exhibition()));
        QCOMPARE(fileBytes(path), "keep me");
        QVERIFY(QFile::remove(path));
        const QString missing = m_dir.filePath("no/such/folder/x.mdb");
        try {
            store::Database::create(missing, store::schema::exhibition());
            QFAIL("created in a missing folder");
        } catch (const store::Error& e) {
            QCOMPARE(e.message(), "La carpeta «" +
                                      QDir::toNativeSeparators(m_dir.filePath("no/such/folder")) +
                                      "» no existe.");
        }
        int writes = 0;
        {
            store::WriteFault counter(1 << 30);
            create("nueva.mdb");
            writes = counter.writesSeen();
        }
        QVERIFY(QFile::remove(path));
        QVERIFY(writes >= 5); // one table each, at least
        for (int nth = 1; nth <= writes; ++nth) {
            store::WriteFault fault(nth);
            QVERIFY_THROWS_EXCEPTION(base::Error, store::Database::create(path, store::schema::exhibition()));
            QVERIFY(fault.fired());
            QVERIFY2(!QFileInfo::exists(path) && !QFileInfo::exists(path + "-journal"),
                     qPrintable(QString::number(nth)));
        }
    }

    // Left to SQLite, random bytes after the first sixteen opened the file read-only (a "write
    // version" byte above 2), and the user was told the file could not be written.
    void badFilesRefusedUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("dropSql");
        QTest::addColumn<QString>("message"); // %1: the file's name
        const QString notOurs = "El archivo «%1» no es una base de datos de este programa (puede ser de otro "
                                "programa o de una versión antigua).";
        const QString badHeader =
            "El archivo «%1» está dañado: empieza como una base de datos, pero el resto "
            "no se puede leer como tal.";
        QRandomGenerator random(7);
        QByteArray noise(3 * 4096, '\0');
        for (char& c : noise)
            c = char(random.bounded(256));
        noise[2] = 9; // the "write version" byte after the signature: above 2, SQLite opened it read-only
        const QByteArray sound = fileBytes(create("sound.mdb"));
        QByteArray jet(4096, '\0');
        jet.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
        QByteArray newer = sound;
        newer[47] = 9; // the schema format (bytes 44 to 47): SQLite reads 1 to 4
        QTest::newRow("empty file")
            << QByteArray() << QString()
            << "El archivo «%1» está vacío: no es una base de datos de este programa.";
        QTest::newRow("random bytes") << noise << QString() << notOurs;
        QTest::newRow("a Jet file") << jet << QString() << notOurs;
        QTest::newRow("a newer format")
            << newer << QString()
            << "El archivo «%1» tiene un formato de base de datos que este programa no "
               "conoce: es de una versión más moderna de SQLite o está dañado.";
        QTest::newRow("signature only") << QByteArray("SQLite format 3", 16) << QString() << badHeader;
        QTest::newRow("signature then random bytes")
            << QByteArray("SQLite format 3", 16) + noise << QString() << badHeader;
        QTest::newRow("sound header then random pages")
            << sound.left(100) + noise << QString() << "El archivo «%1» está dañado.";
        QTest::newRow("missing table") << QByteArray() << "DROP TABLE lclub1"
                                       << "A la base de datos «%1» le falta la tabla «lclub1».";
        QTest::newRow("missing field") << QByteArray() << "ALTER TABLE Recepcion DROP COLUMN coef"
                                       << "A la tabla «Recepcion» de «%1» le falta el campo «coef».";
    }
    void badFilesRefusedUntouched()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, dropSql);
        QFETCH(QString, message);
        const QString path = m_dir.filePath("bad.mdb");
        if (dropSql.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        } else {
            store::Database::open(create("bad.mdb"), store::schema::exhibition()).execute(dropSql);
        }
        const QByteArray before = fingerprint(path);
        QCOMPARE(openingError(path), message.arg("bad.mdb"));
        QCOMPARE(fingerprint(path), before);
        QVERIFY(!QFile::exists(path + "-journal"));
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
        const QString file = create("shared.mdb");
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
                 QString("El archivo «shared.mdb» de la carpeta «%1» está ocupado por otro programa: se ha "
                         "esperado 5 segundos a que lo deje libre. Espere a que termine o ciérrelo, y "
                         "vuelva a intentarlo.")
                     .arg(QDir::toNativeSeparators(m_dir.path())));
        QVERIFY2(ms >= 4900 && ms < 8000, qPrintable(QString::number(ms)));
        QCOMPARE(birds.recordCount(), 1);
        QCOMPARE(birds.value("jaula").toInt(), 7);
    }

    // What a pass may skip (a value of one row) and what it may not (the file failing).
    void failuresOfTheFileAreToldApartFromRefusedValues()
    {
        store::Database db = store::Database::open(create("kinds.mdb"), store::schema::exhibition());
        for (const bool disk : {false, true}) {
            const store::WriteFault fault(disk ? 1 : 1 << 30, store::WriteFault::Kind::IoError);
            try {
                db.prepare(QString("INSERT INTO Recepcion (jaula, termina) VALUES (1, '%1')")
                               .arg(disk ? "S" : "SS"))
                    .run();
                QFAIL("the row was stored");
            } catch (const store::Error& e) {
                QCOMPARE(e.isStorage(), disk);
                QCOMPARE(e.sqliteCode() & 0xff, disk ? SQLITE_IOERR : SQLITE_CONSTRAINT);
            }
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

QTEST_GUILESS_MAIN(TestStoreFiles)
#include "test_store_files.moc"
