// The classification by province: points by place, provinces totalled with their extra point,
// unknown clubs, and the work tables rewritten at every computation.

#include "listings/openings.h"
#include "listings/province_ranking.h"
#include "support/fixtures.h"

#include <QDir>

class TestProvinceRanking : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;
    store::Database m_clubs;

    store::Recordset clubRs() const { return m_clubs.openRecordset("select * from club "); }

    std::vector<listings::ProvinceRow> rank()
    {
        store::Recordset clubs = clubRs();
        return listings::clasificacionPorProvincia(m_db, clubs);
    }

    static QString listed(const std::vector<listings::ProvinceRow>& rows)
    {
        QStringList shown;
        for (const listings::ProvinceRow& row : rows)
            shown << QStringLiteral("%1 %2=%3").arg(row.orden).arg(row.provincia, row.puntos);
        return shown.join(", ");
    }

    void addScored(int jaula, const QString& grupo, const QString& sexo, const QString& club, double puntos)
    {
        fixtures::addBird(m_db, jaula, grupo, sexo, {{"club", club}, {"puntos", puntos}});
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(QDir(m_dir->path()).filePath("expo.mdb"), store::schema::exhibition());
        m_clubs = store::Database::create(QDir(m_dir->path()).filePath("Club.mdb"), store::schema::clubs());
        fixtures::addClub(m_clubs, "1", "Club Uno", "Toledo");
        fixtures::addClub(m_clubs, "2", "Club Dos", "Toledo");
        fixtures::addClub(m_clubs, "3", "Club Tres", "Cuenca");
        fixtures::addClub(m_clubs, "4", "Club Cuatro", "Ávila");
    }

    void emptyExhibitionLeavesEmptyTables()
    {
        fixtures::addRow(m_db, "lclub", {{"puntos", 5.0}, {"provincia", "Vieja"}});
        fixtures::addRow(m_db, "lclub1", {{"puntos", 6.0}, {"provincia", "Vieja"}});
        QVERIFY(rank().empty());
        QCOMPARE(m_db.openRecordset("select * from lclub").recordCount(), 0);
        QCOMPARE(m_db.openRecordset("select * from lclub1").recordCount(), 0);
    }

    void onlyTheFirstFiveEarnPoints()
    {
        for (int cage = 1; cage <= 7; ++cage)
            addScored(cage, "A", "M", "3", 80.0 + cage);
        QCOMPARE(listed(rank()), "1 Cuenca=16"); // 1 + 5 + 4 + 3 + 2 + 1
        QCOMPARE(fixtures::column(m_db, "select * from lclub", "puntos"), "5,4,3,2,1");
        QCOMPARE(fixtures::column(m_db, "select * from lclub", "club"), "3,3,3,3,3");
        QCOMPARE(fixtures::column(m_db, "select * from lclub", "grupo"), "A,A,A,A,A");
    }

    void totals_data()
    {
        // Each bird: cage, group, sex or category, club, score or "contests/coefficient".
        QTest::addColumn<QStringList>("birds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two clubs of one province add up, plus one")
            << QStringList{"1 A M 1 90", "2 B H 3 95", "3 B H 2 85"} << "1 Toledo=10, 2 Cuenca=6";
        QTest::newRow("equal totals in province order")
            << QStringList{"1 A M 1 90", "2 A H 3 90"} << "1 Cuenca=6, 2 Toledo=6";
        QTest::newRow("unknown club counts under a blank")
            << QStringList{"1 C M 99 90", "2 C M 3 80", "3 C H 98 70"} << "1  =11, 2 Cuenca=5";
        QTest::newRow("a third bird of three earns 3")
            << QStringList{"1 A M 4 90", "2 A M 3 80", "3 A M 4 0"} << "1 Ávila=9, 2 Cuenca=5";
        QTest::newRow("group D takes the lower coefficient first in A")
            << QStringList{"1 D A 3 10/2.0", "2 D A 1 10/1.5"} << "1 Toledo=6, 2 Cuenca=5";
        QTest::newRow("group D: more contests first")
            << QStringList{"1 D E 3 9/0.5", "2 D E 1 10/9.5"} << "1 Toledo=6, 2 Cuenca=5";
    }
    void totals()
    {
        QFETCH(QStringList, birds);
        QFETCH(QString, expected);
        for (const QString& bird : birds) {
            const QStringList f = bird.split(' ');
            if (f[1] == "D") {
                const QStringList record = f[4].split('/');
                fixtures::addBird(m_db, f[0].toInt(), "D", "M",
                                  {{"categ", f[2]},
                                   {"club", f[3]},
                                   {"conc", record[0].toInt()},
                                   {"coef", record[1].toDouble()}});
            } else {
                addScored(f[0].toInt(), f[1], f[2], f[3], f[4].toDouble());
            }
        }
        QCOMPARE(listed(rank()), expected);
    }

    void birdsWithoutClubCountUnderABlank()
    {
        fixtures::addClub(m_clubs, "5", "Club sin provincia", "");
        addScored(1, "A", "M", "", 90);
        fixtures::addBird(m_db, 2, "A", "M", {{"puntos", 80.0}}); // no club at all
        addScored(3, "A", "M", "5", 70);
        QCOMPARE(listed(rank()), "1  =13");
        QCOMPARE(fixtures::column(m_db, "select * from lclub", "club"), " , ,5");
        QCOMPARE(fixtures::column(m_db, "select * from lclub", "provincia"), " , , ");
    }

    void everyComputationRewritesTheTables()
    {
        // Eleven classifications of six birds each: 55 credited birds, never more.
        int cage = 1;
        for (const char* classification : {"A M", "A H", "B M", "B H", "C M", "C H"})
            for (int i = 0; i < 6; ++i, ++cage)
                addScored(cage, QString(classification).left(1), QString(classification).right(1),
                          QString::number(1 + cage % 4), 50.0 + cage % 7);
        for (const char* categ : {"A", "B", "C", "D", "E"})
            for (int i = 0; i < 6; ++i, ++cage)
                fixtures::addBird(
                    m_db, cage, "D", "H",
                    {{"categ", categ}, {"club", QString::number(1 + cage % 4)}, {"conc", cage % 3}});
        const QString first = listed(rank());
        QCOMPARE(m_db.openRecordset("select * from lclub").recordCount(), 55);
        const QString second = listed(rank());
        QCOMPARE(second, first);
        QCOMPARE(m_db.openRecordset("select * from lclub").recordCount(), 55);
        QCOMPARE(m_db.openRecordset("select * from lclub1").recordCount(), 3);
        double sum = 0;
        store::Recordset totals = m_db.openRecordset("select * from lclub1");
        for (totals.moveFirst(); !totals.eof(); totals.moveNext())
            sum += totals.value("puntos").toDouble();
        QCOMPARE(sum, 11 * 15.0 + 3);
    }

    void scoresAreBroughtUpToDateFirst()
    {
        fixtures::setConfig(m_db, 3, true);
        addScored(1, "A", "M", "3", 95); // stale: its judges gave 80
        addScored(2, "A", "M", "1", 0);  // stale: its judges gave 90
        for (int juez = 1; juez <= 3; ++juez) {
            fixtures::addScore(m_db, "1", juez, 80.0);
            fixtures::addScore(m_db, "2", juez, 90.0);
        }
        store::Recordset clubs = clubRs();
        const listings::Listing listing = listings::openProvinces(m_db, clubs, "Expo");
        QCOMPARE(listed(listing.provinces), "1 Toledo=6, 2 Cuenca=5");
        QCOMPARE(listing.titles.label3, "Clasificación Por Provincia");
        QCOMPARE(listing.titles.caption, "Listados");
    }
};

QTEST_GUILESS_MAIN(TestProvinceRanking)
#include "test_province_ranking.moc"
