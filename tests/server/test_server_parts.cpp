// The pieces of the show's server on their own: the key's comparison, the cookie, the slowing
// down of wrong keys, the JSON written and the score read; and the connections against what a
// client on the hall's network may send (the transport alone, its times shortened, answers every
// request with the size of its body).

#include "http_client.h"
#include "server/access.h"
#include "server/api_json.h"
#include "server/http_transport.h"
#include "server/json_text.h"

#include <QJsonArray>
#include <QTest>

using Clock = server::Throttle::Clock;
using httptest::RawConnection;

namespace
{

QByteArray post(qint64 declared, const QByteArray& body)
{
    return "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + QByteArray::number(declared) + "\r\n\r\n" +
           body;
}

QByteArray chunked(int chunks, int size)
{
    QByteArray request = "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (int i = 0; i < chunks; ++i)
        request += QByteArray::number(size, 16) + "\r\n" + QByteArray(size, 'a') + "\r\n";
    return request + "0\r\n\r\n";
}

} // namespace

class TestServerParts : public QObject
{
    Q_OBJECT

    std::unique_ptr<server::HttpTransport> m_transport;
    quint16 m_port = 0;

    void start(const server::TransportLimits& limits)
    {
        m_transport = std::make_unique<server::HttpTransport>(
            [](const server::ExchangePtr& exchange) {
                exchange->answer({200, "text/plain", QByteArray::number(exchange->request().body.size()), {}});
            },
            limits);
        m_port = m_transport->listen(0);
        QVERIFY(m_port != 0);
    }

    // A normal request from a device of its own, answered within a second.
    void stillAnswers()
    {
        QElapsedTimer clock;
        clock.start();
        RawConnection phone(m_port, QStringLiteral("127.0.0.200"));
        phone.write(httptest::get("/"));
        QCOMPARE(phone.read(1000).status, 200);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

private slots:
    void cleanup() { m_transport.reset(); }

    void sameKey_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("same");
        const QByteArray expected = "482916";
        QTest::newRow("equal") << expected << expected << true;
        QTest::newRow("last digit") << QByteArray("482917") << expected << false;
        QTest::newRow("prefix") << QByteArray("4829") << expected << false;
        QTest::newRow("longer") << QByteArray("4829160") << expected << false;
        QTest::newRow("trailing nul") << QByteArray("482916\0", 7) << expected << false;
        QTest::newRow("empty") << QByteArray() << expected << false;
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
    // key clears the count; another device is not held up. A device is an IPv4 address or an IPv6
    // /64: a phone that draws new addresses in its network is still the one device.
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
        for (int i = 0; i < server::Throttle::freeWrongKeys; ++i)
            throttle.wrongKey(QHostAddress(QStringLiteral("2001:db8:1:2::%1").arg(i + 1)), now);
        QCOMPARE(throttle.wait(QHostAddress(QStringLiteral("2001:db8:1:2:ffff::9")), now), std::optional<int>(1));
        QCOMPARE(throttle.wait(QHostAddress(QStringLiteral("2001:db8:1:3::1")), now), std::nullopt);
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
        json.beginObject().key("t").value(text).key("n").value(number);
        json.key("a").beginArray().value(1).null().endArray().endObject();
        QJsonParseError error;
        const QJsonObject read = QJsonDocument::fromJson(json.text(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(read.value(QStringLiteral("t")).toString(), text);
        QCOMPARE(read.value(QStringLiteral("n")).toDouble(), number);
        QCOMPARE(read.value(QStringLiteral("a")).toArray(), (QJsonArray{1, QJsonValue()}));
    }

    // A score sent by a phone: {"juez": whole number, "puntos": [five numbers]}, nothing else;
    // the ranges are the judging rules' to check.
    void scoreBody_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("read"); // the judge and scores, or "-": refused
        QTest::newRow("a score") << QByteArray(R"({"juez":3,"puntos":[8.5,8,17,27,30]})") << "3: 8.5 8 17 27 30";
        QTest::newRow("broken") << QByteArray("{juez:3,") << "-";
        QTest::newRow("an array") << QByteArray("[3,8,8,17,27,27]") << "-";
        QTest::newRow("sql in the judge") << QByteArray(R"({"juez":"1; DELETE FROM Puntos","puntos":[8,8,17,27,27]})")
                                          << "-";
        QTest::newRow("texts for scores") << QByteArray(R"({"juez":3,"puntos":["8,5","8","17","27","27"]})") << "-";
        QTest::newRow("four scores") << QByteArray(R"({"juez":3,"puntos":[8,8,17,27]})") << "-";
        QTest::newRow("six scores") << QByteArray(R"({"juez":3,"puntos":[8,8,17,27,27,1]})") << "-";
        QTest::newRow("judge 1.5") << QByteArray(R"({"juez":1.5,"puntos":[8,8,17,27,27]})") << "-";
        QTest::newRow("no judge") << QByteArray(R"({"puntos":[8,8,17,27,27]})") << "-";
    }
    void scoreBody()
    {
        QFETCH(QByteArray, body);
        const auto read = server::readScoreBody(body);
        QString seen = "-";
        if (const server::ScoreBody* score = std::get_if<server::ScoreBody>(&read)) {
            seen = QString::number(score->juez) + ':';
            for (const double puntos : score->puntos)
                seen += ' ' + QString::number(puntos);
        } else {
            QCOMPARE(std::get<QString>(read),
                     "La puntuación debe enviarse como {\"juez\": número, \"puntos\": [cinco números]}.");
        }
        QTEST(seen, "read");
    }

    void requests_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("closes");
        const auto row = [](const char* name, const QByteArray& request, int status, const QByteArray& body = {},
                            bool closes = true) { QTest::newRow(name) << request << status << body << closes; };
        const qint64 limit = 64 * 1024;
        row("an 800 MiB body declared", post(800ll << 20, QByteArray(1000, 'a')), 413);
        row("a body of 64 KiB", post(limit, QByteArray(limit, 'a')), 200, QByteArray::number(limit), false);
        row("a body a byte over", post(limit + 1, QByteArray(limit + 1, 'a')), 413);
        row("a streamed body over", chunked(5, 16 * 1024), 413);
        row("a streamed body within", chunked(3, 16 * 1024), 200, "49152", false);
        row("headers over the limit", httptest::get("/", "X-Relleno: " + QByteArray(20 * 1024, 'a') + "\r\n"), 431);
        row("a length that is no number", post(0, {}).replace("Length: 0", "Length: mucho"), 400);
        row("HTTP/1.0", "GET / HTTP/1.0\r\n\r\n", 200, "0");
        row("Connection: close", httptest::get("/", "Connection: close\r\n"), 200, "0");
        row("kept alive", httptest::get("/"), 200, "0", false);
    }

