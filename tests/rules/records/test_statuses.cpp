// A bird's status: what is stored and refused, and that an absent or disqualified bird leaves every
// ranking as if it had never been received.

#include "base/error.h"
#include "output/text_document.h"
#include "rules/listings/openings.h"
#include "rules/records/statuses.h"
#include "support/scored_exhibition.h"

class TestStatuses : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Steps "cage|ring|status|motivo" separated by ";": the refusal of the first refused step, or
    // every status stored and the refusal of a score for the cage of the last step.
    static QString after(store::Database& db, const QString& steps)
    {
        try {
            for (const QString& step : steps.split(';')) {
                const QStringList f = step.split('|');
                records::setStatus(db, f[0].toInt(), f[1], *records::parseStatus(f[2]), f.value(3));
            }
        } catch (const base::Error& e) {
            return e.message();
        }
        QStringList shown;
        for (const records::BirdStatus& bird : records::unrankedBirds(db))
            shown << QStringLiteral("%1 %2 %3").arg(bird.jaula).arg(bird.anilla, bird.text()).simplified();
        const int last = steps.section(';', -1).section('|', 0, 0).toInt();
        return shown.join(", ") + "; " + records::scoreRefusal(db, last);
    }

private slots:
    // Cage 7 holds one bird, cage 9 two.
    void setAndRefuse_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("absent") << "7||ausente" << "7 Ausente; Paloma ausente";
        QTest::newRow("disqualified, then absent")
            << "7||Descalificada|Tarde;7||ausente" << "7 Ausente; Paloma ausente";
        QTest::newRow("absent, then disqualified") << "7||ausente;7||descalificada|Tarde"
                                                   << "7 Descalificada: Tarde; Paloma descalificada: Tarde";
        QTest::newRow("present again") << "7||ausente;7||presente" << "; ";
        QTest::newRow("no reason") << "7||descalificada|  " << "Una paloma descalificada necesita un motivo";
        QTest::newRow("no bird") << "5||ausente" << "La jaula 5 no tiene ninguna paloma";
        QTest::newRow("a ring not in the cage")
            << "7|9999999|ausente" << "La jaula 7 no tiene la anilla 9999999";
        QTest::newRow("a cage of two, no ring")
            << "9||ausente" << "La jaula 9 tiene dos palomas, anillas 2222222 y 3333333: diga cuál";
        QTest::newRow("a cage of two, one ring")
            << "9|3333333|ausente" << "9 3333333 Ausente; Paloma ausente";
    }
    void setAndRefuse()
    {
        QFETCH(QString, steps);
        store::Database db =
            store::Database::create(m_dir.filePath(QTest::currentDataTag()), store::schema::exhibition());
        for (const char* bird : {"7 1111111", "9 2222222", "9 3333333"})
            fixtures::addBird(db, atoi(bird), "A", "M", {{"anilla", QString(bird).mid(2)}});
        QTEST(after(db, steps), "outcome");
    }

    // On a show of 999 birds (with group D and a cage of two), every document with some birds
    // absent or disqualified is the document of the show without them, but for the section that
    // lists them, each once.
    void unrankedBirdsLeaveEveryRanking()
    {
        store::Database db = store::Database::create(m_dir.filePath("show.mdb"), store::schema::exhibition());
        fixtures::fillScoredExhibition(db, 999);
        db.execute("UPDATE Recepcion SET anilla = printf('%07d', jaula), club = jaula % 4 + 1");
        fixtures::addBird(db, 12, "A", "M", {{"anilla", "7777777"}, {"club", "2"}});
        for (int cage = 1000; cage < 1006; ++cage)
            fixtures::addBird(db, cage, "D", "M",
                              {{"categ", "A"}, {"conc", cage % 3}, {"coef", cage % 5}, {"club", cage % 4}});
        QVERIFY(QFile::copy(db.path(), m_dir.filePath("left.mdb")));
        store::Database left = store::Database::open(m_dir.filePath("left.mdb"), store::schema::exhibition());
        QStringList steps{"12|7777777|descalificada|Falsa", "1003||ausente", "1001||descalificada|Tarde"};
        for (int cage = 3; cage <= 999; cage += 7)
            steps << QString::number(cage) + (cage % 2 ? "||ausente" : "||descalificada|Tarde");
        store::Transaction together(db), leaving(left); // one sync each
        QCOMPARE(after(db, steps.join(';')).section("; ", -1), "Paloma ausente");
        for (const records::BirdStatus& bird : records::unrankedBirds(db))
            left.prepare("DELETE FROM Recepcion WHERE jaula = ? AND ? IN ('', anilla)")
                .bind(1, qint64(bird.jaula))
                .bind(2, bird.anilla)
                .run();
        together.commit();
        leaving.commit();

        const store::Database clubsDb =
            store::Database::create(m_dir.filePath("Club.mdb"), store::schema::clubs());
        for (const QString club : {"1 Toledo", "2 Cuenca", "3 Ávila"})
            fixtures::addClub(clubsDb, club.section(' ', 0, 0), club, club.section(' ', 1));
        store::Recordset clubs = clubsDb.openRecordset("select * from club ");
        const std::vector<listings::Listing> with = listings::allListings(db, clubs);
        const std::vector<listings::Listing> without = listings::allListings(left, clubs);
        std::size_t apart = 0;
        for (std::size_t i = 0; i < with.size(); ++i) {
            listings::Listing ranked = with[i];
            apart += std::exchange(ranked.unranked, {}).size();
            QCOMPARE(listings::documentBytes(ranked), listings::documentBytes(without[i]));
        }
        QCOMPARE(apart, records::unrankedBirds(db).size());
    }
};

QTEST_GUILESS_MAIN(TestStatuses)
#include "test_statuses.moc"
