// The preview text of the classification of groups A to C: the bird and judge lines column by
// column, the blocks, the ranking, and the scores brought up to date before ranking.

#include "listings/classification_text.h"
#include "listings/listing.h"
#include "listings/openings.h"
#include "support/fixtures.h"

#include <QDir>

using listings::ClassifiedBird;
using listings::JudgeScores;

Q_DECLARE_METATYPE(ClassifiedBird)

namespace
{

ClassifiedBird sampleBird()
{
    return {7,
            QStringLiteral("12345"),
            QStringLiteral("2005"),
            QStringLiteral("Azul"),
            QStringLiteral("123"),
            QStringLiteral("José García"),
            85.5};
}

ClassifiedBird with(ClassifiedBird bird, const std::function<void(ClassifiedBird&)>& change)
{
    change(bird);
    return bird;
}

// The lines of a CR LF text, the empty piece after the last break included.
QStringList linesOf(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

// The bird lines of a listing (those marked "*"), in order.
QStringList birdLines(const QString& text)
{
    QStringList marked;
    for (const QString& line : linesOf(text))
        if (line.startsWith(u'*'))
            marked << line;
    return marked;
}

// The cage at the end of each bird line.
QStringList cagesOf(const QString& text)
{
    QStringList cages;
    for (const QString& line : birdLines(text))
        cages << line.mid(89).trimmed();
    return cages;
}

} // namespace

class TestClassificationText : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(QDir(m_dir->path()).filePath("expo.mdb"), store::schema::exhibition());
        fixtures::setConfig(m_db, 3, true);
    }

    void headingsHaveTheirFixedWidths()
    {
        QCOMPARE(listings::birdHeading().size(), 94);
        QCOMPARE(listings::judgesHeading().size(), 92);
        // The headings stand over their columns: score at 83-87, cage at 90-92, total at 88-92.
        QCOMPARE(listings::birdHeading().mid(81, 6), "Puntos");
        QCOMPARE(listings::birdHeading().mid(89, 5), "Jaula");
        QCOMPARE(listings::judgesHeading().mid(87, 5), "Total");
    }

    void birdLineColumns_data()
    {
        QTest::addColumn<int>("place");
        QTest::addColumn<ClassifiedBird>("bird");
        QTest::addColumn<int>("column"); // counted from 1
        QTest::addColumn<QString>("expected");
        const ClassifiedBird bird = sampleBird();
        QTest::newRow("place 9: mark, digit, five blanks") << 9 << bird << 1 << "* 9     0012345-05";
        QTest::newRow("place 10: four blanks") << 10 << bird << 1 << "* 10    0012345-05";
        QTest::newRow("place 99 keeps column 9") << 99 << bird << 9 << "0012345-05  ";
        QTest::newRow("place 100 moves the ring to column 10") << 100 << bird << 1 << "* 100    0012345-05";
        QTest::newRow("place 100 moves the cage too") << 100 << bird << 91 << "  7";
        QTest::newRow("ring 12345 of 2005") << 1 << bird << 9 << "0012345-05  ";
        QTest::newRow("ring 123 of 2004") << 1 << with(bird, [](auto& b) {
            b.anilla = "123";
            b.anio = "2004";
        }) << 9 << "0000123-04  ";
        QTest::newRow("ring with blanks around")
            << 1 << with(bird, [](auto& b) { b.anilla = " 123 "; }) << 9 << "0000123-05  ";
        QTest::newRow("two-character year")
            << 1 << with(bird, [](auto& b) { b.anio = "05"; }) << 9 << "0012345-    ";
        QTest::newRow("blanks then colour") << 1 << bird << 21 << "  Azul                    ";
        QTest::newRow("colour cut at 20")
            << 1 << with(bird, [](auto& b) { b.color = "Azul Barrado Claro Oscuro"; }) << 23
            << "Azul Barrado Claro O    ";
        QTest::newRow("licence right-aligned in 5") << 1 << bird << 43 << "      123 ";
        QTest::newRow("owner at 53") << 1 << bird << 52 << " José García                   85,50";
        QTest::newRow("owner cut at 30")
            << 1 << with(bird, [](auto& b) { b.nombre = "Francisco Javier Fernández de la Rosa Gil"; }) << 53
            << "Francisco Javier Fernández de 85,50";
        QTest::newRow("score right-aligned")
            << 1 << with(bird, [](auto& b) { b.puntos = 8.0; }) << 83 << " 8,00";
        QTest::newRow("score cut at 5")
            << 1 << with(bird, [](auto& b) { b.puntos = 100.0; }) << 83 << "100,0  ";
        QTest::newRow("thousands cut at 5")
            << 1 << with(bird, [](auto& b) { b.puntos = 1234.5; }) << 83 << "1.234";
        QTest::newRow("score without value")
            << 1 << with(bird, [](auto& b) { b.puntos = QVariant(); }) << 83 << " 0,00";
        QTest::newRow("cage right-aligned in 3") << 1 << bird << 88 << "    7";
        QTest::newRow("cage of three digits")
            << 1 << with(bird, [](auto& b) { b.jaula = 999; }) << 88 << "  999";
    }
    void birdLineColumns()
    {
        QFETCH(int, place);
        QFETCH(ClassifiedBird, bird);
        QFETCH(int, column);
        QFETCH(QString, expected);
        const QString line = listings::birdLine(place, bird);
        QCOMPARE(line.mid(column - 1, expected.size()), expected);
        QCOMPARE(line.size(), place < 100 ? 92 : 93);
    }

    void judgeLineColumns_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");
        QTest::newRow("judge") << 1 << " 2  ";
        QTest::newRow("score 1") << 5 << " 8,50              ";
        QTest::newRow("score 2") << 24 << " 9,00                 ";
        QTest::newRow("score 3") << 46 << "18,25               ";
        QTest::newRow("score 4") << 66 << "28,00       ";
        QTest::newRow("score 5") << 78 << "27,75     ";
        QTest::newRow("total under Total") << 88 << "91,50";
    }
    void judgeLineColumns()
    {
        QFETCH(int, column);
        QFETCH(QString, expected);
        JudgeScores scores;
        scores.juez = 2;
        const double partial[] = {8.5, 9.0, 18.25, 28.0, 27.75};
        for (int i = 0; i < 5; ++i)
            scores.puntos[i] = partial[i];
        scores.puntost = 91.5;
        const QString line = listings::judgeLine(scores);
        QCOMPARE(line.size(), 92);
        QCOMPARE(line.mid(column - 1, expected.size()), expected);
    }

    void judgeTwelveShowsAsOne()
    {
        JudgeScores scores;
        scores.juez = 12;
        scores.puntost = 100.0;
        const QString line = listings::judgeLine(scores);
        QCOMPARE(line.left(4), " 1  ");
        QCOMPARE(line.mid(87), "100,0");
        QCOMPARE(line.size(), 92);
    }

    void blockOfABirdWithTwoJudges()
    {
        fixtures::addBird(m_db, 7, "A", "M", {{"anilla", "12345"}, {"año", "2005"}, {"puntos", 170.0}});
        fixtures::addScore(m_db, "7", 2, 85.0);
        fixtures::addScore(m_db, "7", 1, 85.0);
        const QString text = listings::generarListado(m_db, "A", "M");

        const QStringList lines = linesOf(text);
        QCOMPARE(lines.size(), 14); // 11 lines, 2 judges, and the piece after the last break
        QCOMPARE(lines[0], listings::birdHeading());
        QCOMPARE(lines[1], QString(95, '_'));
        QVERIFY(lines[2].startsWith("* 1     0012345-05"));
        QCOMPARE(lines[3], "");
        QCOMPARE(lines[4], QString(31, ' ') + "Puntuacion de los Jueces");
        QCOMPARE(lines[5], "");
        QCOMPARE(lines[6], listings::judgesHeading());
        QCOMPARE(lines[7], QString(93, '_'));
        QCOMPARE(lines[8].left(2), " 1");
        QCOMPARE(lines[9].left(2), " 2");
        QCOMPARE(lines[10], QString(93, '-'));
        QCOMPARE(lines.mid(11), (QStringList{"", "", ""}));
        QVERIFY(!QString(text).remove("\r\n").contains(u'\n'));
    }

    void birdWithoutScoreRowsHasNoJudgeLine()
    {
        fixtures::addBird(m_db, 3, "B", "H");
        const QStringList lines = linesOf(listings::generarListado(m_db, "B", "H"));
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[7], QString(93, '_'));
        QCOMPARE(lines[8], QString(93, '-'));
        QCOMPARE(lines[2].mid(82, 5), " 0,00");
    }

    void judgesByNumberThenHigherTotal()
    {
        fixtures::addBird(m_db, 7, "A", "M");
        fixtures::addBird(m_db, 17, "A", "M");
        fixtures::addScore(m_db, "7", 3, 83.0);
        fixtures::addScore(m_db, "7", 1, 80.0);
        fixtures::addScore(m_db, "7", 1, 86.0);
        fixtures::addScore(m_db, "17", 2, 90.0); // another cage, whose text ends the same
        fixtures::addScore(m_db, "7", 2, 84.0);
        const QStringList lines = linesOf(listings::generarListado(m_db, "A", "M"));
        QStringList judges;
        for (int i = 8; i < 12; ++i)
            judges << lines[i].left(2).trimmed() + "/" + lines[i].mid(87);
        QCOMPARE(judges, (QStringList{"1/86,00", "1/80,00", "2/84,00", "3/83,00"}));
        QCOMPARE(lines[12], QString(93, '-'));
    }

    void rankingByScoreTiesInStoreOrder_data()
    {
        QTest::addColumn<QList<double>>("scores"); // of cages 1, 2, 3 ... in store order
        QTest::addColumn<QStringList>("cages");    // in the listing's order
        QTest::newRow("80, 85, 85") << QList<double>{80, 85, 85} << QStringList{"2", "3", "1"};
        QTest::newRow("all equal") << QList<double>{70, 70, 70} << QStringList{"1", "2", "3"};
        QTest::newRow("unscored last") << QList<double>{0, 90.5, 0, 89} << QStringList{"2", "4", "1", "3"};
    }
    void rankingByScoreTiesInStoreOrder()
    {
        QFETCH(QList<double>, scores);
        QFETCH(QStringList, cages);
        for (int i = 0; i < scores.size(); ++i)
            fixtures::addBird(m_db, i + 1, "C", "M", {{"puntos", scores[i]}});
        const QString text = listings::generarListado(m_db, "C", "M");
        QCOMPARE(cagesOf(text), cages);
        QStringList places;
        for (const QString& line : birdLines(text))
            places << line.mid(2, 3).trimmed();
        QStringList expected;
        for (int i = 1; i <= cages.size(); ++i)
            expected << QString::number(i);
        QCOMPARE(places, expected);
    }

    void placesNineTenAndHundredInAListing()
    {
        store::Transaction transaction(m_db);
        for (int cage = 1; cage <= 100; ++cage)
            fixtures::addBird(m_db, cage, "A", "H",
                              {{"puntos", 200.0 - cage}, {"anilla", "1"}, {"año", "2020"}});
        transaction.commit();
        const QStringList lines = birdLines(listings::generarListado(m_db, "A", "H"));
        QCOMPARE(lines.size(), 100);
        QCOMPARE(lines[8].left(18), "* 9     0000001-20");
        QCOMPARE(lines[9].left(18), "* 10    0000001-20");
        QCOMPARE(lines[99].left(19), "* 100    0000001-20");
    }

    void onlyTheGroupAndSexAreListed()
    {
        fixtures::addBird(m_db, 1, "A", "M");
        fixtures::addBird(m_db, 2, "A", "H");
        fixtures::addBird(m_db, 3, "B", "M");
        fixtures::addBird(m_db, 4, "D", "M", {{"categ", "A"}});
        fixtures::addBird(m_db, 5, "A", "M");
        QCOMPARE(cagesOf(listings::generarListado(m_db, "A", "M")), (QStringList{"1", "5"}));
        QCOMPARE(cagesOf(listings::generarListado(m_db, "A", "H")), QStringList{"2"});
        QCOMPARE(listings::generarListado(m_db, "C", "H"), QString());
    }

    void scoresAreBroughtUpToDateBeforeRanking()
    {
        // Scores typed after the last reload: the stored puntos are stale (0 and 95).
        fixtures::addBird(m_db, 1, "A", "M", {{"puntos", 95.0}});
        fixtures::addBird(m_db, 2, "A", "M", {{"puntos", 0.0}});
        for (int juez = 1; juez <= 3; ++juez) {
            fixtures::addScore(m_db, "1", juez, 80.0);
            fixtures::addScore(m_db, "2", juez, 90.0);
        }
        const listings::Listing listing = listings::openClassification(m_db, "Expo", "A", "", "M");
        QCOMPARE(cagesOf(listing.text), (QStringList{"2", "1"}));
        QCOMPARE(birdLines(listing.text)[0].mid(82, 5), "90,00");
        QCOMPARE(fixtures::column(m_db, "select * from recepcion order by jaula", "termina"), "S,S");
    }

    void titles_data()
    {
        QTest::addColumn<QString>("grupo");
        QTest::addColumn<QString>("categ");
        QTest::addColumn<QString>("sexo");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label3");
        QTest::newRow("A males") << "A"
                                 << ""
                                 << "M"
                                 << "Listado del Grupo A  Machos"
                                 << "Grupo A Machos";
        QTest::newRow("C females") << "C"
                                   << ""
                                   << "H"
                                   << "Listado del Grupo C  Hembras"
                                   << "Grupo C Hembras";
        QTest::newRow("no sex is females") << "B"
                                           << ""
                                           << ""
                                           << "Listado del Grupo B  Hembras"
                                           << "Grupo B Hembras";
        QTest::newRow("group D category") << "D"
                                          << "C"
                                          << ""
                                          << "Listado del Grupo D  Categoria C"
                                          << "Grupo D  Categoria C";
    }
    void titles()
    {
        QFETCH(QString, grupo);
        QFETCH(QString, categ);
        QFETCH(QString, sexo);
        QFETCH(QString, caption);
        QFETCH(QString, label3);
        const listings::ListingTitles titles = listings::classificationTitles("Regional", grupo, categ, sexo);
        QCOMPARE(titles.caption, caption);
        QCOMPARE(titles.label1, "Regional");
        QCOMPARE(titles.label2, "Clasificación General");
        QCOMPARE(titles.label3, label3);
    }
};

QTEST_GUILESS_MAIN(TestClassificationText)
#include "test_classification_text.moc"
