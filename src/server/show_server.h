#pragma once

// The show's server as the organiser starts and stops it: the connections in a thread of their
// own (HttpTransport), the HTTP service in another, over its own connection to the exhibition,
// and the board in a third, so that the windows (or palomas-cli) keep their own connections and
// a board being built never holds up a score. Starting tells at once whether the port could be
// taken.

#include "server/http_service.h"

#include <QObject>
#include <QString>
#include <memory>

namespace server
{

struct ServerSettings {
    QString exhibitionPath;
    QString clubsPath;
    quint16 port = 8080; // 0: any free port (the tests)
    QString key;         // empty: a key is drawn
};

// The machine's address on the hall's network: the first IPv4 address of an interface that is
// up, not the loopback; 127.0.0.1 when there is none.
QString lanAddress();

class ShowServer : public QObject
{
    Q_OBJECT

public:
    explicit ShowServer(QObject* parent = nullptr);
    ~ShowServer() override;

    // Starts serving; "" when it serves, otherwise why not (a port in use, a key refused, a
    // file that cannot be opened), and nothing is left running.
    QString start(const ServerSettings& settings);
    // Stops serving: no new connection is taken, every score already received is stored and
    // answered, and the answers under way are sent (for a few seconds at most) before the
    // connections close. Nothing when not running.
    void stop();

    // A new key, typed or (empty) drawn: every session of the old one ends at once, without a
    // restart. "" when it is taken, otherwise why not.
    QString changeKey(const QString& key);

    bool running() const;
    quint16 port() const { return m_port; }
    // The key as it is shown: "K7PXM-2QR9T".
    QString key() const { return m_key; }
    // "http://192.168.1.20:8080/"
    QString url() const;
    // The stewards' page with the key, for their QR code only: the key rides in the fragment,
    // which the browser never sends over the network.
    QString scoringUrl() const;

signals:
    void scoreStored(const server::ScoreNotice& notice);
    void devicesChanged(int count);
    void wrongKeysChanged(int lastMinute);
    void storeFailed(const QString& message);

private:
    class Running;
    std::unique_ptr<Running> m_running;
    quint16 m_port = 0;
    QString m_key;
};

} // namespace server
