#include "base/formats.h"

#include <QTest>

class TestFormats : public QObject
{
    Q_OBJECT
private slots:
    void score_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal comma") << 85.5 << "85,50";
        QTest::newRow("thousands dot") << 1234.5 << "1.234,50";
        QTest::newRow("millions") << 1234567.891 << "1.234.567,89";
        QTest::newRow("no score") << 0.0 << "0,00";
        QTest::newRow("negative") << -3.0 << "-3,00";
        QTest::newRow("average of three judges") << (88.5 + 90.0 + 91.25) / 3 << "89,92";
        QTest::newRow("half cent up, not binary 1.00499") << 1.005 << "1,01";
        QTest::newRow("half cent up 2.675") << 2.675 << "2,68";
        QTest::newRow("half away from zero, negative") << -0.125 << "-0,13";
        QTest::newRow("just below half") << 0.004999 << "0,00";
        QTest::newRow("three figures") << 270.0 << "270,00";
    }
    void score()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formats::score(value), expected);
    }

    // Beyond what a double holds in cents (a number imported from a damaged sheet), the value is
    // already as round as it can be: it stays what it was.
    void hugeValuesStayAsTheyAre()
    {
        for (const double huge : {1e15 + 0.5, 1e20, 1.5e300, 1e308, -1e308})
            QCOMPARE(formats::roundScore(huge), huge);
    }

    void roundScoreAgreesWithTheDecimalValueEverywhere()
    {
        // What is stored must read back as exactly what is shown. Every value of three decimals
        // from 0 to 200: the third decimal decides, 5 rounds up, whichever way the binary
        // approximation of the value falls.
        for (int thousandths = 0; thousandths <= 200000; ++thousandths) {
            const double expected = ((thousandths + 5) / 10) / 100.0;
            if (formats::roundScore(thousandths / 1000.0) != expected)
                QFAIL(qPrintable(QStringLiteral("%1 / 1000 rounds wrong").arg(thousandths)));
            if (formats::roundScore(-thousandths / 1000.0) != -expected)
                QFAIL(qPrintable(QStringLiteral("-%1 / 1000 rounds wrong").arg(thousandths)));
        }
    }

    void parseNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("expected");
        QTest::newRow("comma") << "9,5" << true << 9.5;
        QTest::newRow("dot as typed elsewhere") << "9.5" << true << 9.5;
        QTest::newRow("grouped thousands") << "1.234,50" << true << 1234.5;
        QTest::newRow("blanks around") << "  27 " << true << 27.0;
        QTest::newRow("negative") << "-2,25" << true << -2.25;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("letters") << "12x" << false << 0.0;
        QTest::newRow("two commas") << "1,2,3" << false << 0.0;
        QTest::newRow("bad grouping") << "12.34,5" << false << 0.0;
        QTest::newRow("two dots without comma") << "1.234.567" << false << 0.0;
    }
    void parseNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, expected);
        const std::optional<double> value = formats::parseNumber(text);
        QCOMPARE(value.has_value(), ok);
        if (ok)
            QCOMPARE(*value, expected);
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("digits then letters") << "12x" << 12.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters only") << "abc" << 0.0;
        QTest::newRow("leading blanks and sign") << "  -3.5kg" << -3.5;
        QTest::newRow("second dot ends it") << "1.2.3" << 1.2;
        QTest::newRow("comma ends it") << "3,46" << 3.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(formats::leadingNumber(text), expected);
    }

    void masks_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("expected");
        QTest::newRow("mask pads left") << formats::mask("12", 5) << "   12";
        QTest::newRow("mask keeps longer text") << formats::mask("123456", 3) << "123456";
        QTest::newRow("fitLeft pads") << formats::fitLeft("ab", 4) << "ab  ";
        QTest::newRow("fitLeft cuts") << formats::fitLeft("abcdef", 4) << "abcd";
        QTest::newRow("fitRight pads") << formats::fitRight("7", 3) << "  7";
        QTest::newRow("fitRight cuts the end") << formats::fitRight("1.234,50", 5) << "1.234";
        QTest::newRow("plain whole") << formats::plainNumber(90) << "90";
        QTest::newRow("plain decimal") << formats::plainNumber(85.5) << "85,5";
    }
    void masks()
    {
        QFETCH(QString, result);
        QFETCH(QString, expected);
        QCOMPARE(result, expected);
    }
};

QTEST_GUILESS_MAIN(TestFormats)
#include "test_formats.moc"
