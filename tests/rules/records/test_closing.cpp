// The seal (what it covers, the same in any file, its form) and a closed show's refusals.

#include "rules/backups/copies.h"
#include "rules/backups/keeper.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/judging/judged_cage.h"
#include "rules/reception/bird_entry.h"
#include "rules/records/closing.h"
#include "rules/records/seal.h"
#include "store/records.h"
#include "support/fixtures.h"

#include <QDir>
#include <QRegularExpression>

using Change = std::function<void(store::Database&)>;

class TestClosing : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_file = 0;

    // Cage 5 scored by three judges, cage 7 absent, added in either order; a folder each (copies).
    QString show(bool reversed = false)
    {
        const QString path = m_dir.filePath(QStringLiteral("%1/expo.mdb").arg(++m_file));
        QDir(m_dir.path()).mkdir(QString::number(m_file));
        store::Database db = store::Database::create(path, store::schema::exhibition());
        fixtures::setConfig(db, 3, true);
        for (int cage : reversed ? QList{7, 5} : QList{5, 7})
            fixtures::addBird(db, cage, cage == 5 ? "A" : "D", "M",
                              {{"anilla", cage * 1111111}, {"puntos", 88.5}});
        for (int j : reversed ? QList{3, 2, 1} : QList{1, 2, 3})
            fixtures::addScore(db, "5", j, 88.0 + 0.25 * j);
        db.prepare("INSERT INTO Estado (jaula, anilla, estado) VALUES (7, '7777777', 'Ausente')").run();
        return path;
    }

private slots:
    // Every field the seal covers changes it; the owner and the judge's total do not.
    void sealCovers_data()
    {
        QTest::addColumn<QString>("change");
        const QString changes = // "-": a change that leaves the seal
            "Recepcion SET jaula = 6 WHERE jaula = 5|Recepcion SET anilla = '1'|Recepcion SET grupo = 'B'|"
            "Recepcion SET categ = 'A' WHERE jaula = 7|Recepcion SET sexo = 'H'|Recepcion SET termina = 'S'|"
            "Recepcion SET puntos = 88.5000001 WHERE jaula = 5|Estado SET estado = 'X'|Estado SET motivo = 'x'|"
            "Puntos SET jaula = '6' WHERE juez = 1|Puntos SET juez = 4 WHERE juez = 1|Puntos SET puntos1 = 8.5|"
            "Puntos SET puntos2 = 8.5|Puntos SET puntos3 = 18|Puntos SET puntos4 = 28|Puntos SET puntos5 = 28|"
            "Config SET media = 0, quitar = 1|Config SET Jueces = 2|-Recepcion SET nombre = 'Otro'|"
            "-Puntos SET puntost = 1";
        for (const QString& change : changes.split('|'))
            QTest::newRow(qPrintable(change)) << change;
    }
    void sealCovers()
    {
        QFETCH(QString, change);
        store::Database db = store::Database::open(show(), store::schema::exhibition());
        const QString before = records::seal(db);
        db.prepare("UPDATE " + QString(change).remove(0, change.startsWith('-'))).run();
        QCOMPARE(records::seal(db) == before, change.startsWith('-'));
    }

    void sealIsCanonical()
    {
        const auto sealOf = [](const QString& path) {
            return records::seal(
                store::Database::open(path, store::schema::exhibition(), store::Database::Access::ReadOnly));
        };
        const QString seal = sealOf(show());
        QCOMPARE(sealOf(show(true)), seal);
        QVERIFY2(QRegularExpression("^([A-HJ-NP-Z2-9]{4}-){2}[A-HJ-NP-Z2-9]{4}$").match(seal).hasMatch(),
                 qPrintable(seal));
    }

    // The paths that check before they write (the file's triggers refuse the rest): refused with
    // the file's words, its bytes as they were, no backup copy taken.
    void closedRefusesChanges_data()
    {
        QTest::addColumn<Change>("change");
        static backups::Keeper keeper;
        QTest::newRow("every cage deleted")
            << Change([](auto& db) { reception::deleteAllCages(db, keeper); });
        QTest::newRow("phone") << Change([](auto& db) { judging::enterScore(db, 7, 1, {8, 8, 17, 27, 27}); });
        QTest::newRow("reception import") << Change([](auto& db) { imports::storeReception(db, {}); });
        QTest::newRow("score import") << Change([](auto& db) { imports::storeScores(db, {}, "1"); });
        QTest::newRow("copy restored") << Change([](auto& db) { backups::restore(db, db.path() + "x"); });
        QTest::newRow("closed again") << Change([](auto& db) { records::closeShow(db); });
    }
    void closedRefusesChanges()
    {
        QFETCH(Change, change);
        const QString path = show();
        store::Database db = store::Database::open(path, store::schema::exhibition());
        records::closeShow(db);
        const QByteArray bytes = fixtures::fingerprint(path);
        QString refusal;
        try {
            change(db);
        } catch (const base::Error& e) {
            refusal = e.message();
        }
        QCOMPARE(refusal, store::records::closedMessage());
        QCOMPARE(fixtures::fingerprint(path), bytes);
        QVERIFY(QDir(backups::folderOf(path)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestClosing)
#include "test_closing.moc"
