// What the listing windows show, built without them: the classification's preview text, the group
// D list and the province ranking, each on final scores brought up to date first.

#include "rules/listings/classification_text.h"
#include "rules/listings/group_d_list.h"
#include "rules/listings/openings.h"
#include "rules/listings/province_ranking.h"
#include "support/fixtures.h"

#include <QDir>

namespace
{

// "place/cage" of each bird line (those marked "*") of a preview text.
QString birdsOf(const QString& text)
{
    QStringList birds;
    for (const QString& line : text.split("\r\n"))
        if (line.startsWith(u'*'))
            birds << line.mid(2, 3).trimmed() + "/" + line.mid(89).trimmed();
    return birds.join(',');
}

QString listed(const std::vector<listings::ProvinceRow>& rows)
{
    QStringList shown;
    for (const listings::ProvinceRow& row : rows)
        shown << QStringLiteral("%1 %2=%3").arg(row.orden).arg(row.provincia, row.puntos);
    return shown.join(", ");
}

} // namespace

class TestListingBuilders : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;
    store::Database m_clubs;

    // Each bird as "cage group sex-or-category club score", or "... club contests/coefficient" in
    // group D; club "-" for none.
    void addBirds(const QStringList& birds)
    {
        for (const QString& bird : birds) {
            const QStringList f = bird.split(' ');
            const QString record = f[4];
            QVariantMap fields{{"categ", f[1] == "D" ? f[2] : " "},
                               {"puntos", record.toDouble()},
                               {"conc", record.section('/', 0, 0).toInt()},
                               {"coef", record.section('/', 1).toDouble()}};
            if (f[3] != "-")
                fields.insert("club", f[3]);
            fixtures::addBird(m_db, f[0].toInt(), f[1], f[1] == "D" ? "M" : f[2], fields);
        }
    }

    QString rank()
    {
        store::Recordset clubs = m_clubs.openRecordset("select * from club ");
        return listed(listings::clasificacionPorProvincia(m_db, clubs));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(QDir(m_dir->path()).filePath("expo.mdb"), store::schema::exhibition());
        fixtures::setConfig(m_db, 3, true);
        m_clubs = store::Database::create(QDir(m_dir->path()).filePath("Club.mdb"), store::schema::clubs());
        for (const QString club : {"1 Toledo", "2 Toledo", "3 Cuenca", "4 Ávila", "5 "})
            fixtures::addClub(m_clubs, club.section(' ', 0, 0), "Club " + club, club.section(' ', 1));
    }

    void birdLine_data()
    {
        QTest::addColumn<int>("place");
        QTest::addColumn<QString>("ring"); // anilla and año
        QTest::addColumn<QVariant>("puntos");
        QTest::addColumn<int>("column"); // counted from 1
        QTest::addColumn<QString>("expected");
        const QVariant score(85.5);
        QTest::newRow("whole line")
            << 1 << "12345 2005" << score << 1
            << "* 1     0012345-05    Azul                      123 José García                   85,50    7";
        QTest::newRow("place 10") << 10 << "12345 2005" << score << 1 << "* 10    0012345-05  ";
        QTest::newRow("place 100 moves the line")
            << 100 << "12345 2005" << score << 1 << "* 100    0012345-05    Azul";
        QTest::newRow("ring 123 of 2004") << 1 << "123 2004" << score << 9 << "0000123-04  ";
        QTest::newRow("two-character year") << 1 << "12345 05" << score << 9 << "0012345-    ";
        QTest::newRow("score right-aligned") << 1 << "1 2005" << QVariant(8.0) << 83 << " 8,00  ";
        QTest::newRow("score cut at 5") << 1 << "1 2005" << QVariant(100.0) << 83 << "100,0  ";
        QTest::newRow("thousands cut at 5") << 1 << "1 2005" << QVariant(1234.5) << 83 << "1.234  ";
    }
    void birdLine()
    {
        QFETCH(int, place);
        QFETCH(QString, ring);
        QFETCH(QVariant, puntos);
        QFETCH(int, column);
        QFETCH(QString, expected);
        const QStringList r = ring.split(' ');
        const QString line = listings::birdLine(place, {7, r[0], r[1], "Azul", "123", "José García", puntos});
        QCOMPARE(line.mid(column - 1, expected.size()), expected);
        QCOMPARE(line.size(), place < 100 ? 92 : 93);
    }

    void previewText()
    {
        addBirds({"7 A M - 90", "3 A M - 80", "17 A H - 99", "4 B M - 99", "5 D A - 9/1"});
        for (const auto& [juez, total] : {std::pair{3, 83.0}, {1, 80.0}, {1, 86.0}, {2, 84.0}})
            fixtures::addScore(m_db, "7", juez, total);
        fixtures::addScore(m_db, "17", 2, 90.0); // a cage whose text ends as 7's
        const QString text = listings::generarListado(m_db, "A", "M");
        QCOMPARE(birdsOf(text), "1/7,2/3");
        const QStringList lines = text.split("\r\n");
        const QStringList top{listings::birdHeading(), QString(95, '_')};
        const QStringList middle{"", QString(31, ' ') + "Puntuacion de los Jueces", "",
                                 listings::judgesHeading(), QString(93, '_')};
        const QStringList bottom{QString(93, '-'), "", ""};
        QStringList judges;
        for (const QString& line : lines.mid(8, 4))
            judges << line.left(2).trimmed() + "/" + line.mid(87);
        QCOMPARE(judges, (QStringList{"1/86,00", "1/80,00", "2/84,00", "3/83,00"}));
        QCOMPARE(lines, top + lines.mid(2, 1) + middle + lines.mid(8, 4) + bottom + top + lines.mid(17, 1) +
                            middle + bottom + QStringList{""});
        QCOMPARE(listings::generarListado(m_db, "C", "H"), QString());
    }

    void ranking_data()
    {
        QTest::addColumn<QString>("listing");   // group and sex, or "D" and the category
        QTest::addColumn<QStringList>("birds"); // in store order
        QTest::addColumn<QString>("listed");    // place/cage
        QTest::newRow("equal scores in store order")
            << "C M" << QStringList{"5 C M - 85", "3 C M - 80", "9 C M - 85", "1 C M - 85"}
            << "1/5,2/9,3/1,4/3";
        QTest::newRow("D B: equal contests, higher coefficient first")
            << "D B" << QStringList{"1 D B - 12/1.5", "2 D B - 12/2"} << "1/2,2/1";
        QTest::newRow("D C: equal contests, lower coefficient first")
            << "D C" << QStringList{"1 D C - 12/1.5", "2 D C - 12/2"} << "1/1,2/2";
        QTest::newRow("D A: more contests first")
            << "D A" << QStringList{"1 D A - 12/9", "2 D A - 13/0.5", "3 D A - 12/0.1"} << "1/2,2/1,3/3";
        QTest::newRow("D D: equal in both in store order, other categories left out")
            << "D D" << QStringList{"5 D D - 4/1", "3 D D - 4/1", "7 D A - 9/9", "9 D D - 4/1"}
            << "1/5,2/3,3/9";
    }
    void ranking()
    {
        QFETCH(QString, listing);
        QFETCH(QStringList, birds);
        QFETCH(QString, listed);
        addBirds(birds);
        const QStringList which = listing.split(' ');
        QStringList rows;
        if (which[0] == "D")
            for (const listings::GroupDRow& row : listings::llenarListaGrupoD(m_db, "D", which[1]))
                rows << QString::number(row.orden) + "/" + row.jaula;
        QCOMPARE(which[0] == "D" ? rows.join(',')
                                 : birdsOf(listings::generarListado(m_db, which[0], which[1])),
                 listed);
    }

    void groupDColumns()
    {
        fixtures::addBird(
            m_db, 12, "D", "M",
            {{"categ", "B"}, {"conc", 7}, {"coef", 3.456}, {"anilla", "1234567"}, {"año", "2005"}});
        fixtures::addBird(m_db, 13, "D", "M",
                          {{"categ", "B"}, {"conc", 6}, {"coef", 1234.5}, {"anilla", " 12"}, {"año", "05"}});
        QStringList rows;
        for (const listings::GroupDRow& r : listings::llenarListaGrupoD(m_db, "D", "B"))
            rows << QStringList{QString::number(r.orden), r.anilla, r.conc, r.coef, r.jaula}.join('|');
        QCOMPARE(rows, (QStringList{"1|05-1234567|7|3,46|12", "2|- 12|6|1.234,50|13"}));
    }

    void provinces_data()
    {
        QTest::addColumn<QStringList>("birds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clubs of one province add up, plus one")
            << QStringList{"1 A M 1 90", "2 B H 3 95", "3 B H 2 85"} << "1 Toledo=10, 2 Cuenca=6";
        QTest::newRow("unknown, provinceless and no club under a blank")
            << QStringList{"1 C M 99 90", "2 C M 5 85", "3 C M - 83", "4 C M 3 80", "5 C H 98 70"}
            << "1  =18, 2 Cuenca=3";
        QTest::newRow("at most five birds a classification")
            << QStringList{"1 A M 1 70", "2 A M 3 90", "3 A M 3 89", "4 A M 3 88", "5 A M 3 87", "6 A M 3 86"}
            << "1 Cuenca=16";
        QTest::newRow("unscored birds still placed")
            << QStringList{"1 A M 4 90", "2 A M 3 80", "3 A M 4 0"} << "1 Ávila=9, 2 Cuenca=5";
        QTest::newRow("group D: lower coefficient first, even in A")
            << QStringList{"1 D A 3 10/2.0", "2 D A 1 10/1.5"} << "1 Toledo=6, 2 Cuenca=5";
        QTest::newRow("group D: more contests first")
            << QStringList{"1 D E 3 9/0.5", "2 D E 1 10/9.5"} << "1 Toledo=6, 2 Cuenca=5";
    }
    void provinces()
    {
        QFETCH(QStringList, birds);
        QFETCH(QString, expected);
        fixtures::addRow(m_db, "lclub", {{"puntos", 5.0}, {"provincia", "Vieja"}});
        fixtures::addRow(m_db, "lclub1", {{"puntos", 6.0}, {"provincia", "Vieja"}});
        addBirds(birds);
        QCOMPARE(rank(), expected);
        QCOMPARE(rank(), expected); // a second opening rewrites the work tables
    }

    void scoresAreBroughtUpToDateBeforeRanking()
    {
        addBirds({"1 A M 3 95", "2 A M 1 0"}); // stale: their judges gave 80 and 90
        for (int juez = 1; juez <= 3; ++juez) {
            fixtures::addScore(m_db, "1", juez, 80.0);
            fixtures::addScore(m_db, "2", juez, 90.0);
        }
        store::Recordset clubs = m_clubs.openRecordset("select * from club ");
        QCOMPARE(listed(listings::openProvinces(m_db, clubs, "Expo").provinces), "1 Toledo=6, 2 Cuenca=5");
        m_db.execute("UPDATE Recepcion SET puntos = 95 - 95 * (jaula - 1)");
        const listings::Listing machos = listings::openClassification(m_db, "Expo", "A", "", "M");
        QCOMPARE(birdsOf(machos.text), "1/2,2/1");
        QVERIFY(machos.text.contains("90,00    2"));
    }
};

QTEST_GUILESS_MAIN(TestListingBuilders)
#include "test_listing_builders.moc"
