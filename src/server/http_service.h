#pragma once

// The show's HTTP service: the pages and the JSON API over one exhibition. It lives in the server's
// own thread with its own connection to the file; every request is answered there, so the windows
// never wait on a phone, and a phone waits on the windows only for the length of one write.
//
// Scores that arrive together are stored together: each in a savepoint of its own (a refused one
// leaves nothing), all under one commit, so that fifty phones sending at once wait for one sync
// of the disk, not for fifty. Each phone is answered only once its score is committed.

#include "server/access.h"
#include "server/api_json.h"
#include "server/board.h"
#include "store/database.h"

#include <QAbstractHttpServer>
#include <QHash>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QPointer>
#include <chrono>
#include <optional>
#include <vector>

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

    // The scores waiting for the next commit (the tests look at it).
    int pendingScores() const { return int(m_pending.size()); }

signals:
    void scoreStored(const server::ScoreNotice& notice);
    void devicesChanged(int count);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    // A score read and accepted for storing, with the way back to the phone that sent it.
    struct PendingScore {
        int cage = 0;
        ScoreBody score;
        QString from;
        QHttpServerResponder responder;
        QPointer<QTcpSocket> socket; // gone when the phone hung up while it waited
    };

    // Nothing when the answer comes later (a score waiting for its commit).
    std::optional<QHttpServerResponse> answer(const QHttpServerRequest& request, QTcpSocket* socket);
    std::optional<QHttpServerResponse> route(const QHttpServerRequest& request, QTcpSocket* socket,
                                             const QStringList& parts);
    // Nothing when the request carries the key or the session; otherwise the refusal.
    std::optional<QHttpServerResponse> refuseWithoutKey(const QHttpServerRequest& request);
    QHttpServerResponse enter(const QHttpServerRequest& request);
    QHttpServerResponse cageAnswer(int cage);
    std::optional<QHttpServerResponse> queueScore(const QHttpServerRequest& request, QTcpSocket* socket,
                                                  int cage);
    // Reads what has arrived meanwhile, then stores every score waiting.
    void storeArrived();
    // Stores every score waiting, under one commit, and answers their phones.
    void storePending();
    QHttpServerResponse storeOne(const PendingScore& pending, std::vector<ScoreNotice>& stored);
    const Board& board();
    void seen(const QHostAddress& address);

    store::Database m_db;
    store::Database m_clubs;
    store::Recordset m_clubRs;
    QByteArray m_key;
    QByteArray m_session;
    Throttle m_throttle;
    Board m_board;
    std::vector<PendingScore> m_pending;
    qint64 m_ownWrites = 0;
    QHash<QString, std::chrono::steady_clock::time_point> m_devices;
    int m_deviceCount = 0;
};

} // namespace server

Q_DECLARE_METATYPE(server::ScoreNotice)
