// The query texts of the windows, exactly as they write them, against real files.

#include "store/error.h"
#include "support/fixtures.h"

#include <QTest>

using fixtures::column;

class TestStoreQueries : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    store::Database m_db;
    store::Database m_clubs;

private slots:
    void initTestCase()
    {
        m_db = store::Database::create(m_dir.filePath("expo.mdb"), store::schema::exhibition());
        m_clubs = store::Database::create(m_dir.filePath("Club.mdb"), store::schema::clubs());
        // Store order differs from every ordering asked for below.
        for (const auto& [cage, sexo, puntos, nombre] : {std::tuple{10, "M", 85.0, "Zamora"},
                                                         {2, "m", 90.0, "Ávila"},
                                                         {1, "H", 80.0, "alava"},
                                                         {7, "M", 85.0, "Almería"},
                                                         {12, "M", 70.0, "O'Brien"}})
            fixtures::addBird(m_db, cage, cage == 12 ? "B" : "A", sexo,
                              {{"puntos", puntos}, {"nombre", nombre}});
        for (const auto& [cage, categ, conc, coef] :
             {std::tuple{20, "A", 12, 1.5}, {21, "A", 12, 2.0}, {22, "a", 13, 9.0}})
            fixtures::addBird(m_db, cage, "D", "M", {{"categ", categ}, {"conc", conc}, {"coef", coef}});
        fixtures::addScore(m_db, "12", 2, 90);
        fixtures::addScore(m_db, "12", 1, 88);
        fixtures::addScore(m_db, "012", 3, 91);
        fixtures::addClub(m_clubs, "10", "San Pedro", "Madrid");
        fixtures::addClub(m_clubs, "2", "santa Ana", "Toledo");
        fixtures::addClub(m_clubs, "7 ", "Paloma Blanca", "Cuenca");
        fixtures::addClub(m_clubs, "15", "Sanlúcar", "Cádiz");
    }

    void ordersAndConditions_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QString& query, const char* field, const char* expected) {
            QTest::newRow(name) << query << field << expected;
        };
        row("cages in numeric order, names in small letters, trailing blank",
            "select * from recepcion order by val(Jaula) ", "jaula", "1,2,7,10,12,20,21,22");
        row("no blank before and, two before =, stored m found by M, ties in store order",
            "Select * from recepcion where grupo  = 'A'and sexo = 'M' order by puntos desc", "jaula",
            "2,10,7");
        row("no blank before order, cstr of a text field",
            "select * from puntos where cstr(jaula) = '12'order by puntost", "puntost", "88,90");
        row("two terms, a double blank before the comma",
            "select * from puntos where jaula = '12' order by juez  ,puntost desc", "juez", "1,2");
        row("cstr of a number never matches leading zeros",
            "select * from recepcion where cstr(jaula) = '012'", "jaula", "");
        row("group D, contests desc, coefficient asc, category matched without case",
            "select * from Recepcion where grupo = 'D' and categ = 'A'  order by conc desc,coef ", "jaula",
            "22,20,21");
        row("accented letters beside their base letter",
            "select * from recepcion where grupo = 'A' order by nombre", "nombre",
            "alava,Almería,Ávila,Zamora");
        row("a quoted text", "select * from recepcion where nombre = " + store::quote("O'Brien"), "jaula",
            "12");
        row("quoted user text cannot change the query",
            "select * from club where nombre like " + store::quote("x' or 'a' = 'a*"), "codigo", "");
        row("codes in numeric order", "select * from club order by val(codigo)", "codigo", "2,7 ,10,15");
        row("trim finds a code stored with a blank", "select * from club where trim(codigo) = '7'", "nombre",
            "Paloma Blanca");
        row("a code stored with a blank is not its code", "select * from club where codigo = '7'", "nombre",
            "");
        row("like with * ignores case and accents",
            "select * from club where nombre like 'SAN*' order by nombre", "nombre",
            "San Pedro,Sanlúcar,santa Ana");
        row("like without wildcard is a whole match", "select * from club where nombre like 'san'", "nombre",
            "");
    }
    void ordersAndConditions()
    {
        QFETCH(QString, query);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QCOMPARE(column(query.contains(" club ") ? m_clubs : m_db, query, field), expected);
    }

    // Through openRecordset, what the translator cannot run; through a database held as const,
    // what would write, refused before it runs.
    void refusedQueries_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("why"); // after "La consulta «...» "
        const QString cannot = "no se puede ejecutar: %1.";
        const QString writes = "cambiaría la base de datos, y solo se puede leer.";
        QTest::newRow("unknown field") << "select * from recepcion where jaul = '1'"
                                       << cannot.arg("el campo «jaul» no existe en la tabla «Recepcion»");
        QTest::newRow("unknown table")
            << "select * from recepciones" << cannot.arg("la tabla «recepciones» no existe");
        QTest::newRow("unclosed text") << "select * from recepcion where nombre = 'abc"
                                       << cannot.arg("falta cerrar un texto entre comillas");
        QTest::newRow("not a select")
            << "delete from recepcion" << cannot.arg("solo se admite «select * from» una tabla");
        QTest::newRow("unknown function") << "select * from recepcion where format(jaula) = '1'"
                                          << cannot.arg("la función «format» no está disponible");
        QTest::newRow("a count reads") << "SELECT count(*) FROM Recepcion"
                                       << "";
        QTest::newRow("delete") << "DELETE FROM Recepcion" << writes;
        QTest::newRow("insert") << "INSERT INTO Puntos (jaula, juez) VALUES ('1', 9)" << writes;
    }
    void refusedQueries()
    {
        QFETCH(QString, query);
        QFETCH(QString, why);
        QString message;
        try {
            const store::Database& db = m_db;
            if (query.front().isLower())
                db.openRecordset(query);
            else
                db.query(query).step();
        } catch (const store::Error& e) {
            message = e.message();
        }
        QCOMPARE(message, why.isEmpty() ? QString() : "La consulta «" + query + "» " + why);
        QCOMPARE(m_db.openRecordset("select * from recepcion").recordCount(), 8);
        QCOMPARE(column(m_db, "select * from puntos", "juez"), "2,1,3");
    }

    // A statement run again is prepared once and kept: each use starts from its first row with
    // nothing bound, two uses at once keep their own places, one dropped half read holds no lock
    // that keeps another program from writing, and more statements than are kept still run.
    void statementsKeptForTheirNextUse()
    {
        const QString sql = "SELECT jaula FROM Recepcion WHERE grupo = ? ORDER BY jaula";
        const auto read = [](store::Statement statement) {
            QStringList found;
            while (statement.step())
                found << statement.text(0);
            return found.join(u',');
        };
        store::Statement first = m_db.prepare(sql);
        QVERIFY(first.bind(1, QStringLiteral("A")).step()); // left on its first row
        QCOMPARE(read(std::move(m_db.prepare(sql).bind(1, QStringLiteral("D")))), "20,21,22");
        QCOMPARE(read(std::move(first)), "2,7,10");
        QCOMPARE(read(m_db.prepare(sql)), QString());                   // grupo = NULL
        QVERIFY(m_db.prepare(sql).bind(1, QStringLiteral("A")).step()); // dropped half read
        store::Database::open(m_db.path(), store::schema::exhibition())
            .execute("UPDATE Recepcion SET puntos = 1");
        for (int cage = 1; cage <= 200; ++cage) {
            store::Statement one =
                m_db.prepare(QString("SELECT count(*) FROM Recepcion WHERE jaula = %1").arg(cage % 100));
            QVERIFY(one.step());
            QCOMPARE(one.int64(0), qint64(QList<int>{1, 2, 7, 10, 12, 20, 21, 22}.contains(cage % 100)));
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreQueries)
#include "test_store_queries.moc"
