// Every change to a show is on record in the file, with where it came from, whoever made it.

#include "rules/import/reception_import.h"
#include "rules/records/history.h"
#include "store/database.h"
#include "store/records.h"
#include "support/fixtures.h"

#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace
{

// The history without the time of each line.
QStringList untimed(const store::Database& db, const records::HistoryFilter& filter = {})
{
    QStringList lines;
    for (const records::Change& change : records::history(db, filter))
        lines << records::historyLine(change).mid(QStringLiteral("2026-12-07 10:31:02  ").size());
    return lines;
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_files = 0;

    store::Database newShow()
    {
        store::Database db = store::Database::create(m_dir.filePath(QStringLiteral("h%1.mdb").arg(++m_files)),
                                                     store::schema::exhibition());
        fixtures::addBird(db, 7, QStringLiteral("A"), QStringLiteral("M"), {{QStringLiteral("anilla"), "1234567"}});
        db.execute(QStringLiteral("DELETE FROM Historial"));
        return db;
    }

private slots:
    void everyChangeWithItsOrigin_data()
    {
        QTest::addColumn<std::function<void(store::Database&)>>("change");
        QTest::addColumn<QStringList>("expected");
        using Change = std::function<void(store::Database&)>;
        const auto row = [](const char* name, Change change, QStringList expected) {
            QTest::newRow(name) << change << expected;
        };
        row("a bird typed, outside a transaction",
            [](store::Database& db) {
                const store::OriginScope origin(db, records::origins::reception());
                fixtures::addBird(db, 8, QStringLiteral("B"), QStringLiteral("H"), {{QStringLiteral("club"), "0101"}});
            },
            {"Recepción  jaula 8  paloma: (nada) -> H B club 0101"});
        row("a score in a transaction",
            [](store::Database& db) {
                store::Transaction entering(db);
                const store::OriginScope origin(db, records::origins::judging());
                fixtures::addScore(db, QStringLiteral("7"), 2, 85.5);
                entering.commit();
            },
            {"Puntuación  jaula 7 juez 2  puntos: (nada) -> 8 8 17 27 25,5"});
        row("the origin changed after the transaction wrote",
            [](store::Database& db) {
                store::Transaction pass(db);
                const store::OriginScope phone(db, records::origins::phone(3));
                db.execute(QStringLiteral("UPDATE Recepcion SET sexo = 'H'"));
                {
                    const store::OriginScope file(db, records::origins::import(QStringLiteral("censo.xlsx")));
                    db.execute(QStringLiteral("UPDATE Recepcion SET color = 'Azul'"));
                }
                db.execute(QStringLiteral("DELETE FROM Recepcion"));
                pass.commit();
            },
            {"Teléfono juez 3  jaula 7  sexo: M -> H", "Importación censo.xlsx  jaula 7  color: (nada) -> Azul",
             "Teléfono juez 3  jaula 7  paloma: 1234567 H A -> (nada)"});
        row("a status, and back",
            [](store::Database& db) {
                const store::OriginScope origin(db, records::origins::commandLine());
                db.execute(QStringLiteral("INSERT INTO Estado VALUES (7, '1234567', 'Descalificada', 'pluma')"));
                db.execute(QStringLiteral("DELETE FROM Estado"));
            },
            {"Línea de órdenes  jaula 7  estado: Presente -> Descalificada: pluma",
             "Línea de órdenes  jaula 7  estado: Descalificada: pluma -> Presente"});
        row("the configuration",
            [](store::Database& db) {
                const store::OriginScope origin(db, records::origins::configuration());
                fixtures::setConfig(db, 3, true);
            },
            {"Configuración  Nombre: (nada) -> Sin Nombre", "Configuración  Jueces: (nada) -> 3",
             "Configuración  Region: (nada) ->  ", "Configuración  media: (nada) -> 1",
             "Configuración  quitar: (nada) -> 0"});
        row("another program, after one of ours",
            [](store::Database& db) {
                {
                    const store::OriginScope origin(db, records::origins::reception());
                    db.execute(QStringLiteral("UPDATE Recepcion SET km = 120"));
                }
                store::Database::open(db.path(), store::schema::exhibition())
                    .execute(QStringLiteral("UPDATE Recepcion SET km = 95"));
            },
            {"Recepción  jaula 7  km: (nada) -> 120", "Otro programa  jaula 7  km: 120 -> 95"});
        row("a rolled back change leaves no line",
            [](store::Database& db) {
                store::Transaction pass(db);
                const store::OriginScope origin(db, records::origins::reception());
                db.execute(QStringLiteral("UPDATE Recepcion SET km = 120"));
            },
            {});
    }
    void everyChangeWithItsOrigin()
    {
        QFETCH(std::function<void(store::Database&)>, change);
        QFETCH(QStringList, expected);
        store::Database db = newShow();
        change(db);
        QCOMPARE(untimed(db), expected);
        store::Statement origin = db.query(QStringLiteral("SELECT origen FROM Origen"));
        QVERIFY(origin.step());
        QCOMPARE(origin.text(0), store::records::otherProgram());
    }

    void aTransactionWritingNothingLeavesTheFileAlone()
    {
        store::Database db = newShow();
        const QByteArray before = fixtures::fingerprint(db.path());
        store::Transaction nothing(db);
        const store::OriginScope origin(db, records::origins::reception());
        QVERIFY(!db.query(QStringLiteral("SELECT jaula FROM Recepcion WHERE jaula = 99")).step());
        nothing.commit();
        QCOMPARE(fixtures::fingerprint(db.path()), before);
    }

    // An import records each row it stored, in one line of the history for speed; one that stores
    // nothing leaves the file as it was; afterwards every row is recorded again one by one.
    void aPassRecordsItsRows()
    {
        store::Database db = newShow();
        std::vector<imports::ReceptionRow> rows;
        for (const int cage : {7, 8, 9}) {
            imports::ReceptionRow row{.sheetRow = cage, .jaula = QString::number(cage), .grupo = "A", .sexo = "H"};
            row.anilla = cage == 7 ? "1234567" : "R" + row.jaula;
            row.puntos = "0,00";
            row.status = imports::assessReception(row);
            rows.push_back(row);
        }
        const store::OriginScope origin(db, records::origins::import(QStringLiteral("censo.xlsx")));
        const QByteArray before = fixtures::fingerprint(db.path());
        QCOMPARE(imports::storeReception(db, {rows[0]}).alreadyStored, 1);
        QCOMPARE(fixtures::fingerprint(db.path()), before);
        QCOMPARE(imports::storeReception(db, rows).stored, 2);
        fixtures::addBird(db, 10, QStringLiteral("C"), QStringLiteral("M"));
        QCOMPARE(untimed(db), QStringList({"Importación censo.xlsx  jaula 8  paloma: (nada) -> R8 H A",
                                           "Importación censo.xlsx  jaula 9  paloma: (nada) -> R9 H A",
                                           "Importación censo.xlsx  jaula 10  paloma: (nada) -> M C"}));
        QCOMPARE(untimed(db, {9, std::nullopt}), QStringList{"Importación censo.xlsx  jaula 9  paloma: (nada) -> R9 H A"});
    }

    void aLargeShowFilteredByCageAndJudge()
    {
        store::Database db = newShow();
        {
            store::Transaction pass(db);
            const store::OriginScope origin(db, records::origins::import(QStringLiteral("jueces.xlsx")));
            db.execute(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 999) "
                "INSERT INTO Puntos (jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5) "
                "SELECT CAST(i AS TEXT), 1 + i % 3, 9, 9, 18, 27, 20 + i / 100.0 FROM n"));
            pass.commit();
        }
        QCOMPARE(records::history(db).size(), std::size_t(999));
        QCOMPARE(untimed(db, {500, std::nullopt}),
                 QStringList{"Importación jueces.xlsx  jaula 500 juez 3  puntos: (nada) -> 9 9 18 27 25"});
        QCOMPARE(untimed(db, {std::nullopt, 2}).size(), 333);
        QCOMPARE(untimed(db, {500, 1}), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
