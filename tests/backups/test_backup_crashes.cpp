// Copies taken while another program writes, with kill -9 on either side: palomas-cli restaurar
// rewrites the whole exhibition (one large write) while palomas-cli copia copies it, and one of
// the two is killed at a random moment. Every file left must pass SQLite's integrity check, and
// every copy must hold one of the states the exhibition really had; a write that was
// acknowledged is never lost.

#include "rules/backups/copies.h"
#include "store/error.h"
#include "support/failing_disk.h"
#include "support/scored_exhibition.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QThread>

namespace
{

QString integrity(const QString& path)
{
    // Read-write: a journal left by a killed writer is rolled back first, as any program does.
    store::Database db = store::Database::open(path, store::schema::exhibition());
    store::Statement check = db.prepare("PRAGMA integrity_check");
    QStringList lines;
    while (check.step())
        lines << check.text(0);
    return lines.join(u'\n');
}

void start(QProcess& process, const QStringList& args)
{
    process.start(PALOMAS_CLI, args);
    QVERIFY(process.waitForStarted());
}

} // namespace

class TestBackupCrashes : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_states[2];  // two exhibitions, the states the writer puts back in turn
    QStringList m_dumps;  // their contents
    QString m_exhibition; // the file both processes work on
    int m_killedWriting = 0;
    qint64 m_writerMs = 0; // how long a restore runs here

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    void reset()
    {
        QVERIFY(QDir(backups::folderOf(m_exhibition)).removeRecursively());
        QFile::remove(m_exhibition);
        QVERIFY(QFile::copy(m_states[0], m_exhibition));
    }

    // Every copy is sound and holds a state the exhibition had; so does the exhibition.
    void checkEveryFile()
    {
        QCOMPARE(integrity(m_exhibition), "ok");
        QVERIFY(m_dumps.contains(failing_disk::dump(m_exhibition)));
        for (const backups::Copy& copy : backups::copiesOf(m_exhibition)) {
            try {
                QCOMPARE(integrity(copy.path), "ok");
                QVERIFY2(m_dumps.contains(failing_disk::dump(copy.path)), qPrintable(copy.path));
            } catch (const base::Error& e) {
                QFAIL(qPrintable(copy.path + ": " + e.message()));
            }
        }
    }