    // The answer, and whether the connection ends with it: a body refused is never read on.
    void requests()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, closes);
        start({});
        RawConnection client(m_port);
        client.write(request);
        const httptest::Answer answer = client.read();
        QCOMPARE(answer.status, status);
        if (status == 200)
            QCOMPARE(answer.body, body);
        QCOMPARE(client.closedWithin(500), closes);
        stillAnswers();
    }

    // Headers sent a byte at a time are cut off at their limit, and a connection that sends
    // nothing at its own; neither holds up anyone else.
    void slowAndIdle()
    {
        server::TransportLimits limits;
        limits.headerSeconds = 1;
        limits.idleSeconds = 2;
        start(limits);
        RawConnection idle(m_port, QStringLiteral("127.0.0.2"));
        RawConnection slow(m_port, QStringLiteral("127.0.0.3"));
        slow.write("GET / HTTP/1.1\r\n");
        QElapsedTimer clock;
        clock.start();
        bool slowClosed = false;
        for (int i = 0; i < 12 && !slowClosed; ++i) {
            slow.write("X");
            slowClosed = slow.closedWithin(250);
            stillAnswers();
        }
        QVERIFY(slowClosed);
        QVERIFY2(clock.elapsed() >= 900 && clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!idle.closedWithin(100));
        QVERIFY(idle.closedWithin(3000));
    }

    // A device holds a few connections at most; when the machine holds its share, the longest
    // idle one makes room, so that idle connections by the hundred from many devices never shut
    // out a phone.
    void manyConnections()
    {
        server::TransportLimits limits;
        limits.perDevice = 8;
        limits.softConnections = 60;
        start(limits);
        std::vector<std::unique_ptr<RawConnection>> held;
        for (int i = 0; i < 8; ++i)
            held.push_back(std::make_unique<RawConnection>(m_port, QStringLiteral("127.0.0.2")));
        RawConnection ninth(m_port, QStringLiteral("127.0.0.2"));
        QVERIFY(ninth.closedWithin(1000));
        QVERIFY(!held.front()->closedWithin(100));
        for (int device = 0; device < 100; ++device)
            held.push_back(std::make_unique<RawConnection>(m_port, QStringLiteral("127.0.1.%1").arg(device + 1)));
        stillAnswers();
        QVERIFY2(m_transport->connections() <= limits.softConnections + 1,
                 qPrintable(QString::number(m_transport->connections())));
    }
};

QTEST_GUILESS_MAIN(TestServerParts)
#include "test_server_parts.moc"
