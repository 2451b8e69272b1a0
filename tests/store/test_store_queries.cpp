// The query texts of the windows, exactly as they write them, against real files.

#include "store/error.h"
#include "support/fixtures.h"

#include <QTest>

using fixtures::addBird;
using fixtures::addClub;
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
        QVERIFY(m_dir.isValid());
        m_db = store::Database::create(m_dir.filePath("expo.mdb"), store::schema::exhibition());
        m_clubs = store::Database::create(m_dir.filePath("Club.mdb"), store::schema::clubs());
        // Store order differs from every ordering asked for below.
        addBird(m_db, 10, "A", "M", {{"puntos", 85.0}, {"anilla", "100"}, {"nombre", "Zamora"}});
        addBird(m_db, 2, "A", "m", {{"puntos", 90.0}, {"anilla", "200"}, {"nombre", "Ávila"}});
        addBird(m_db, 1, "A", "H", {{"puntos", 80.0}, {"anilla", "300"}, {"nombre", "alava"}});
        addBird(m_db, 7, "A", "M", {{"puntos", 85.0}, {"anilla", "400"}, {"nombre", "Almería"}});
        addBird(m_db, 12, "B", "M", {{"puntos", 70.0}, {"anilla", "500"}, {"nombre", "O'Brien"}});
        addBird(m_db, 20, "D", "M", {{"categ", "A"}, {"conc", 12}, {"coef", 1.5}, {"anilla", "600"}});
        addBird(m_db, 21, "D", "M", {{"categ", "A"}, {"conc", 12}, {"coef", 2.0}, {"anilla", "700"}});
        addBird(m_db, 22, "D", "M", {{"categ", "a"}, {"conc", 13}, {"coef", 9.0}, {"anilla", "800"}});
        fixtures::addScore(m_db, "12", 2, 90);
        fixtures::addScore(m_db, "12", 1, 88);
        fixtures::addScore(m_db, "012", 3, 91);
        fixtures::addScore(m_db, "7", 1, 89);
        addClub(m_clubs, "10", "San Pedro", "Madrid");
        addClub(m_clubs, "2", "santa Ana", "Toledo");
        addClub(m_clubs, "7 ", "Paloma Blanca", "Cuenca");
        addClub(m_clubs, "15", "Sanlúcar", "Cádiz");
    }

    void ordersAndConditions_data()
    {
        QTest::addColumn<bool>("clubs");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");

        QTest::newRow("cages in numeric order") << false << "select * from Recepcion order by val(Jaula)"
                                                << "jaula"
                                                << "1,2,7,10,12,20,21,22";
        QTest::newRow("lower-case names and trailing blank")
            << false << "select * from recepcion order by val(Jaula) "
            << "jaula"
            << "1,2,7,10,12,20,21,22";
        QTest::newRow("no blank before and, two before =, stored m found by M, ties in store order")
            << false << "Select * from recepcion where grupo  = 'A'and sexo = 'M' order by puntos desc"
            << "jaula"
            << "2,10,7";
        QTest::newRow("no blank before order")
            << false << "select * from puntos where jaula = '12'order by juez"
            << "juez"
            << "1,2";
        QTest::newRow("cstr of a text field, then order by total")
            << false << "select * from puntos where cstr(jaula) = '12'order by puntost"
            << "puntost"
            << "88,90";
        QTest::newRow("two terms with a double blank before comma")
            << false << "select * from puntos where jaula = '12' order by juez  ,puntost desc"
            << "juez"
            << "1,2";
        QTest::newRow("cstr of a number never matches leading zeros")
            << false << "select * from recepcion where cstr(jaula) = '012'"
            << "jaula"
            << "";
        QTest::newRow("cstr of a number") << false << "select * from recepcion where cstr(jaula) = '12'"
                                          << "jaula"
                                          << "12";
        QTest::newRow("group D, contests desc, coefficient asc, category matched without case")
            << false << "select * from Recepcion where grupo = 'D' and categ = 'A'  order by conc desc,coef "
            << "jaula"
            << "22,20,21";
        QTest::newRow("group D, coefficient desc")
            << false
            << "select * from recepcion where grupo = 'D' and categ = 'A' order by conc desc,coef desc"
            << "jaula"
            << "22,21,20";
        QTest::newRow("accented letters beside their base letter")
            << false << "select * from recepcion where grupo = 'A' order by nombre"
            << "nombre"
            << "alava,Almería,Ávila,Zamora";
        QTest::newRow("a quote inside a text") << false << "select * from recepcion where nombre = 'O''Brien'"
                                               << "jaula"
                                               << "12";
        QTest::newRow("codes in text order") << true << "select * from club order by codigo"
                                             << "codigo"
                                             << "10,15,2,7 ";
        QTest::newRow("codes in numeric order") << true << "select * from club order by val(codigo)"
                                                << "codigo"
                                                << "2,7 ,10,15";
        QTest::newRow("trim finds a code stored with a blank")
            << true << "select * from club where trim(codigo) = '7'"
            << "nombre"
            << "Paloma Blanca";
        QTest::newRow("a code stored with a blank is not its code")
            << true << "select * from club where codigo = '7'"
            << "nombre"
            << "";
        QTest::newRow("like with * ignores case and accents")
            << true << "select * from club where nombre like 'SAN*' order by nombre"
            << "nombre"
            << "San Pedro,Sanlúcar,santa Ana";
        QTest::newRow("like without wildcard is a whole match")
            << true << "select * from club where nombre like 'san'"
            << "nombre"
            << "";
        QTest::newRow("no condition keeps store order") << true << "select * from club "
                                                        << "codigo"
                                                        << "10,2,7 ,15";
    }
    void ordersAndConditions()
    {
        QFETCH(bool, clubs);
        QFETCH(QString, query);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QCOMPARE(column(clubs ? m_clubs : m_db, query, field), expected);
    }

    void refusedQueries_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("why"); // after "La consulta «...» no se puede ejecutar: "
        QTest::newRow("unknown field") << "select * from recepcion where jaul = '1'"
                                       << "el campo «jaul» no existe en la tabla «Recepcion»";
        QTest::newRow("unknown table") << "select * from recepciones"
                                       << "la tabla «recepciones» no existe";
        QTest::newRow("unclosed text") << "select * from recepcion where nombre = 'abc"
                                       << "falta cerrar un texto entre comillas";
        QTest::newRow("not a select") << "delete from recepcion"
                                      << "solo se admite «select * from» una tabla";
        QTest::newRow("unknown function") << "select * from recepcion where format(jaula) = '1'"
                                          << "la función «format» no está disponible";
    }
    void refusedQueries()
    {
        QFETCH(QString, query);
        QFETCH(QString, why);
        try {
            m_db.openRecordset(query);
            QFAIL("the query was accepted");
        } catch (const store::Error& e) {
            QCOMPARE(e.message(), "La consulta «" + query + "» no se puede ejecutar: " + why + ".");
        }
    }

    void quotedUserTextCannotChangeTheQuery()
    {
        // A search text holding quotes and SQL is matched literally.
        const QString typed = "x' or 'a' = 'a";
        QCOMPARE(
            column(m_clubs, "select * from club where nombre like " + store::quote(typed + "*"), "codigo"),
            QString());
        QCOMPARE(column(m_db, "select * from recepcion where nombre = " + store::quote("O'Brien"), "jaula"),
                 "12");
    }

    // A read through a database held as const cannot change it: query() runs what reads and
    // refuses, before running it, a statement that would write.
    void queryOnlyReads_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("reads");
        QTest::newRow("count") << "SELECT count(*) FROM Recepcion" << true;
        QTest::newRow("delete") << "DELETE FROM Recepcion" << false;
        QTest::newRow("update") << "UPDATE Recepcion SET puntos = 0" << false;
        QTest::newRow("insert") << "INSERT INTO Puntos (jaula, juez) VALUES ('1', 9)" << false;
        QTest::newRow("drop") << "DROP TABLE Puntos" << false;
    }
    void queryOnlyReads()
    {
        QFETCH(QString, sql);
        QFETCH(bool, reads);
        const store::Database& db = m_db;
        const QString before = column(m_db, "select * from recepcion order by jaula", "jaula");
        try {
            store::Statement statement = db.query(sql);
            statement.step();
            QVERIFY2(reads, "a writing statement ran");
        } catch (const store::Error& e) {
            QVERIFY(!reads);
            QCOMPARE(e.message(),
                     "La consulta «" + sql + "» cambiaría la base de datos, y solo se puede leer.");
        }
        QCOMPARE(column(m_db, "select * from recepcion order by jaula", "jaula"), before);
        QCOMPARE(column(m_db, "select * from puntos where juez = 9", "jaula"), QString());
    }

    // A statement run again is prepared once and kept: each use starts from the first row with
    // nothing bound, two uses at once do not share their place, and one dropped half read holds
    // no lock that would keep another program from writing.
    void statementsKeptForTheirNextUse()
    {
        const QString sql = QStringLiteral("SELECT jaula FROM Recepcion WHERE grupo = ? ORDER BY jaula");
        const auto cages = [](store::Statement& statement) {
            QStringList found;
            while (statement.step())
                found << statement.text(0);
            return found.join(u',');
        };
        {
            store::Statement first = m_db.prepare(sql);
            first.bind(1, QStringLiteral("A"));
            QVERIFY(first.step()); // left on its first row
            store::Statement second = m_db.prepare(sql);
            second.bind(1, QStringLiteral("D"));
            QCOMPARE(cages(second), QStringLiteral("20,21,22"));
            QCOMPARE(cages(first), QStringLiteral("2,7,10"));
        }
        store::Statement unbound = m_db.prepare(sql);
        QCOMPARE(cages(unbound), QString()); // grupo = NULL
        {
            store::Statement halfRead = m_db.prepare(sql);
            halfRead.bind(1, QStringLiteral("A"));
            QVERIFY(halfRead.step());
        }
        store::Database other =
            store::Database::open(m_dir.filePath("expo.mdb"), store::schema::exhibition());
        other.execute(QStringLiteral("UPDATE Recepcion SET puntos = puntos + 1 WHERE jaula = 1"));
        other.execute(QStringLiteral("UPDATE Recepcion SET puntos = puntos - 1 WHERE jaula = 1"));
        // More statements than are kept: the oldest go, and each still runs.
        const std::vector<int> stored{1, 2, 7, 10, 12, 20, 21, 22};
        for (int round = 0; round < 2; ++round)
            for (int cage = 1; cage <= 100; ++cage) {
                store::Statement one = m_db.prepare(
                    QStringLiteral("SELECT count(*) FROM Recepcion WHERE jaula <= %1").arg(cage));
                QVERIFY(one.step());
                QCOMPARE(one.int64(0), qint64(std::count_if(stored.begin(), stored.end(),
                                                            [cage](int c) { return c <= cage; })));
            }
    }
};

QTEST_GUILESS_MAIN(TestStoreQueries)
#include "test_store_queries.moc"
