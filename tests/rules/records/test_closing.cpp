// Closing a show: its seal (what it covers, the same on any file with the same results, its form),
// the refusal of every change while it is closed, and reopening.

#include "rules/backups/copies.h"
#include "rules/backups/keeper.h"
#include "rules/config/config_settings.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/judging/final_score.h"
#include "rules/judging/judged_cage.h"
#include "rules/reception/bird_entry.h"
#include "rules/records/closing.h"
#include "rules/records/seal.h"
#include "store/error.h"
#include "store/records.h"
#include "support/scored_exhibition.h"

#include <QDir>
#include <QRegularExpression>
#include <functional>

class TestClosing : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_file = 0;

    static reception::BirdRecord bird(int jaula)
    {
        reception::BirdRecord bird;
        bird.jaula = jaula;
        bird.anilla = "1111111";
        return bird;
    }

    // Two birds (cage 5 scored by three judges, cage 7 absent), added in either order.
    QString show(bool reversed = false)
    {
        const QString folder = QStringLiteral("e%1").arg(++m_file); // each show its own copies
        QDir(m_dir.path()).mkdir(folder);
        const QString path = m_dir.filePath(folder + "/exposicion.mdb");
        store::Database db = store::Database::create(path, store::schema::exhibition());
        fixtures::setConfig(db, 3, true);
        const auto birds = {std::pair(5, "1234567"), std::pair(7, "7654321")};
        for (int i = 0; i < 2; ++i) {
            const auto& [cage, ring] = *(birds.begin() + (reversed ? 1 - i : i));
            fixtures::addBird(db, cage, cage == 5 ? "A" : "D", "M", {{"anilla", ring}, {"puntos", 88.5}});
        }
        for (int j = 1; j <= 3; ++j)
            fixtures::addScore(db, "5", reversed ? 4 - j : j, 88.0 + 0.25 * (reversed ? 4 - j : j));
        db.prepare("INSERT INTO Estado (jaula, anilla, estado) VALUES (7, '7654321', 'Ausente')").run();
        return path;
    }

