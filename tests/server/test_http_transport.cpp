// The server's connections against what a client on the hall's network may send. The transport
// alone, its times shortened, answers every request with the size of its body.

#include "http_client.h"
#include "server/http_transport.h"

#include <QTest>

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

class TestHttpTransport : public QObject
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

    void requests_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("closes");
        const qint64 limit = 64 * 1024;
        QTest::newRow("an 800 MiB body declared") << post(800ll << 20, QByteArray(1000, 'a')) << 413
                                                  << QByteArray() << true;
        QTest::newRow("a body of 64 KiB") << post(limit, QByteArray(limit, 'a')) << 200
                                          << QByteArray::number(limit) << false;
        QTest::newRow("a body a byte over") << post(limit + 1, QByteArray(limit + 1, 'a')) << 413 << QByteArray()
                                            << true;
        QTest::newRow("a streamed body over") << chunked(5, 16 * 1024) << 413 << QByteArray() << true;
        QTest::newRow("a streamed body within") << chunked(3, 16 * 1024) << 200 << QByteArray("49152") << false;
        QTest::newRow("headers over the limit")
            << httptest::get("/", "X-Relleno: " + QByteArray(20 * 1024, 'a') + "\r\n") << 431 << QByteArray()
            << true;
        QTest::newRow("a length that is no number") << post(0, {}).replace("Length: 0", "Length: mucho") << 400
                                                    << QByteArray() << true;
        QTest::newRow("HTTP/1.0") << QByteArray("GET / HTTP/1.0\r\n\r\n") << 200 << QByteArray("0") << true;
        QTest::newRow("Connection: close") << httptest::get("/", "Connection: close\r\n") << 200 << QByteArray("0")
                                           << true;
        QTest::newRow("kept alive") << httptest::get("/") << 200 << QByteArray("0") << false;
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

QTEST_GUILESS_MAIN(TestHttpTransport)
#include "test_http_transport.moc"
