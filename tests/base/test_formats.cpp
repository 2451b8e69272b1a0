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
    }
    void score()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formats::score(value), expected);
    }

    // What is stored must read back as what is shown: every value of three decimals from 0 to
    // 200, whichever way its binary approximation falls, rounds on its third decimal. Beyond what
    // a double holds in cents (a damaged sheet's number), a value stays as it is.
    void roundScoreAgreesWithTheDecimalValue()
    {
        for (int thousandths = 0; thousandths <= 200000; ++thousandths) {
            const double expected = ((thousandths + 5) / 10) / 100.0;
            if (formats::roundScore(thousandths / 1000.0) != expected ||
                formats::roundScore(-thousandths / 1000.0) != -expected)
                QFAIL(qPrintable(QStringLiteral("±%1 / 1000 rounds wrong").arg(thousandths)));
        }
        for (const double huge : {1e15 + 0.5, 1e20, 1e308, -1e308})
            QCOMPARE(formats::roundScore(huge), huge);
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
        QCOMPARE(formats::parseNumber(text), ok ? std::optional<double>(expected) : std::nullopt);
    }

    // The texts of the listings and of the Val of the original's queries.
    void texts_data()
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
        QTest::newRow("Val: digits then letters")
            << formats::plainNumber(formats::leadingNumber("12x")) << "12";
        QTest::newRow("Val: letters only") << formats::plainNumber(formats::leadingNumber("abc")) << "0";
        QTest::newRow("Val: blanks and sign")
            << formats::plainNumber(formats::leadingNumber("  -3.5kg")) << "-3,5";
        QTest::newRow("Val: a second dot ends it")
            << formats::plainNumber(formats::leadingNumber("1.2.3")) << "1,2";
        QTest::newRow("Val: a comma ends it") << formats::plainNumber(formats::leadingNumber("3,46")) << "3";
    }
    void texts()
    {
        QFETCH(QString, result);
        QFETCH(QString, expected);
        QCOMPARE(result, expected);
    }
};

QTEST_GUILESS_MAIN(TestFormats)
#include "test_formats.moc"
