// What the show-day printouts are made of: every bird in one class of the catalogue, the
// exhibitors one each and in the order of their names, the judged birds without group D, the
// clubs of the birds.

#include "output/printouts/show_printouts.h"
#include "rules/printouts/show_contents.h"
#include "support/fixtures.h"

#include <QTest>

using printouts::Show;

class TestShowContents : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;
    store::Database m_clubs;

    Show read() { return printouts::readShow(m_db, &m_clubs); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(m_dir->filePath("expo.mdb"), store::schema::exhibition());
        m_clubs = store::Database::create(m_dir->filePath("Club.mdb"), store::schema::clubs());
        fixtures::setConfig(m_db, 3, true);
    }

    // Every bird in one class, the classes in the catalogue's order, their birds by cage;
    // whatever is no group A to C nor a category A to E of group D goes last. Stored out of
    // order, so that neither the store's order nor the cages' give the classes'.
    void everyBirdFallsInOneClass()
    {
        const char* birds[][4] = {{"40", "D", "H", "E"}, {"3", "C", "H", " "}, {"12", "A", "M", " "},
                                  {"9", "Z", "M", " "},  {"5", "D", "M", "B"}, {"2", "a", "m", " "},
                                  {"30", "B", "H", " "}, {"1", "A", "H", " "}, {"6", "C", "M", " "},
                                  {"8", "B", "X", " "},  {"20", "D", "M", "a"}, {"7", "D", "M", "6"},
                                  {"11", "D", "M", " "}, {"13", "AB", "H", " "}, {"14", "", "H", " "}};
        for (const auto& [jaula, grupo, sexo, categ] : birds)
            fixtures::addBird(m_db, QByteArray(jaula).toInt(), grupo, sexo, {{"categ", categ}});
        const Show show = read();
        QStringList seen;
        for (const printouts::CatalogueClass& c : printouts::catalogueClasses(show)) {
            QStringList cages;
            for (const printouts::Bird* bird : c.birds)
                cages << QString::number(bird->jaula);
            seen << c.heading + ": " + cages.join(',');
        }
        QCOMPARE(seen, QStringList({"Grupo A Machos: 2,12", "Grupo A Hembras: 1", "Grupo B Hembras: 8,30",
                                    "Grupo C Machos: 6", "Grupo C Hembras: 3", "Grupo D Categoría A: 20",
                                    "Grupo D Categoría B: 5", "Grupo D Categoría E: 40",
                                    "Otras palomas: 7,9,11,13,14"}));
        QStringList judged;
        for (const printouts::Bird* bird : printouts::judgedBirds(show))
            judged << QString::number(bird->jaula);
        QCOMPARE(judged.join(','), "1,2,3,6,8,12,30");
    }

    void exhibitorsAreOneEachInNameOrder_data()
    {
        QTest::addColumn<QStringList>("birds");    // cage|name|licence|club
        QTest::addColumn<QStringList>("expected"); // name|licence|club: cages
        QTest::newRow("accents beside their letter, case ignored")
            << QStringList{"1|Antonio|1|10", "2|Ángel|2|10", "3|angel|3|10", "4|Bernardo|4|10"}
            << QStringList{"angel|3|10: 3", "Ángel|2|10: 2", "Antonio|1|10: 1", "Bernardo|4|10: 4"};
        QTest::newRow("the same owner's birds together, in cage order")
            << QStringList{"9|Pedro|7|1", "2|Luis|5|1", "4|Pedro|7|1", "7|Luis|5|1"}
            << QStringList{"Luis|5|1: 2, 7", "Pedro|7|1: 4, 9"};
        QTest::newRow("same name, another licence or club: another exhibitor")
            << QStringList{"1|Pedro|7|1", "2|Pedro|8|1", "3|Pedro|7|2", "4|Pedro|7|1"}
            << QStringList{"Pedro|7|1: 1, 4", "Pedro|7|2: 3", "Pedro|8|1: 2"};
        QTest::newRow("blanks around the name are no other exhibitor")
            << QStringList{"1|Pedro |7|1", "2| Pedro|7|1"} << QStringList{"Pedro|7|1: 1, 2"};
    }
    void exhibitorsAreOneEachInNameOrder()
    {
        QFETCH(QStringList, birds);
        QFETCH(QStringList, expected);
        for (const QString& bird : birds) {
            const QStringList f = bird.split('|');
            fixtures::addBird(m_db, f[0].toInt(), "A", "M",
                              {{"nombre", f[1]}, {"licencia", f[2]}, {"club", f[3]}});
        }
        const Show show = read();
        QStringList seen;
        for (const printouts::Exhibitor& owner : printouts::exhibitors(show))
            seen << owner.nombre + '|' + owner.licencia + '|' + owner.club + ": " +
                        printouts::cageList(owner);
        QCOMPARE(seen, expected);
    }

    void clubsAreFoundByTheirCode_data()
    {
        QTest::addColumn<QString>("club");
        QTest::addColumn<QString>("shown"); // name|province
        QTest::newRow("known") << "12" << "Club Doce|Toledo";
        QTest::newRow("known, blanks around the code") << " 12 " << "Club Doce|Toledo";
        QTest::newRow("unknown") << "99" << "|";
        QTest::newRow("none") << "" << "|";
    }
    void clubsAreFoundByTheirCode()
    {
        QFETCH(QString, club);
        QFETCH(QString, shown);
        fixtures::addClub(m_clubs, "12", "Club Doce", "Toledo");
        fixtures::addClub(m_clubs, "1", "Club Uno", "Cuenca");
        fixtures::addBird(m_db, 1, "A", "M", {{"club", club}});
        const Show show = read();
        const printouts::Club found = printouts::clubOf(show, show.birds.at(0));
        QCOMPARE(found.nombre + '|' + found.provincia, shown);
        // Without the clubs' file every club is unknown, and nothing fails.
        const Show alone = printouts::readShow(m_db, nullptr);
        QCOMPARE(printouts::clubOf(alone, alone.birds.at(0)).nombre, QString());
    }

    void theShowsNameRegionAndJudges()
    {
        m_db.execute("UPDATE Config SET nombre = '  Regional de Castilla ', region = ' Castilla-La Mancha', "
                     "jueces = 4, fecha = '2026-03-14T00:00:00'");
        const Show show = read();
        QCOMPARE(show.nombre, QString("Regional de Castilla"));
        QCOMPARE(show.region, QString("Castilla-La Mancha"));
        QCOMPARE(show.jueces, 4);
        QCOMPARE(show.fecha, QDate(2026, 3, 14));
    }
};

QTEST_GUILESS_MAIN(TestShowContents)
#include "test_show_contents.moc"