private slots:
    void initTestCase()
    {
        // The two states differ in every table the writer replaces, and are large enough that
        // a restore and a copy take a while.
        m_states[0] = fixtures::createScoredExhibition(path("estadoA.mdb"), 999);
        m_states[1] = fixtures::createScoredExhibition(path("estadoB.mdb"), 640);
        for (const QString& state : m_states)
            m_dumps << failing_disk::dump(state);
        QVERIFY(m_dumps[0] != m_dumps[1]);
        m_exhibition = path("Expo.mdb");
        reset();
        QElapsedTimer timer;
        timer.start();
        QProcess writer;
        start(writer, {"restaurar", m_exhibition, m_states[1]});
        QVERIFY(writer.waitForFinished(60000));
        m_writerMs = timer.elapsed();
    }

    void cleanupTestCase()
    {
        qInfo("A restore ran %lld ms; %d of the writer's kills landed inside its transaction (a journal was "
              "left)",
              m_writerMs, m_killedWriting);
    }

    // The kill moves through the second half of the writer's life (measured once), where it
    // copies the current state and then rewrites the file, so that some land while it writes. Half the copies
    // start before the kill, half after it, when the file may be half written and its journal not yet rolled
    // back.
    void aWriterKilledAtAnyMoment_data()
    {
        QTest::addColumn<int>("delay");
        for (int step = 0; step <= 24; ++step) {
            const int delay = int(m_writerMs * (0.4 + 0.7 * step / 24));
            QTest::addRow("kill after %d ms", delay) << delay;
        }
    }
    void aWriterKilledAtAnyMoment()
    {
        QFETCH(int, delay);
        reset();
        const bool copyFirst = delay % 2 == 1;
        QProcess writer;
        QProcess copier;
        start(writer, {"restaurar", m_exhibition, m_states[1]});
        QThread::msleep(delay);
        if (copyFirst)
            start(copier, {"copia", m_exhibition});
        writer.kill(); // SIGKILL
        writer.waitForFinished();
        if (QFileInfo(m_exhibition + "-journal").size() > 0)
            ++m_killedWriting;
        if (!copyFirst)
            start(copier, {"copia", m_exhibition});
        QVERIFY(copier.waitForFinished(60000));
        QCOMPARE(copier.exitCode(), 0);
        checkEveryFile();
    }

    // A writer that has already put part of its pages into the file (its page cache is tiny, so
    // it spills them before its commit) holds the lock while palomas-cli copia waits for it, and
    // is then killed: the file is half written, with the journal beside it. The copy must hold
    // the state before the write, never the half-written file. The writer is SQLite itself, from
    // Debian's Python, since no command of the program leaves a transaction open.
    void aWriterKilledWithHalfItsPagesWritten()
    {
        reset();
        const QString before = failing_disk::dump(m_exhibition);
        QProcess writer;
        writer.start("/usr/bin/python3", {"-c",
                                          "import sqlite3, sys, time\n"
                                          "db = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
                                          "db.execute('PRAGMA cache_size = 4')\n"
                                          "db.execute('BEGIN IMMEDIATE')\n"
                                          "db.execute(\"UPDATE Recepcion SET nombre = 'xxxxxxxx'\")\n"
                                          "db.execute(\"UPDATE Puntos SET puntost = 1\")\n"
                                          "print('written', flush=True)\n"
                                          "time.sleep(600)\n",
                                          m_exhibition});
        if (!writer.waitForStarted())
            QSKIP("python3 is not installed");
        QVERIFY(writer.waitForReadyRead(30000));
        QCOMPARE(writer.readAll().trimmed(), "written");
        QVERIFY(QFileInfo(m_exhibition + "-journal").size() > 0);
        QProcess copier;
        start(copier, {"copia", m_exhibition});
        QThread::msleep(500); // the copy waits for the writer's lock
        QCOMPARE(copier.state(), QProcess::Running);
        writer.kill();
        writer.waitForFinished();
        QVERIFY(copier.waitForFinished(60000));
        QCOMPARE(copier.exitCode(), 0);
        const std::vector<backups::Copy> copies = backups::copiesOf(m_exhibition);
        QCOMPARE(copies.size(), std::size_t(1));
        QCOMPARE(integrity(copies[0].path), "ok");
        QCOMPARE(failing_disk::dump(copies[0].path), before);
        QCOMPARE(failing_disk::dump(m_exhibition), before);
    }

    // The copy is killed at any moment while a restore rewrites the exhibition: the restore,
    // acknowledged, is kept whole, and a copy left half made is never listed.
    void aCopyKilledAtAnyMoment_data() { aWriterKilledAtAnyMoment_data(); }
    void aCopyKilledAtAnyMoment()
    {
        QFETCH(int, delay);
        reset();
        QProcess writer;
        QProcess copier;
        start(copier, {"copia", m_exhibition});
        start(writer, {"restaurar", m_exhibition, m_states[1]});
        QThread::msleep(delay);
        copier.kill();
        copier.waitForFinished();
        QVERIFY(writer.waitForFinished(60000));
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(failing_disk::dump(m_exhibition), m_dumps[1]);
        checkEveryFile();
        QProcess again;
        start(again, {"copia", m_exhibition});
        QVERIFY(again.waitForFinished(60000));
        QCOMPARE(again.exitCode(), 0);
        checkEveryFile();
        // The killed copy's half-made file is gone with the next copy.
        QCOMPARE(QDir(backups::folderOf(m_exhibition)).entryList({"*.parcial"}), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBackupCrashes)
#include "test_backup_crashes.moc"
