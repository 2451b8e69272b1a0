// The pieces of the show's network that need no server: the key's comparison, the cookie, the
// slowing down of wrong keys, and the QR code of the address.

#include "output/qr_code.h"
#include "server/access.h"
#include "server/json_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QTest>

using Clock = server::Throttle::Clock;

class TestAccessQr : public QObject
{
    Q_OBJECT

private slots:
    void sameKey_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("same");
        QTest::newRow("equal") << QByteArray("482916") << QByteArray("482916") << true;
        QTest::newRow("last digit") << QByteArray("482917") << QByteArray("482916") << false;
        QTest::newRow("first digit") << QByteArray("582916") << QByteArray("482916") << false;
        QTest::newRow("prefix") << QByteArray("4829") << QByteArray("482916") << false;
        QTest::newRow("longer") << QByteArray("4829160") << QByteArray("482916") << false;
        QTest::newRow("trailing nul") << QByteArray("482916\0", 7) << QByteArray("482916") << false;
        QTest::newRow("empty") << QByteArray() << QByteArray("482916") << false;
        QTest::newRow("both empty") << QByteArray() << QByteArray() << true;
        QTest::newRow("high bytes") << QByteArray("\xff\x80") << QByteArray("\x7f\x00", 2) << false;
    }

    void sameKey()
    {
        QFETCH(QByteArray, given);
        QFETCH(QByteArray, expected);
        QFETCH(bool, same);
        QCOMPARE(server::sameKey(given, expected), same);
    }

    void drawnKeys()
    {
        // Ten characters of 32 without look-alikes: 50 bits. Every character of the alphabet
        // comes up, and none of 0, O, 1, I.
        QSet<QChar> seen;
        for (int i = 0; i < 400; ++i) {
            const QString key = server::drawKey();
            QCOMPARE(key.size(), 10);
            QCOMPARE(server::keyRefusal(key), QString());
            for (const QChar c : key)
                seen.insert(c);
        }
        QCOMPARE(seen.size(), 32);
        for (const QChar lookAlike : QStringLiteral("0O1I"))
            QVERIFY(!seen.contains(lookAlike));
        // Shown in groups, typed in any case and with or without its dash: the same key.
        QCOMPARE(server::shownKey(QStringLiteral("K7PXM2QR9T")), QStringLiteral("K7PXM-2QR9T"));
        QCOMPARE(server::canonicalKey(QStringLiteral("k7pxm-2qr9t")), QByteArray("K7PXM2QR9T"));
        QCOMPARE(server::canonicalKey(QStringLiteral(" K7PXM 2QR9T")), QByteArray("K7PXM2QR9T"));
        // A session outlives a restart with the same key and ends with another.
        QCOMPARE(server::sessionToken("K7PXM2QR9T"), server::sessionToken("K7PXM2QR9T"));
        QVERIFY(server::sessionToken("K7PXM2QR9T") != server::sessionToken("K7PXM2QR9U"));
    }

    void cookieValue_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("alone") << QByteArray("sesion=abc") << QByteArray("abc");
        QTest::newRow("among others") << QByteArray("a=1; sesion=abc; b=2") << QByteArray("abc");
        QTest::newRow("name as a suffix") << QByteArray("misesion=abc") << QByteArray();
        QTest::newRow("name as a value") << QByteArray("x=sesion=abc") << QByteArray();
        QTest::newRow("none") << QByteArray() << QByteArray();
    }

    void cookieValue()
    {
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, value);
        QCOMPARE(server::cookieValue(header, "sesion"), value);
    }

    // Five wrong keys are free; then each further one doubles the wait, up to a minute; a right
    // key clears the count; another address is not held up.
    void throttle()
    {
        server::Throttle throttle;
        const QHostAddress phone(QStringLiteral("192.168.1.30"));
        const QHostAddress sameAsMapped(QStringLiteral("::ffff:192.168.1.30"));
        const QHostAddress other(QStringLiteral("192.168.1.31"));
        const Clock::time_point t0 = Clock::now();
        for (int i = 0; i < 4; ++i) {
            throttle.wrongKey(phone, t0);
            QCOMPARE(throttle.wait(phone, t0), std::nullopt);
        }
        const int expectedWaits[] = {1, 2, 4, 8, 16, 32, 60, 60};
        Clock::time_point now = t0;
        for (const int seconds : expectedWaits) {
            throttle.wrongKey(sameAsMapped, now);
            QCOMPARE(throttle.wait(phone, now), std::optional<int>(seconds));
            QCOMPARE(throttle.wait(other, now), std::nullopt);
            now += std::chrono::seconds(seconds) - std::chrono::milliseconds(1);
            QCOMPARE(throttle.wait(phone, now), std::optional<int>(1));
            now += std::chrono::milliseconds(1);
            QCOMPARE(throttle.wait(phone, now), std::nullopt);
        }
        throttle.rightKey(phone);
        throttle.wrongKey(phone, now);
        QCOMPARE(throttle.wait(phone, now), std::nullopt);
    }

    // A device is an IPv4 address or an IPv6 /64: a phone that draws new addresses in its network
    // is still the one device.
    void throttleByDevice()
    {
        server::Throttle throttle;
        const Clock::time_point now = Clock::now();
        for (int i = 0; i < server::Throttle::freeWrongKeys; ++i)
            throttle.wrongKey(QHostAddress(QStringLiteral("2001:db8:1:2::%1").arg(i + 1)), now);
        QCOMPARE(throttle.wait(QHostAddress(QStringLiteral("2001:db8:1:2:ffff::9")), now), std::optional<int>(1));
        QCOMPARE(throttle.wait(QHostAddress(QStringLiteral("2001:db8:1:3::1")), now), std::nullopt);
        QCOMPARE(throttle.wait(QHostAddress(QStringLiteral("192.168.1.31")), now), std::nullopt);
    }

    // Past twenty wrong keys in a minute from all devices together, each key waits its turn,
    // three seconds apart, and one whose turn is over fifteen seconds away is refused; a minute
    // later the hall is free again.
    void throttleForTheHall()
    {
        server::Throttle throttle;
        const Clock::time_point t0 = Clock::now();
        for (int i = 0; i < server::Throttle::hallWrongKeys; ++i) {
            QCOMPARE(throttle.turn(t0), std::optional(t0));
            throttle.wrongKey(QHostAddress(QStringLiteral("10.0.%1.1").arg(i)), t0);
        }
        QCOMPARE(throttle.lastMinute(t0), 20);
        for (int k = 0; k <= 5; ++k)
            QCOMPARE(throttle.turn(t0), std::optional(t0 + k * server::Throttle::hallSpacing));
        QCOMPARE(throttle.turn(t0), std::nullopt);
        const Clock::time_point later = t0 + std::chrono::minutes(1);
        QCOMPARE(throttle.lastMinute(later), 0);
        QCOMPARE(throttle.turn(later), std::optional(later));
    }

    void keyRefusal_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("taken");
        QTest::newRow("eight characters") << "Exposici" << true;
        QTest::newRow("seven") << "1234567" << false;
        QTest::newRow("a shown key, with its dash") << "K7PXM-2QR9T" << true;
        QTest::newRow("blanks do not count") << "1234 567" << false;
        QTest::newRow("a sign") << "clave_123" << false;
        QTest::newRow("an accent") << QString::fromUtf8("contraseña") << false;
        QTest::newRow("32 characters") << QString(32, u'a') << true;
        QTest::newRow("33") << QString(33, u'a') << false;
    }

    // A key the organiser types has at least eight letters or digits.
    void keyRefusal()
    {
        QFETCH(QString, key);
        QFETCH(bool, taken);
        QCOMPARE(server::keyRefusal(key).isEmpty(), taken);
    }

    void jsonText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::newRow("plain") << "Grupo A Machos" << 90.0;
        QTest::newRow("quotes and backslash") << R"(Peña "La Paloma" \ 2)" << 8.5;
        QTest::newRow("line ends and a tab") << "a\nb\r\tc" << 0.1 + 0.2;
        QTest::newRow("control characters") << QString(QChar(1)) + QChar(0x1f) << 1e21;
        QTest::newRow("accents") << QString::fromUtf8("Ávila, Ñ") << -27.75;
        QTest::newRow("the smallest") << "" << 5e-324;
    }

    // What the server writes as text reads back, with Qt's reader, as the same string and the
    // same double.
    void jsonText()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        server::JsonText json;
        json.beginObject().key("t").value(text).key("n").value(number).key("a").beginArray().value(1).null().endArray().endObject();
        QJsonParseError error;
        const QJsonObject read = QJsonDocument::fromJson(json.text(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(read.value(QStringLiteral("t")).toString(), text);
        QCOMPARE(read.value(QStringLiteral("n")).toDouble(), number);
        QCOMPARE(read.value(QStringLiteral("a")).toArray(), (QJsonArray{1, QJsonValue()}));
    }

    void qrCode_data()
    {
        // The modules of a side by the QR standard's byte capacity at level M: version 1 (21
        // modules) holds 14 bytes, 2 (25) 26, 3 (29) 42, 4 (33) 62.
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("modules");
        QTest::newRow("one character") << "A" << 21;
        QTest::newRow("14 bytes") << QString(14, u'x') << 21;
        QTest::newRow("15 bytes") << QString(15, u'x') << 25;
        QTest::newRow("an address") << "http://192.168.100.200:65535/" << 29;
        QTest::newRow("26 bytes") << QString(26, u'x') << 25;
        QTest::newRow("accents count as two bytes") << QString(13, u'ñ') << 25;
        QTest::newRow("43 bytes") << QString(43, u'x') << 33;
    }

    // One pixel per module, four white modules of quiet zone on every side, and the finder
    // patterns of the three corners where a reader looks for them.
    void qrCode()
    {
        QFETCH(QString, text);
        QFETCH(int, modules);
        const QImage code = output::qrCode(text);
        QCOMPARE(code.size(), QSize(modules + 8, modules + 8));
        const auto black = [&](int x, int y) { return qGray(code.pixel(x, y)) < 128; };
        for (int i = 0; i < code.width(); ++i)
            for (int edge = 0; edge < 4; ++edge) {
                QVERIFY(!black(i, edge) && !black(i, code.height() - 1 - edge));
                QVERIFY(!black(edge, i) && !black(code.width() - 1 - edge, i));
            }
        for (const auto& [ox, oy] :
             {std::pair{4, 4}, std::pair{4 + modules - 7, 4}, std::pair{4, 4 + modules - 7}}) {
            for (int k = 0; k < 7; ++k) {
                QVERIFY(black(ox + k, oy) && black(ox + k, oy + 6) && black(ox, oy + k) &&
                        black(ox + 6, oy + k));
            }
            for (int k = 1; k < 6; ++k)
                QVERIFY(!black(ox + k, oy + 1) && !black(ox + 1, oy + k));
            for (int y = 2; y < 5; ++y)
                for (int x = 2; x < 5; ++x)
                    QVERIFY(black(ox + x, oy + y));
        }
    }

    void qrCodeOfNothing() { QVERIFY(output::qrCode(QString()).isNull()); }
};

QTEST_GUILESS_MAIN(TestAccessQr)
#include "test_access_qr.moc"
