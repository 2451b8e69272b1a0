// The group D list: ranking by contests and coefficient per category, and what each column shows.

#include "listings/group_d_list.h"
#include "support/fixtures.h"

#include <QDir>

namespace
{

struct Racer {
    int jaula;
    int conc;
    double coef;
};

} // namespace

Q_DECLARE_METATYPE(QList<Racer>)

class TestGroupDList : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;

    void addRacer(int jaula, const QString& categ, int conc, double coef, const QVariantMap& more = {})
    {
        QVariantMap fields{{"categ", categ}, {"conc", conc}, {"coef", coef}};
        fields.insert(more);
        fixtures::addBird(m_db, jaula, "D", "M", fields);
    }

    QStringList cagesOf(const QString& categ)
    {
        QStringList cages;
        for (const listings::GroupDRow& row : listings::llenarListaGrupoD(m_db, "D", categ))
            cages << row.jaula;
        return cages;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(QDir(m_dir->path()).filePath("expo.mdb"), store::schema::exhibition());
    }

    void ranking_data()
    {
        QTest::addColumn<QString>("categ");
        QTest::addColumn<QList<Racer>>("racers"); // in store order
        QTest::addColumn<QStringList>("cages");   // in the list's order
        const QList<Racer> equalContests{{1, 12, 1.5}, {2, 12, 2.0}};
        QTest::newRow("B: higher coefficient first") << "B" << equalContests << QStringList{"2", "1"};
        QTest::newRow("A: higher coefficient first") << "A" << equalContests << QStringList{"2", "1"};
        QTest::newRow("C: lower coefficient first") << "C" << equalContests << QStringList{"1", "2"};
        QTest::newRow("E: lower coefficient first") << "E" << equalContests << QStringList{"1", "2"};
        const QList<Racer> moreContests{{1, 12, 9.0}, {2, 13, 0.5}, {3, 12, 0.1}};
        QTest::newRow("B: 13 contests above every 12") << "B" << moreContests << QStringList{"2", "1", "3"};
        QTest::newRow("D: 13 contests above every 12") << "D" << moreContests << QStringList{"2", "3", "1"};
        QTest::newRow("equal in both: store order")
            << "C" << QList<Racer>{{5, 4, 1.0}, {3, 4, 1.0}, {9, 4, 1.0}} << QStringList{"5", "3", "9"};
    }
    void ranking()
    {
        QFETCH(QString, categ);
        QFETCH(QList<Racer>, racers);
        QFETCH(QStringList, cages);
        for (const Racer& racer : racers)
            addRacer(racer.jaula, categ, racer.conc, racer.coef);
        QCOMPARE(cagesOf(categ), cages);
    }

    void columnsOfARow()
    {
        addRacer(12, "B", 7, 3.456, {{"anilla", "1234567"}, {"año", "2005"}, {"nombre", "Ángel Muñoz"}});
        addRacer(13, "B", 6, 1234.5, {{"anilla", " 12"}, {"año", "05"}, {"nombre", "Luis"}});
        const std::vector<listings::GroupDRow> rows = listings::llenarListaGrupoD(m_db, "D", "B");
        QCOMPARE(rows.size(), std::size_t(2));
        QCOMPARE(rows[0].orden, 1);
        QCOMPARE(rows[0].anilla, "05-1234567");
        QCOMPARE(rows[0].conc, "7");
        QCOMPARE(rows[0].coef, "3,46");
        QCOMPARE(rows[0].propietario, "Ángel Muñoz");
        QCOMPARE(rows[0].jaula, "12");
        QCOMPARE(rows[1].orden, 2);
        QCOMPARE(rows[1].anilla, "- 12"); // a two-character year gives nothing before "-"
        QCOMPARE(rows[1].coef, "1.234,50");
    }

    void otherCategoriesAndGroupsAreLeftOut()
    {
        addRacer(1, "A", 5, 1);
        addRacer(2, "B", 5, 1);
        fixtures::addBird(m_db, 3, "A", "M", {{"categ", "A"}, {"conc", 9}});
        addRacer(4, "A", 3, 1);
        QCOMPARE(cagesOf("A"), (QStringList{"1", "4"}));
        QVERIFY(listings::llenarListaGrupoD(m_db, "D", "E").empty());
    }
};

QTEST_GUILESS_MAIN(TestGroupDList)
#include "test_group_d_list.moc"
