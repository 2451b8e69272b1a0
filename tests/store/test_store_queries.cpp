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

    QString cages(const QString& where) const
    {
        return column(m_db, "select * from recepcion " + where + " order by jaula", "jaula");
    }

private slots:
    void initTestCase()
    {
        m_db = store::Database::create(m_dir.filePath("expo.mdb"), store::schema::exhibition());
        m_clubs = store::Database::create(m_dir.filePath("Club.mdb"), store::schema::clubs());
        // Store order differs from every ordering asked for below.
        addBird(m_db, 10, "A", "M", {{"puntos", 85.0}, {"nombre", "Zamora"}});
        addBird(m_db, 2, "A", "m", {{"puntos", 90.0}, {"nombre", "Ávila"}});
        addBird(m_db, 1, "A", "H", {{"puntos", 80.0}, {"nombre", "alava"}});
        addBird(m_db, 7, "A", "M", {{"puntos", 85.0}, {"nombre", "Almería"}});
        addBird(m_db, 12, "B", "M", {{"puntos", 70.0}, {"nombre", "O'Brien"}});
        addBird(m_db, 20, "D", "M", {{"categ", "A"}, {"conc", 12}, {"coef", 1.5}});
        addBird(m_db, 21, "D", "M", {{"categ", "A"}, {"conc", 12}, {"coef", 2.0}});
        addBird(m_db, 22, "D", "M", {{"categ", "a"}, {"conc", 13}, {"coef", 9.0}});
        fixtures::addScore(m_db, "12", 2, 90);
        fixtures::addScore(m_db, "12", 1, 88);
        fixtures::addScore(m_db, "012", 3, 91);
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
        const auto row = [](const char* name, bool clubs, const QString& query, const char* field,
                            const char* expected) {
            QTest::newRow(name) << clubs << query << field << expected;
        };
        row("cages in numeric order, names in small letters, trailing blank", false,
            "select * from recepcion order by val(Jaula) ", "jaula", "1,2,7,10,12,20,21,22");
        row("no blank before and, two before =, stored m found by M, ties in store order", false,
            "Select * from recepcion where grupo  = 'A'and sexo = 'M' order by puntos desc", "jaula",
            "2,10,7");
        row("no blank before order", false, "select * from puntos where jaula = '12'order by juez", "juez",
            "1,2");
        row("cstr of a text field, then order by total", false,
            "select * from puntos where cstr(jaula) = '12'order by puntost", "puntost", "88,90");
        row("two terms with a double blank before comma", false,
            "select * from puntos where jaula = '12' order by juez  ,puntost desc", "juez", "1,2");
        row("cstr of a number never matches leading zeros", false,
            "select * from recepcion where cstr(jaula) = '012'", "jaula", "");
        row("cstr of a number", false, "select * from recepcion where cstr(jaula) = '12'", "jaula", "12");
        row("group D, contests desc, coefficient asc, category matched without case", false,
            "select * from Recepcion where grupo = 'D' and categ = 'A'  order by conc desc,coef ", "jaula",
            "22,20,21");
        row("group D, coefficient desc", false,
            "select * from recepcion where grupo = 'D' and categ = 'A' order by conc desc,coef desc", "jaula",
            "22,21,20");
        row("accented letters beside their base letter", false,
            "select * from recepcion where grupo = 'A' order by nombre", "nombre",
            "alava,Almería,Ávila,Zamora");
        row("a quote inside a text", false,
            "select * from recepcion where nombre = " + store::quote("O'Brien"), "jaula", "12");
        row("quoted user text cannot change the query", true,
            "select * from club where nombre like " + store::quote("x' or 'a' = 'a*"), "codigo", "");
        row("codes in text order", true, "select * from club order by codigo", "codigo", "10,15,2,7 ");
        row("codes in numeric order", true, "select * from club order by val(codigo)", "codigo",
            "2,7 ,10,15");
        row("trim finds a code stored with a blank", true, "select * from club where trim(codigo) = '7'",
            "nombre", "Paloma Blanca");
        row("a code stored with a blank is not its code", true, "select * from club where codigo = '7'",
            "nombre", "");
        row("like with * ignores case and accents", true,
            "select * from club where nombre like 'SAN*' order by nombre", "nombre",
            "San Pedro,Sanlúcar,santa Ana");
        row("like without wildcard is a whole match", true, "select * from club where nombre like 'san'",
            "nombre", "");
        row("no condition keeps store order", true, "select * from club ", "codigo", "10,2,7 ,15");
    }
    void ordersAndConditions()
    {
        QFETCH(bool, clubs);
        QFETCH(QString, query);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QCOMPARE(column(clubs ? m_clubs : m_db, query, field), expected);
    }

    // Through openRecordset, what the translator cannot run; through a database held as const,
    // what would write, refused before it runs.
    void refusedQueries_data()
    {
        QTest::addColumn<bool>("reading");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("why"); // after "La consulta «...» "
        const QString cannot = "no se puede ejecutar: %1.";
        const QString writes = "cambiaría la base de datos, y solo se puede leer.";
        QTest::newRow("unknown field") << false << "select * from recepcion where jaul = '1'"
                                       << cannot.arg("el campo «jaul» no existe en la tabla «Recepcion»");
        QTest::newRow("unknown table")
            << false << "select * from recepciones" << cannot.arg("la tabla «recepciones» no existe");
        QTest::newRow("unclosed text") << false << "select * from recepcion where nombre = 'abc"
                                       << cannot.arg("falta cerrar un texto entre comillas");
        QTest::newRow("not a select")
            << false << "delete from recepcion" << cannot.arg("solo se admite «select * from» una tabla");
        QTest::newRow("unknown function") << false << "select * from recepcion where format(jaula) = '1'"
                                          << cannot.arg("la función «format» no está disponible");
        QTest::newRow("a count reads") << true << "SELECT count(*) FROM Recepcion"
                                       << "";
        QTest::newRow("delete") << true << "DELETE FROM Recepcion" << writes;
        QTest::newRow("insert") << true << "INSERT INTO Puntos (jaula, juez) VALUES ('1', 9)" << writes;
        QTest::newRow("drop") << true << "DROP TABLE Puntos" << writes;
    }
    void refusedQueries()
    {
        QFETCH(bool, reading);
        QFETCH(QString, query);
        QFETCH(QString, why);
        const QString before = cages({});
        QString message;
        try {
            const store::Database& db = m_db;
            if (reading)
                db.query(query).step();
            else
                db.openRecordset(query);
        } catch (const store::Error& e) {
            message = e.message();
        }
        QCOMPARE(message, why.isEmpty() ? QString() : "La consulta «" + query + "» " + why);
        QCOMPARE(cages({}), before);
        QCOMPARE(column(m_db, "select * from puntos where juez = 9", "jaula"), QString());
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
        {
            store::Statement first = m_db.prepare(sql);
            first.bind(1, QStringLiteral("A"));
            QVERIFY(first.step()); // left on its first row, then dropped half read
            QCOMPARE(read(std::move(m_db.prepare(sql).bind(1, QStringLiteral("D")))), "20,21,22");
            QCOMPARE(read(std::move(first)), "2,7,10");
        }
        QCOMPARE(read(m_db.prepare(sql)), QString()); // grupo = NULL
        store::Database other =
            store::Database::open(m_dir.filePath("expo.mdb"), store::schema::exhibition());
        other.execute("UPDATE Recepcion SET puntos = puntos WHERE jaula = 1");
        const std::vector<int> stored{1, 2, 7, 10, 12, 20, 21, 22};
        for (int round = 0; round < 2; ++round)
            for (int cage = 1; cage <= 100; ++cage) {
                store::Statement one =
                    m_db.prepare(QString("SELECT count(*) FROM Recepcion WHERE jaula <= %1").arg(cage));
                QVERIFY(one.step());
                QCOMPARE(one.int64(0),
                         std::count_if(stored.begin(), stored.end(), [&](int c) { return c <= cage; }));
            }
    }
};

QTEST_GUILESS_MAIN(TestStoreQueries)
#include "test_store_queries.moc"
