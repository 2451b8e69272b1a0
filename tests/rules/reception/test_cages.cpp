// The cage a bird is received in: the number typed and the one proposed. A bird's deletion with
// its cage's scores, failed at each write: test_all_or_nothing.

#include "rules/reception/cage_number.h"

#include <QTest>
#include <algorithm>

namespace
{

// "1-4,6,9-11": the cage of each bird received, one entry per bird.
std::vector<int> cages(const QString& listed)
{
    std::vector<int> received;
    for (const QString& part : listed.split(u',', Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(u'-');
        for (int cage = ends.first().toInt(); cage <= ends.last().toInt(); ++cage)
            received.push_back(cage);
    }
    return received;
}

} // namespace

class TestCages : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("cage"); // 0: refused
        QTest::newRow("first") << "1" << 1;
        QTest::newRow("last") << "999" << 999;
        QTest::newRow("leading zeros") << "012" << 12;
        QTest::newRow("blanks around") << " 7 " << 7;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("a cage the score rows cannot hold") << "1000" << 0;
        QTest::newRow("negative") << "-5" << 0;
        QTest::newRow("decimal") << "1,5" << 0;
        QTest::newRow("letters") << "12x" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("huge") << "99999999999" << 0;
    }
    void parse()
    {
        QFETCH(QString, typed);
        QFETCH(int, cage);
        QCOMPARE(reception::parseCage(typed).value_or(0), cage);
    }

    void proposal_data()
    {
        QTest::addColumn<QString>("received"); // the cages of the birds received
        QTest::addColumn<int>("proposed");     // 0: none
        QTest::newRow("first bird") << "" << 1;
        QTest::newRow("12 birds, numbered as they came") << "1-10,30,31" << 13;
        QTest::newRow("count plus one free, higher cages taken") << "998,999" << 3;
        QTest::newRow("after deleting cage 5 of 13: 13 taken, 14 free") << "1-4,6-13" << 14;
        QTest::newRow("count plus one and the next taken") << "1-4,6-17" << 18;
        QTest::newRow("a show with gaps") << "2,4,6,8,10" << 7;
        QTest::newRow("gaps only below: the highest free below") << "1-3,5-6,8-999" << 7;
        QTest::newRow("last free cage") << "1-998" << 999;
        QTest::newRow("full show of 999 cages") << "1-999" << 0;
        QTest::newRow("full, one bird twice: 1000 would be out of range") << "1-999,500" << 0;
        QTest::newRow("999 birds, one cage twice: the one free cage") << "1-997,997,999" << 998;
        QTest::newRow("stored numbers that are no cage do not take one") << "0,1000,2" << 4;
        QTest::newRow("a gap below only, counted from above 999") << "1-499,501-999,700" << 500;
    }
    void proposal()
    {
        QFETCH(QString, received);
        const std::optional<int> proposed = reception::proposeCage(cages(received));
        QTEST(proposed.value_or(0), "proposed");
        // Whatever the show, never a cage in use and never one outside 1..999.
        if (proposed) {
            const std::vector<int> taken = cages(received);
            QVERIFY(std::find(taken.begin(), taken.end(), *proposed) == taken.end());
            QVERIFY(*proposed >= reception::firstCage && *proposed <= reception::lastCage);
        }
    }
};

QTEST_GUILESS_MAIN(TestCages)
#include "test_cages.moc"
