#include "server/show_server.h"

#include "base/error.h"
#include "server/access.h"
#include "server/http_transport.h"
#include "server/responses.h"
#include "store/schema.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QThread>
#include <mutex>

namespace server
{

namespace
{

// How long the answers under way may take to leave once the server is asked to stop.
constexpr std::chrono::milliseconds stopGrace{3000};

} // namespace

// The way from the connections' thread to the service: closed before the service goes, after
// which a request is answered at once that the server is stopping.
class Relay
{
public:
    explicit Relay(HttpService* service) : m_service(service) {}

    void hand(const ExchangePtr& exchange)
    {
        std::lock_guard lock(m_mutex);
        if (!m_service)
            return exchange->answer(errorAnswer(QStringLiteral("El servidor se ha parado."), 503));
        HttpService* service = m_service;
        QMetaObject::invokeMethod(
            service, [service, exchange] { service->handle(exchange); }, Qt::QueuedConnection);
    }

    void close()
    {
        std::lock_guard lock(m_mutex);
        m_service = nullptr;
    }

private:
    std::mutex m_mutex;
    HttpService* m_service;
};

class ShowServer::Running
{
public:
    QThread serviceThread;
    QThread boardThread;
    std::unique_ptr<BoardKeeper> keeper;
    std::unique_ptr<HttpService> service;
    std::shared_ptr<Relay> relay;
    std::unique_ptr<HttpTransport> transport;

    ~Running()
    {
        if (transport)
            transport->stopAccepting();
        if (serviceThread.isRunning()) {
            QMetaObject::invokeMethod(service.get(), &HttpService::storePending,
                                      Qt::BlockingQueuedConnection);
            transport->waitUntilIdle(stopGrace);
        }
        if (relay)
            relay->close();
        // Each goes in its own thread: the service stores and answers what arrived meanwhile.
        destroyIn(serviceThread, service);
        destroyIn(boardThread, keeper);
        if (transport)
            transport->stop(std::chrono::milliseconds(1000));
    }

private:
    // A thread that ends deletes the objects left to it, in itself.
    template <typename T> static void destroyIn(QThread& thread, std::unique_ptr<T>& object)
    {
        if (thread.isRunning() && object)
            object.release()->deleteLater();
        object.reset();
        thread.quit();
        thread.wait();
    }
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
    QString key = settings.key;
    if (key.isEmpty())
        key = drawKey();
    else if (const QString refusal = keyRefusal(key); !refusal.isEmpty())
        return refusal;

    auto running = std::make_unique<Running>();
    try {
        running->keeper = std::make_unique<BoardKeeper>(settings.exhibitionPath, settings.clubsPath);
        running->keeper->open();
        store::Database db = store::Database::open(settings.exhibitionPath, store::schema::exhibition());
        running->service = std::make_unique<HttpService>(std::move(db), key, running->keeper.get());
    } catch (const base::Error& e) {
        return e.message();
    }
    HttpService* service = running->service.get();
    connect(service, &HttpService::scoreStored, this, &ShowServer::scoreStored);
    connect(service, &HttpService::devicesChanged, this, &ShowServer::devicesChanged);
    connect(service, &HttpService::wrongKeysChanged, this, &ShowServer::wrongKeysChanged);
    connect(service, &HttpService::storeFailed, this, &ShowServer::storeFailed);
    running->relay = std::make_shared<Relay>(service);
    running->transport = std::make_unique<HttpTransport>(
        [relay = running->relay](const ExchangePtr& exchange) { relay->hand(exchange); });
    const quint16 port = running->transport->listen(settings.port);
    if (port == 0)
        return QStringLiteral("El puerto %1 está ocupado por otro programa: elija otro puerto.")
            .arg(settings.port);
    running->keeper->moveToThread(&running->boardThread);
    running->service->moveToThread(&running->serviceThread);
    running->boardThread.start();
    running->serviceThread.start();
    m_running = std::move(running);
    m_port = port;
    m_key = settings.key.isEmpty() ? shownKey(key) : key; // a typed key is shown as typed
    return {};
}

void ShowServer::stop()
{
    if (!m_running)
        return;
    m_running.reset();
    m_port = 0;
    m_key.clear();
    emit devicesChanged(0);
    emit wrongKeysChanged(0);
}

QString ShowServer::changeKey(const QString& key)
{
    if (!m_running)
        return {};
    QString chosen = key;
    if (chosen.isEmpty())
        chosen = drawKey();
    else if (const QString refusal = keyRefusal(chosen); !refusal.isEmpty())
        return refusal;
    HttpService* service = m_running->service.get();
    QMetaObject::invokeMethod(
        service, [service, chosen] { service->changeKey(chosen); }, Qt::BlockingQueuedConnection);
    m_key = key.isEmpty() ? shownKey(chosen) : chosen;
    return {};
}

bool ShowServer::running() const
{
    return m_running != nullptr;
}

QString ShowServer::url() const
{
    return QStringLiteral("http://%1:%2/").arg(lanAddress()).arg(m_port);
}

QString ShowServer::scoringUrl() const
{
    return url() + QStringLiteral("puntuar#clave=") + QString::fromUtf8(canonicalKey(m_key));
}

} // namespace server
