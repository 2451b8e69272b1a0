// A bird's status: how it is set and refused, and that an absent or disqualified bird leaves every
// ranking as if it had never been received, while scores for it are refused.

#include "base/error.h"
#include "output/text_document.h"
#include "rules/listings/openings.h"
#include "rules/records/statuses.h"
#include "support/scored_exhibition.h"

#include <QDir>

class TestStatuses : public QObject
{
    Q_OBJECT

    QTemporaryDir m_master; // the show of 999 birds, made once
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }

    // Steps "cage ring status motivo", fields by "|"; the error of the first refused step, if any.
    static QString apply(store::Database& db, const QStringList& steps)
    {
        for (const QString& step : steps) {
            const QStringList f = step.split('|');
            try {
                records::setStatus(db, f[0].toInt(), f[1], *records::parseStatus(f[2]), f.value(3));
            } catch (const base::Error& e) {
                return e.message();
            }
        }
        return {};
    }

    // What the steps leave: the refusal of the first refused one, or every status stored and the
    // refusal of a score for the cage of the last step.
    static QString after(store::Database& db, const QStringList& steps)
    {
        if (const QString error = apply(db, steps); !error.isEmpty())
            return error;
        QStringList shown;
        for (const records::BirdStatus& bird : records::unrankedBirds(db))
            shown << QStringLiteral("%1 %2 %3").arg(bird.jaula).arg(bird.anilla, bird.text()).simplified();
        return shown.join(", ") + "; " + records::scoreRefusal(db, steps.last().section('|', 0, 0).toInt());
    }

private slots:
    void initTestCase()
    {
        const QString show =
            fixtures::createScoredExhibition(QDir(m_master.path()).filePath("expo.mdb"), 999);
        store::Database db = store::Database::open(show, store::schema::exhibition());
        db.execute("UPDATE Recepcion SET anilla = printf('%07d', jaula), club = jaula % 4 + 1");
        fixtures::addBird(db, 12, "A", "M", {{"anilla", "7777777"}, {"club", "2"}});
        for (int cage = 1000; cage < 1006; ++cage)
            fixtures::addBird(
                db, cage, "D", "M",
                {{"categ", "A"}, {"conc", cage % 3}, {"coef", cage % 5}, {"club", cage % 4 + 1}});
    }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // Cage 7 holds one bird, cage 9 two.
    void setAndRefuse_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("absent") << QStringList{"7||ausente"} << "7 Ausente; Paloma ausente";
        QTest::newRow("disqualified") << QStringList{"7||Descalificada|Ala cortada"}
                                      << "7 Descalificada: Ala cortada; Paloma descalificada: Ala cortada";
        QTest::newRow("absent, then disqualified") << QStringList{"7||ausente", "7||descalificada|Tarde"}
                                                   << "7 Descalificada: Tarde; Paloma descalificada: Tarde";
        QTest::newRow("present again") << QStringList{"7||ausente", "7||presente"} << "; ";
        QTest::newRow("disqualified without a reason")
            << QStringList{"7||descalificada|  "} << "Una paloma descalificada necesita un motivo";
        QTest::newRow("a cage without a bird")
            << QStringList{"5||ausente"} << "La jaula 5 no tiene ninguna paloma";
        QTest::newRow("a ring not in the cage")
            << QStringList{"7|9999999|ausente"} << "La jaula 7 no tiene la anilla 9999999";
        QTest::newRow("a cage of two, without a ring")
            << QStringList{"9||ausente"}
            << "La jaula 9 tiene dos palomas, anillas 2222222 y 3333333: diga cuál";
        QTest::newRow("a cage of two, one ring")
            << QStringList{"9|3333333|ausente"} << "9 3333333 Ausente; Paloma ausente";
    }
    void setAndRefuse()
    {
        QFETCH(QStringList, steps);
        store::Database db = store::Database::create(path("expo.mdb"), store::schema::exhibition());
        for (const char* bird : {"7 1111111", "9 2222222", "9 3333333"})
            fixtures::addBird(db, atoi(bird), "A", "M", {{"anilla", QString(bird).mid(2)}});
        QFETCH(QString, outcome);
        QCOMPARE(after(db, steps), outcome);
    }

    // On a show of 999 birds (and some of group D, and a cage of two), every listing with the
    // statuses set is the listing of the same show without those birds; the birds it leaves out
    // are listed apart, each once.
    void unrankedBirdsLeaveEveryRanking_data()
    {
        QTest::addColumn<int>("absentEvery");
        QTest::addColumn<int>("disqualifiedEvery");
        QTest::addColumn<QStringList>("more"); // further steps
        QTest::newRow("every tenth absent") << 10 << 0 << QStringList{};
        QTest::newRow("every 25th disqualified, a group D bird absent")
            << 0 << 25 << QStringList{"1003||ausente"};
        QTest::newRow("one bird of a cage of two")
            << 0 << 0
            << QStringList{"12|7777777|descalificada|Anilla falsa", "1001||descalificada|Sin pasaporte"};
        QTest::newRow("a whole classification") << 3 << 0 << QStringList{};
    }
    void unrankedBirdsLeaveEveryRanking()
    {
        QFETCH(int, absentEvery);
        QFETCH(int, disqualifiedEvery);
        QFETCH(QStringList, more);
        const QString master = QDir(m_master.path()).filePath("expo.mdb");
        QVERIFY(QFile::copy(master, path("ranked.mdb")));
        QVERIFY(QFile::copy(master, path("left.mdb")));
        store::Database db = store::Database::open(path("ranked.mdb"), store::schema::exhibition());
        store::Database left = store::Database::open(path("left.mdb"), store::schema::exhibition());
        QStringList steps = more;
        for (int cage = 1; cage <= 999; ++cage)
            if (absentEvery > 0 && cage % absentEvery == 0)
                steps << QString::number(cage) + "|" + (cage == 12 ? "0000012" : "") + "|ausente";
            else if (disqualifiedEvery > 0 && cage % disqualifiedEvery == 0)
                steps << QString::number(cage) + "|" + (cage == 12 ? "0000012" : "") + "|descalificada|Tarde";
        store::Transaction together(db); // one sync for the whole show's statuses
        QCOMPARE(apply(db, steps), QString());
        together.commit();
        store::Transaction leaving(left);
        for (const records::BirdStatus& bird : records::unrankedBirds(db))
            left.prepare("DELETE FROM Recepcion WHERE jaula = ? AND ? IN ('', anilla)")
                .bind(1, qint64(bird.jaula))
                .bind(2, bird.anilla)
                .run();
        leaving.commit();

        const store::Database clubsDb = store::Database::create(path("Club.mdb"), store::schema::clubs());
        for (const QString club : {"1 Toledo", "2 Cuenca", "3 Ávila", "4 Soria"})
            fixtures::addClub(clubsDb, club.section(' ', 0, 0), club, club.section(' ', 1));
        store::Recordset clubs = clubsDb.openRecordset("select * from club ");
        const std::vector<listings::Listing> withStatuses = listings::allListings(db, clubs);
        const std::vector<listings::Listing> without = listings::allListings(left, clubs);
        QCOMPARE(withStatuses.size(), without.size());
        std::size_t apart = 0;
        for (std::size_t i = 0; i < without.size(); ++i) {
            listings::Listing ranked = withStatuses[i];
            apart += std::exchange(ranked.unranked, {}).size();
            QCOMPARE(listings::documentBytes(ranked), listings::documentBytes(without[i]));
        }
        QCOMPARE(apart, records::unrankedBirds(db).size());
    }
};

QTEST_GUILESS_MAIN(TestStatuses)
#include "test_statuses.moc"
