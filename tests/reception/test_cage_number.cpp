#include "reception/cage_number.h"

#include <QTest>

class TestCageNumber : public QObject
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
};

QTEST_GUILESS_MAIN(TestCageNumber)
#include "test_cage_number.moc"
