#pragma once

// The show's server as the organiser starts and stops it: the HTTP service in a thread of its
// own, over its own connection to the exhibition, so that the windows (or palomas-cli) keep
// their own. Starting tells at once whether the port could be taken.

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
    QString key;         // empty: six digits are drawn
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
    // Stops serving; every request under way is finished first. Nothing when not running.
    void stop();

    bool running() const;
    quint16 port() const { return m_port; }
    QString key() const { return m_key; }
    // "http://192.168.1.20:8080/"
    QString url() const;

signals:
    void scoreStored(const server::ScoreNotice& notice);
    void devicesChanged(int count);

private:
    class Thread;
    std::unique_ptr<Thread> m_thread;
    quint16 m_port = 0;
    QString m_key;
};

} // namespace server
