#pragma once

// A phone, as the tests see it: requests over loopback through Qt's own HTTP client, and
// connections written by hand for what a hostile or odd client sends.

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTimer>

namespace httptest
{

struct Answer {
    int status = 0;
    QByteArray body;
    QList<QNetworkReply::RawHeaderPair> headers;

    QJsonDocument json() const { return QJsonDocument::fromJson(body); }
    QString error() const { return json().object().value(QStringLiteral("error")).toString(); }
    QByteArray header(const QByteArray& name) const
    {
        for (const auto& [key, value] : headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
};

inline void noProxy()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

inline QNetworkRequest request(quint16 port, const QString& path, const QByteArray& authorization = {})
{
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    if (!authorization.isEmpty())
        request.setRawHeader("Authorization", authorization);
    return request;
}

inline Answer finish(QNetworkReply* reply)
{
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
                  reply->rawHeaderPairs()};
    reply->deleteLater();
    return answer;
}

inline Answer send(QNetworkAccessManager& net, const QByteArray& method, const QNetworkRequest& request,
                   const QByteArray& body = {})
{
    return finish(net.sendCustomRequest(request, method, body));
}

inline QByteArray get(const QByteArray& path, const QByteArray& extra = {})
{
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + "\r\n";
}

// One connection written by hand, from a loopback source address of its own (127.0.0.0/8 gives
// a test as many devices as it needs).
class RawConnection
{
public:
    explicit RawConnection(quint16 port, const QString& source = QStringLiteral("127.0.0.1"))
    {
        m_socket.setProxy(QNetworkProxy::NoProxy);
        m_socket.bind(QHostAddress(source));
        m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        m_socket.waitForConnected(5000);
    }

    void write(const QByteArray& bytes)
    {
        m_socket.write(bytes);
        m_socket.waitForBytesWritten(5000);
    }

    // One answer: its status (-1 when none came), headers and body (by Content-Length).
    Answer read(int timeoutMs = 5000)
    {
        const QDeadlineTimer deadline(timeoutMs);
        const auto more = [&] {
            return m_socket.bytesAvailable() > 0 || (m_socket.state() == QAbstractSocket::ConnectedState &&
                                                     m_socket.waitForReadyRead(int(deadline.remainingTime())));
        };
        while (!m_buffer.contains("\r\n\r\n") && more())
            m_buffer += m_socket.readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return {-1, {}, {}};
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        const QList<QByteArray> status = lines.front().split(' ');
        Answer answer{status.size() >= 2 ? status[1].toInt() : -1, {}, {}};
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            answer.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
        }
        const qsizetype length = answer.header("Content-Length").toLongLong();
        m_buffer.remove(0, end + 4);
        while (m_buffer.size() < length && more())
            m_buffer += m_socket.readAll();
        answer.body = m_buffer.left(length);
        m_buffer.remove(0, length);
        return answer;
    }

    // Whether the server closes the connection within timeoutMs.
    bool closedWithin(int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired() && m_socket.state() == QAbstractSocket::ConnectedState)
            if (m_socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
                m_socket.readAll();
        return m_socket.state() != QAbstractSocket::ConnectedState;
    }

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
};

// The status of the answer to a request written by hand (a path with ".."), -1 when none came.
inline int rawStatus(quint16 port, const QByteArray& requestBytes)
{
    RawConnection connection(port);
    connection.write(requestBytes);
    return connection.read().status;
}

} // namespace httptest