private slots:
    // Every field the seal covers changes it; what it does not cover leaves it.
    void sealCovers_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("changes");
        const QString fields[] = {
            "UPDATE Recepcion SET jaula = 6 WHERE jaula = 5", "UPDATE Recepcion SET anilla = '1234568' WHERE jaula = 5",
            "UPDATE Recepcion SET grupo = 'B' WHERE jaula = 5", "UPDATE Recepcion SET categ = 'A' WHERE jaula = 7",
            "UPDATE Recepcion SET sexo = 'H' WHERE jaula = 5", "UPDATE Recepcion SET puntos = 88.5000001 WHERE jaula = 5",
            "UPDATE Recepcion SET termina = 'S' WHERE jaula = 5", "UPDATE Estado SET estado = 'Descalificada'",
            "UPDATE Estado SET motivo = 'Herida'", "DELETE FROM Estado",
            "UPDATE Puntos SET jaula = '6' WHERE juez = 1", "UPDATE Puntos SET juez = 4 WHERE juez = 1",
            "UPDATE Puntos SET puntos1 = 8.5 WHERE juez = 1", "UPDATE Puntos SET puntos2 = 8.5 WHERE juez = 1",
            "UPDATE Puntos SET puntos3 = 18 WHERE juez = 1", "UPDATE Puntos SET puntos4 = 28 WHERE juez = 1",
            "UPDATE Puntos SET puntos5 = 28 WHERE juez = 1", "UPDATE Config SET media = 0, quitar = 1",
            "UPDATE Config SET Jueces = 2", "DELETE FROM Puntos WHERE juez = 3"};
        for (const QString& change : fields)
            QTest::newRow(change.toUtf8()) << change << true;
        QTest::newRow("owner's name") << "UPDATE Recepcion SET nombre = 'Otro'" << false;
        QTest::newRow("judge's total") << "UPDATE Puntos SET puntost = 1" << false;
    }
    void sealCovers()
    {
        QFETCH(QString, change);
        store::Database db = store::Database::open(show(), store::schema::exhibition());
        const QString before = records::seal(db);
        db.prepare(change).run();
        QTEST(records::seal(db) != before, "changes");
    }

    // The same results added in another order, in another file, give the same seal, in its form.
    void sealIsCanonical()
    {
        const auto sealOf = [](const QString& path) {
            return records::seal(store::Database::open(path, store::schema::exhibition(),
                                                       store::Database::Access::ReadOnly));
        };
        const QString seal = sealOf(show());
        QCOMPARE(sealOf(show(true)), seal);
        QVERIFY2(QRegularExpression("^([A-HJ-NP-Z2-9]{4}-){2}[A-HJ-NP-Z2-9]{4}$").match(seal).hasMatch(),
                 qPrintable(seal));
        QVERIFY(records::sameSeal(seal, " " + seal.toLower().remove('-').insert(6, "  ")));
        QVERIFY(!records::sameSeal(seal, seal.left(13) + (seal.endsWith('A') ? "B" : "A")));
    }

    // Every path that changes a show refuses a closed one with the file's words and leaves its bytes.
    void closedRefusesChanges_data()
    {
        using Change = std::function<void(store::Database&, const QString& dir)>;
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("refusal"); // "": taken without writing
        const QString closed = store::records::closedMessage();
        backups::Keeper* keeper = new backups::Keeper;
        QTest::newRow("new bird") << Change([](store::Database& db, const QString&) {
            reception::storeBird(db, bird(9), reception::EntryMode::NewCage);
        }) << closed;
        QTest::newRow("bird changed") << Change([](store::Database& db, const QString&) {
            reception::storeBird(db, bird(5), reception::EntryMode::Modify);
        }) << closed;
        QTest::newRow("bird deleted") << Change([keeper](store::Database& db, const QString&) {
            reception::deleteBird(db, *keeper, {5, 0});
        }) << closed;
        QTest::newRow("every cage deleted") << Change([keeper](store::Database& db, const QString&) {
            reception::deleteAllCages(db, *keeper);
        }) << closed;
        QTest::newRow("final score") << Change([](store::Database& db, const QString&) {
            judging::storeCageResult(db, 5, {90, "S"});
        }) << closed;
        QTest::newRow("score entered") << Change([](store::Database& db, const QString&) {
            judging::enterScore(db, 7, 1, {8, 8, 17, 27, 27});
        }) << closed;
        QTest::newRow("configuration") << Change([](store::Database& db, const QString&) {
            store::Recordset rs = db.openRecordset("select * from config");
            config::store(rs, {"Otra", " ", "", "3", "", true, false});
        }) << closed;
        QTest::newRow("reception import") << Change([](store::Database& db, const QString&) {
            imports::storeReception(db, {});
        }) << closed;
        QTest::newRow("score import") << Change([](store::Database& db, const QString&) {
            imports::storeScores(db, {}, "1");
        }) << closed;
        QTest::newRow("copy restored") << Change([](store::Database& db, const QString& dir) {
            backups::restore(db, dir + "/otra.mdb");
        }) << closed;
        QTest::newRow("closed again") << Change([](store::Database& db, const QString&) {
            records::closeShow(db);
        }) << closed;
        QTest::newRow("final scores reloaded") << Change([](store::Database& db, const QString&) {
            QCOMPARE(judging::recomputeFinalScores(db), 0);
        }) << QString();
    }
    void closedRefusesChanges()
    {
        QFETCH(std::function<void(store::Database&, const QString&)>, change);
        const QString path = show();
        store::Database db = store::Database::open(path, store::schema::exhibition());
        records::closeShow(db);
        const QByteArray bytes = fixtures::fingerprint(path);
        QString refusal;
        try {
            change(db, m_dir.path());
        } catch (const base::Error& e) {
            refusal = e.message();
        }
        QTEST(refusal, "refusal");
        QCOMPARE(fixtures::fingerprint(path), bytes);
        QVERIFY(QDir(backups::folderOf(path)).isEmpty()); // no copy taken for a change refused

    }

    // Reopening needs a reason and a closed show; reopened, the show takes changes again.
    void reopen_data()
    {
        QTest::addColumn<bool>("closeFirst");
        QTest::addColumn<QString>("motivo");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("reason") << true << " Jaula 5 mal puntuada " << QString();
        QTest::newRow("no reason") << true << "" << records::reopenNeedsReason();
        QTest::newRow("blanks") << true << "  " << records::reopenNeedsReason();
        QTest::newRow("not closed") << false << "Jaula 5" << records::notClosedMessage();
    }
    void reopen()
    {
        QFETCH(bool, closeFirst);
        QFETCH(QString, refusal);
        QFETCH(QString, motivo);
        store::Database db = store::Database::open(show(), store::schema::exhibition());
        if (closeFirst)
            records::closeShow(db);
        QString refused;
        try {
            records::reopenShow(db, motivo);
        } catch (const base::Error& e) {
            refused = e.message();
        }
        QCOMPARE(refused, refusal);
        QCOMPARE(records::isClosed(db), closeFirst && !refusal.isEmpty());
        if (refusal.isEmpty()) {
            judging::storeCageResult(db, 5, {90, "S"});
            store::Statement reasons = db.query("SELECT group_concat(coalesce(motivo, '-')) FROM Cierre");
            QVERIFY(reasons.step());
            QCOMPARE(reasons.text(0), "-,Jaula 5 mal puntuada");
        }
    }

    // A large show whose stored scores are stale is sealed with its scores brought up to date;
    // read back from the file alone, the results give the seal it was closed with.
    void largeShowSealsCurrentScores()
    {
        const QString path = fixtures::createScoredExhibition(m_dir.filePath("grande.mdb"), 999);
        store::Database db = store::Database::open(path, store::schema::exhibition());
        const QString sello = records::closeShow(db);
        // Every seventh cage has two judges, which the rule of this show scores 0.
        store::Statement unscored = db.query("SELECT count(*) FROM Recepcion WHERE puntos = 0 AND jaula % 7 <> 0");
        QVERIFY(unscored.step());
        QCOMPARE(unscored.int64(0), 0);
        const store::Database read =
            store::Database::open(path, store::schema::exhibition(), store::Database::Access::ReadOnly);
        QCOMPARE(records::closedSeal(read), sello);
        QCOMPARE(records::seal(read), sello);
    }
};

QTEST_GUILESS_MAIN(TestClosing)
#include "test_closing.moc"
