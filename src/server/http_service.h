#pragma once

// The show's HTTP service: the pages and the JSON API over one exhibition. It lives in the server's
// own thread with its own connection to the file; every request is answered there, so the windows
// never wait on a phone, and a phone waits on the windows only for the length of one write.

#include "server/access.h"
#include "server/board.h"
#include "store/database.h"

#include <QAbstractHttpServer>
#include <QHash>
#include <QHttpServerResponse>
#include <chrono>

class QHttpServerRequest;
class QTcpSocket;

namespace server
{

// A score stored from the network, for the organiser's window.
struct ScoreNotice {
    int jaula = 0;
    int juez = 0;
    double total = 0;
    QString from; // the device's address
};

class HttpService : public QAbstractHttpServer
{
    Q_OBJECT

public:
    HttpService(store::Database exhibition, store::Database clubs, const QString& key,
                QObject* parent = nullptr);
    ~HttpService() override;

signals:
    void scoreStored(const server::ScoreNotice& notice);
    void devicesChanged(int count);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    QHttpServerResponse answer(const QHttpServerRequest& request);
    QHttpServerResponse route(const QHttpServerRequest& request, const QStringList& parts);
    // Nothing when the request carries the key or the session; otherwise the refusal.
    std::optional<QHttpServerResponse> refuseWithoutKey(const QHttpServerRequest& request);
    QHttpServerResponse enter(const QHttpServerRequest& request);
    QHttpServerResponse cageAnswer(int cage);
    QHttpServerResponse addScore(const QHttpServerRequest& request, int cage);
    const Board& board();
    void seen(const QHostAddress& address);

    store::Database m_db;
    store::Database m_clubs;
    store::Recordset m_clubRs;
    QByteArray m_key;
    QByteArray m_session;
    Throttle m_throttle;
    Board m_board;
    qint64 m_ownWrites = 0;
    QHash<QString, std::chrono::steady_clock::time_point> m_devices;
    int m_deviceCount = 0;
};

} // namespace server

Q_DECLARE_METATYPE(server::ScoreNotice)
