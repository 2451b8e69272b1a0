#pragma once

// A phone, as the tests see it: requests over loopback through Qt's own HTTP client, one answer at
// a time, or many sent at once.

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

// A request written by hand on a socket, for what Qt's client would not send (a path with "..").
// The status code of the answer.
inline int rawStatus(quint16 port, const QByteArray& requestBytes)
{
    QTcpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(5000))
        return -1;
    socket.write(requestBytes);
    QByteArray answer;
    while (!answer.contains("\r\n") && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    const QList<QByteArray> statusLine = answer.left(answer.indexOf("\r\n")).split(' ');
    return statusLine.size() >= 2 ? statusLine[1].toInt() : -1;
}

} // namespace httptest
