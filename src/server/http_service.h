#pragma once

// The show's HTTP service: the pages and the JSON API over one exhibition. It lives in the server's
// own thread with its own connection to the file; every request read whole by the transport is
// answered there, so the windows never wait on a phone, and a phone waits on the windows only for
// the length of one write. The board and the listings are answered by the BoardKeeper's thread.
//
// Scores that arrive together are stored together: each in a savepoint of its own (a refused one
// leaves nothing), all under one commit, so that fifty phones sending at once wait for one sync
// of the disk, not for fifty. Each phone is answered only once its score is committed.

#include "base/error.h"
#include "server/access.h"
#include "server/api_json.h"
#include "server/board_keeper.h"
#include "server/http_exchange.h"
#include "store/database.h"

#include <QHash>
#include <QObject>
#include <chrono>
#include <functional>
#include <vector>

namespace server
{

// A score stored from the network, for the organiser's window.
struct ScoreNotice {
    int jaula = 0;
    int juez = 0;
    double total = 0;
    QString from; // the device's address
};

class HttpService : public QObject
{
    Q_OBJECT

public:
    // The keeper may live in another thread; it is reached through queued calls.
    HttpService(store::Database exhibition, const QString& key, BoardKeeper* keeper, QObject* parent = nullptr);
    ~HttpService() override;

    // Answers a request, now or later. Called in the service's thread.
    void handle(const server::ExchangePtr& exchange);

    // A new key: every session of the old one ends.
    void changeKey(const QString& key);

    // Stores every score waiting, under one commit, and answers their phones.
    void storePending();

    // The scores waiting for the next commit (the tests look at it).
    int pendingScores() const { return int(m_pending.size()); }

signals:
    void scoreStored(const server::ScoreNotice& notice);
    void devicesChanged(int count);
    void wrongKeysChanged(int lastMinute);
    // A store failure in full, for the organiser (the phones are told less).
    void storeFailed(const QString& message);

private:
    struct Route;
    using Parts = QStringList;
    using Granted = std::function<void()>;

    // A score read and accepted for storing, with the way back to the phone that sent it.
    struct PendingScore {
        int cage = 0;
        ScoreBody score;
        QString from;
        ExchangePtr exchange;
    };

    static const std::vector<Route>& routes();
    void dispatch(const ExchangePtr& exchange);

    // Calls granted when the request carries a right key or a session; otherwise answers it.
    void authorize(const ExchangePtr& exchange, const Granted& granted);
    // Checks a key typed or sent, in its turn when the hall's limit holds.
    void checkKey(const ExchangePtr& exchange, const QByteArray& given, const Granted& granted);
    void reportWrongKeys();

    void page(const ExchangePtr& exchange, const Parts& parts);
    void enter(const ExchangePtr& exchange, const Parts& parts);
    void exhibition(const ExchangePtr& exchange, const Parts& parts);
    void cage(const ExchangePtr& exchange, const Parts& parts);
    void score(const ExchangePtr& exchange, const Parts& parts);
    void toScore(const ExchangePtr& exchange, const Parts& parts);
    void board(const ExchangePtr& exchange, const Parts& parts);

    Response cageAnswer(int cage);
    void storeArrived();
    Response storeOne(const PendingScore& pending, std::vector<ScoreNotice>& stored);
    void answerFailure(const ExchangePtr& exchange, const base::Error& error);
    void seen(const QHostAddress& address);

    store::Database m_db;
    BoardKeeper* m_keeper;
    QByteArray m_key;
    QByteArray m_session;
    Throttle m_throttle;
    int m_wrongKeysShown = 0;
    std::vector<PendingScore> m_pending;
    QHash<QString, std::chrono::steady_clock::time_point> m_devices;
    int m_deviceCount = 0;
    std::chrono::steady_clock::time_point m_devicesPruned;
};

} // namespace server

Q_DECLARE_METATYPE(server::ScoreNotice)
