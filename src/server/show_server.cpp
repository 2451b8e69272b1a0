#include "server/show_server.h"

#include "server/access.h"
#include "store/error.h"
#include "store/schema.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QThread>
#include <future>

namespace server
{

namespace
{

struct Started {
    QString refusal;
    quint16 port = 0;
};

} // namespace

class ShowServer::Thread : public QThread
{
public:
    Thread(ShowServer* owner, ServerSettings settings) : m_owner(owner), m_settings(std::move(settings)) {}

    std::future<Started> started() { return m_started.get_future(); }

protected:
    void run() override
    {
        std::unique_ptr<HttpService> service;
        try {
            // The connections are opened here: each thread keeps its own.
            store::Database db =
                store::Database::open(m_settings.exhibitionPath, store::schema::exhibition());
            store::Database clubs = store::Database::open(m_settings.clubsPath, store::schema::clubs());
            service = std::make_unique<HttpService>(std::move(db), std::move(clubs), m_settings.key);
        } catch (const base::Error& e) {
            m_started.set_value({e.message(), 0});
            return;
        }
        QObject::connect(service.get(), &HttpService::scoreStored, m_owner, &ShowServer::scoreStored);
        QObject::connect(service.get(), &HttpService::devicesChanged, m_owner, &ShowServer::devicesChanged);
        const quint16 port = service->listen(QHostAddress::Any, m_settings.port);
        if (port == 0) {
            m_started.set_value(
                {QStringLiteral("El puerto %1 está ocupado por otro programa: elija otro puerto.")
                     .arg(m_settings.port),
                 0});
            return;
        }
        m_started.set_value({QString(), port});
        exec();
        service.reset(); // the connections close in the thread that opened them
    }

private:
    ShowServer* m_owner;
    ServerSettings m_settings;
    std::promise<Started> m_started;
};

QString lanAddress()
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() &&
                !address.isLinkLocal())
                return address.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

ShowServer::ShowServer(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<server::ScoreNotice>();
}

ShowServer::~ShowServer()
{
    stop();
}

QString ShowServer::start(const ServerSettings& settings)
{
    stop();
    ServerSettings chosen = settings;
    if (chosen.key.isEmpty())
        chosen.key = drawKey();
    else if (const QString refusal = keyRefusal(chosen.key); !refusal.isEmpty())
        return refusal;
    auto thread = std::make_unique<Thread>(this, chosen);
    std::future<Started> started = thread->started();
    thread->start();
    const Started result = started.get();
    if (!result.refusal.isEmpty()) {
        thread->wait();
        return result.refusal;
    }
    m_thread = std::move(thread);
    m_port = result.port;
    m_key = chosen.key;
    return {};
}

void ShowServer::stop()
{
    if (!m_thread)
        return;
    m_thread->quit();
    m_thread->wait();
    m_thread.reset();
    m_port = 0;
    m_key.clear();
    emit devicesChanged(0);
}

bool ShowServer::running() const
{
    return m_thread != nullptr;
}

QString ShowServer::url() const
{
    return QStringLiteral("http://%1:%2/").arg(lanAddress()).arg(m_port);
}

} // namespace server
