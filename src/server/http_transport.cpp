#include "server/http_transport.h"

#include "server/access.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <condition_variable>
#include <list>
#include <microhttpd.h>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace server
{

namespace
{

using Clock = std::chrono::steady_clock;

QByteArray errorBody(const QString& message)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("error"), message}}).toJson(QJsonDocument::Compact);
}

Response refusal(int status, const QString& message)
{
    return Response{status,
                    QByteArrayLiteral("application/json"),
                    errorBody(message),
                    {{QByteArrayLiteral("Connection"), QByteArrayLiteral("close")}}};
}

// Room for the connections of a busy hall: the process's limit of open files is raised to what
// the system allows, up to a few thousand.
void raiseOpenFiles()
{
#ifndef Q_OS_WIN
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 4096) {
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 4096);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
#endif
}

void writeRaw(MHD_socket socket, const QByteArray& bytes)
{
#ifdef Q_OS_WIN
    ::send(socket, bytes.constData(), int(bytes.size()), 0);
#else
    [[maybe_unused]] const ssize_t sent =
        ::send(socket, bytes.constData(), std::size_t(bytes.size()), MSG_NOSIGNAL);
#endif
}

void closeSocket(MHD_Connection* connection)
{
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    // The socket is only shut: libmicrohttpd sees its end at the next poll and closes it itself.
#ifdef Q_OS_WIN
    if (info)
        ::shutdown(info->connect_fd, SD_BOTH);
#else
    if (info)
        ::shutdown(info->connect_fd, SHUT_RDWR);
#endif
}

// One TCP connection, from its accept to its close, and one request, from its first line to its
// answer sent.
struct Link {
    MHD_Connection* connection = nullptr;
    QString device;
    enum class Phase { Idle, Headers, Body, Busy } phase = Phase::Idle;
    Clock::time_point since; // start of the phase (Body: of the request's first line)
    bool closing = false;    // shut by a limit, waiting for libmicrohttpd to see it
};

// One request, from its first line to its answer sent.
struct Call {
    Link* link = nullptr;
    enum class State { Headers, Reading, Refused, Waiting } state = State::Headers;
    QByteArray body;
    ExchangePtr exchange;
    std::optional<Response> response; // set by the answering thread
};

} // namespace

QByteArray Request::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

const HeaderList& safetyHeaders()
{
    static const HeaderList headers{
        {"Cache-Control", "no-store"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"X-Frame-Options", "DENY"},
        {"Content-Security-Policy",
         "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
         "connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'self'"},
    };
    return headers;
}

class HttpTransport::Impl
{
public:
    Impl(Handler handler, TransportLimits limits) : m_handler(std::move(handler)), m_limits(limits) {}

    Handler m_handler;
    TransportLimits m_limits;
    MHD_Daemon* m_daemon = nullptr;
    MHD_socket m_listening = MHD_INVALID_SOCKET; // once quiesced, closed after the daemon stops
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_underWay{0};
    std::atomic<int> m_connections{0};
    qint64 m_bodyBytes = 0; // the library's thread only

    // The library's thread runs every callback; the sweeper and the answering threads come in
    // through this lock. A link leaves m_links (in the "closed" notice) before the library closes
    // its socket, so that a socket shut by the sweeper is always that link's.
    std::mutex m_mutex;
    std::condition_variable m_changed; // a request ended, or the sweeper is asked to stop
    std::list<Link*> m_links;
    std::unordered_map<std::string, int> m_perDevice;
    std::unordered_set<Call*> m_waiting;
    std::thread m_sweeper;
    bool m_sweeping = true;

    quint16 start(quint16 port);
    void sweepEvery();
    void sweep(Clock::time_point now);
    void evictOne();
    MHD_Result queue(MHD_Connection* connection, const Response& response);
    MHD_Result refuse(MHD_Connection* connection, Call* call, int status, const QString& message);
    MHD_Result complete(MHD_Connection* connection, Call* call, const char* url, const char* method,
                        std::unique_lock<std::mutex>& lock);
    void answered(Call* call, Response response);

    static MHD_Result accept(void* cls, const sockaddr* address, socklen_t length);
    static void notify(void* cls, MHD_Connection* connection, void** socketContext,
                       MHD_ConnectionNotificationCode code);
    static void* firstLine(void* cls, const char* uri, MHD_Connection* connection);
    static MHD_Result access(void* cls, MHD_Connection* connection, const char* url, const char* method,
                             const char* version, const char* upload, size_t* uploadSize,
                             void** requestContext);
    static void completed(void* cls, MHD_Connection* connection, void** requestContext,
                          MHD_RequestTerminationCode code);
};

namespace
{

Link* linkOf(MHD_Connection* connection)
{
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Link*>(info->socket_context) : nullptr;
}

QHostAddress peerOf(MHD_Connection* connection)
{
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info && info->client_addr ? QHostAddress(info->client_addr) : QHostAddress();
}

MHD_Result collectHeader(void* cls, MHD_ValueKind, const char* key, const char* value)
{
    static_cast<HeaderList*>(cls)->append({QByteArray(key), QByteArray(value ? value : "")});
    return MHD_YES;
}

} // namespace

quint16 HttpTransport::Impl::start(quint16 port)
{
    raiseOpenFiles();
    const auto open = [&](unsigned flags) {
        return MHD_start_daemon(
            flags, port, &Impl::accept, this, &Impl::access, this, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
            m_limits.headerPool, MHD_OPTION_CONNECTION_LIMIT, unsigned(m_limits.softConnections + 64),
            MHD_OPTION_CONNECTION_TIMEOUT, unsigned(m_limits.idleSeconds), MHD_OPTION_NOTIFY_CONNECTION,
            &Impl::notify, this, MHD_OPTION_NOTIFY_COMPLETED, &Impl::completed, this,
            MHD_OPTION_URI_LOG_CALLBACK, &Impl::firstLine, this, MHD_OPTION_END);
    };
    // One thread of the library's for every connection (epoll where the system has it), and
    // connections that wait, suspended, for their answer from another thread.
    const unsigned common = MHD_USE_AUTO_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME;
    m_daemon = open(common | MHD_USE_DUAL_STACK);
    if (!m_daemon) // a machine without IPv6
        m_daemon = open(common);
    if (!m_daemon)
        return 0;
    const MHD_DaemonInfo* info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    m_sweeper = std::thread([this] { sweepEvery(); });
    return info ? info->port : port;
}

void HttpTransport::Impl::sweepEvery()
{
    std::unique_lock lock(m_mutex);
    while (m_sweeping) {
        m_changed.wait_for(lock, std::chrono::milliseconds(250));
        sweep(Clock::now());
    }
}

// Called with the lock held.
void HttpTransport::Impl::sweep(Clock::time_point now)
{
    using std::chrono::seconds;
    for (Link* link : m_links) {
        if (link->closing)
            continue;
        const auto age = now - link->since;
        const bool late = (link->phase == Link::Phase::Idle && age > seconds(m_limits.idleSeconds)) ||
                          (link->phase == Link::Phase::Headers && age > seconds(m_limits.headerSeconds)) ||
                          (link->phase == Link::Phase::Body && age > seconds(m_limits.requestSeconds));
        if (late) {
            link->closing = true;
            closeSocket(link->connection);
        }
    }
}

void HttpTransport::Impl::evictOne()
{
    // The longest idle connection; failing that, the slowest sender. One waiting for its answer
    // is never closed.
    const auto rank = [](const Link* link) { return link->phase == Link::Phase::Idle ? 0 : 1; };
    Link* oldest = nullptr;
    for (Link* link : m_links)
        if (!link->closing && link->phase != Link::Phase::Busy &&
            (!oldest || rank(link) < rank(oldest) ||
             (rank(link) == rank(oldest) && link->since < oldest->since)))
            oldest = link;
    if (oldest) {
        oldest->closing = true;
        closeSocket(oldest->connection);
    }
}

MHD_Result HttpTransport::Impl::accept(void* cls, const sockaddr* address, socklen_t)
{
    auto* self = static_cast<Impl*>(cls);
    std::lock_guard lock(self->m_mutex);
    const std::string device = deviceOf(QHostAddress(address)).toStdString();
    const auto found = self->m_perDevice.find(device);
    if (found != self->m_perDevice.end() && found->second >= self->m_limits.perDevice)
        return MHD_NO;
    int open = 0;
    for (const Link* link : self->m_links)
        open += link->closing ? 0 : 1;
    if (open >= self->m_limits.softConnections)
        self->evictOne();
    return MHD_YES;
}

void HttpTransport::Impl::notify(void* cls, MHD_Connection* connection, void** socketContext,
                                 MHD_ConnectionNotificationCode code)
{
    auto* self = static_cast<Impl*>(cls);
    std::lock_guard lock(self->m_mutex);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        auto* link =
            new Link{connection, deviceOf(peerOf(connection)), Link::Phase::Idle, Clock::now(), false};
        *socketContext = link;
        self->m_links.push_back(link);
        ++self->m_perDevice[link->device.toStdString()];
        ++self->m_connections;
        return;
    }
    auto* link = static_cast<Link*>(*socketContext);
    if (!link)
        return;
    self->m_links.remove(link);
    const auto found = self->m_perDevice.find(link->device.toStdString());
    if (found != self->m_perDevice.end() && --found->second <= 0)
        self->m_perDevice.erase(found);
    --self->m_connections;
    delete link;
    *socketContext = nullptr;
}

void* HttpTransport::Impl::firstLine(void* cls, const char*, MHD_Connection* connection)
{
    std::lock_guard lock(static_cast<Impl*>(cls)->m_mutex);
    if (Link* link = linkOf(connection)) {
        link->phase = Link::Phase::Headers;
        link->since = Clock::now();
    }
    return new Call{linkOf(connection), Call::State::Headers, {}, {}, {}};
}

MHD_Result HttpTransport::Impl::queue(MHD_Connection* connection, const Response& response)
{
    // The body is shared with whoever built it (the board's text), never copied per answer.
    auto* held = new QByteArray(response.body);
    MHD_Response* answer = MHD_create_response_from_buffer_with_free_callback_cls(
        std::size_t(held->size()), const_cast<char*>(held->constData()),
        [](void* body) { delete static_cast<QByteArray*>(body); }, held);
    if (!answer) {
        delete held;
        return MHD_NO;
    }
    if (!response.contentType.isEmpty())
        MHD_add_response_header(answer, "Content-Type", response.contentType.constData());
    for (const auto& [name, value] : safetyHeaders())
        MHD_add_response_header(answer, name.constData(), value.constData());
    for (const auto& [name, value] : response.headers)
        MHD_add_response_header(answer, name.constData(), value.constData());
    const bool closes = std::any_of(response.headers.begin(), response.headers.end(),
                                    [](const auto& header) { return header.first == "Connection"; });
    if (m_stopping && !closes)
        MHD_add_response_header(answer, "Connection", "close");
    const MHD_Result queued = MHD_queue_response(connection, unsigned(response.status), answer);
    MHD_destroy_response(answer);
    return queued;
}

MHD_Result HttpTransport::Impl::refuse(MHD_Connection* connection, Call* call, int status,
                                       const QString& message)
{
    call->state = Call::State::Refused;
    m_bodyBytes -= call->body.size();
    call->body = QByteArray();
    const Response refused = refusal(status, message);
    if (queue(connection, refused) == MHD_YES)
        return MHD_YES;
    // In the middle of a body the library takes no answer: the refusal is written on the socket
    // as it stands (nothing else of this request has been), and the connection dropped unread.
    QByteArray raw =
        "HTTP/1.1 " + QByteArray::number(status) + (status == 413 ? " Payload Too Large" : " Refused") +
        "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(refused.body.size()) +
        "\r\nConnection: close\r\n";
    for (const auto& [name, value] : safetyHeaders())
        raw += name + ": " + value + "\r\n";
    raw += "\r\n" + refused.body;
    if (const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD))
        writeRaw(info->connect_fd, raw);
    return MHD_NO;
}

MHD_Result HttpTransport::Impl::access(void* cls, MHD_Connection* connection, const char* url,
                                       const char* method, const char*, const char* upload,
                                       size_t* uploadSize, void** requestContext)
{
    auto* self = static_cast<Impl*>(cls);
    std::unique_lock lock(self->m_mutex);
    auto* call = static_cast<Call*>(*requestContext);
    if (!call) // no first line seen: cannot happen, but then the request is read all the same
        *requestContext = call = new Call{linkOf(connection), Call::State::Headers, {}, {}, {}};
    const QString tooBig = QStringLiteral("La petición es demasiado grande.");

    switch (call->state) {
    case Call::State::Headers: {
        call->state = Call::State::Reading;
        if (call->link)
            call->link->phase = Link::Phase::Body; // the request's time still runs from its first line
        const char* declared = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
        if (declared) {
            bool ok = false;
            const qint64 length = QByteArray(declared).trimmed().toLongLong(&ok);
            if (!ok || length > self->m_limits.maxBody)
                return self->refuse(connection, call, 413, tooBig);
        }
        return MHD_YES;
    }
    case Call::State::Reading:
        if (*uploadSize > 0) {
            const qsizetype arriving = qsizetype(*uploadSize);
            *uploadSize = 0;
            if (call->body.size() + arriving > self->m_limits.maxBody)
                return self->refuse(connection, call, 413, tooBig);
            if (self->m_bodyBytes + arriving > self->m_limits.bodyBudget)
                return self->refuse(connection, call, 503,
                                    QStringLiteral("El servidor está muy ocupado: inténtelo otra vez."));
            self->m_bodyBytes += arriving;
            call->body.append(upload, arriving);
            return MHD_YES;
        }
        return self->complete(connection, call, url, method, lock);
    case Call::State::Waiting: {
        const Response response = std::move(*call->response);
        self->m_waiting.erase(call);
        return self->queue(connection, response);
    }
    case Call::State::Refused:
        return MHD_NO;
    }
    return MHD_NO;
}

MHD_Result HttpTransport::Impl::complete(MHD_Connection* connection, Call* call, const char* url,
                                         const char* method, std::unique_lock<std::mutex>& lock)
{
    Request request;
    request.method = method;
    request.path = QString::fromUtf8(url);
    MHD_get_connection_values(connection, MHD_HEADER_KIND, &collectHeader, &request.headers);
    request.peer = peerOf(connection);
    m_bodyBytes -= call->body.size();
    request.body = std::move(call->body);
    call->body = QByteArray();
    call->state = Call::State::Waiting;
    if (call->link)
        call->link->phase = Link::Phase::Busy;
    call->exchange = std::make_shared<Exchange>(
        std::move(request), [this, call](Response response) { answered(call, std::move(response)); });
    m_waiting.insert(call);
    ++m_underWay;
    MHD_suspend_connection(connection);
    const ExchangePtr exchange = call->exchange;
    lock.unlock(); // the handler may answer at once
    m_handler(exchange);
    return MHD_YES;
}

void HttpTransport::Impl::answered(Call* call, Response response)
{
    MHD_Connection* connection = nullptr;
    {
        std::lock_guard lock(m_mutex);
        call->response = std::move(response);
        connection = call->link ? call->link->connection : nullptr;
    }
    if (connection)
        MHD_resume_connection(connection);
}

void HttpTransport::Impl::completed(void* cls, MHD_Connection* connection, void** requestContext,
                                    MHD_RequestTerminationCode)
{
    auto* self = static_cast<Impl*>(cls);
    std::lock_guard lock(self->m_mutex);
    auto* call = static_cast<Call*>(*requestContext);
    if (!call)
        return;
    if (call->exchange) {
        self->m_waiting.erase(call);
        if (--self->m_underWay == 0)
            self->m_changed.notify_all();
    }
    self->m_bodyBytes -= call->body.size();
    if (Link* link = linkOf(connection)) {
        link->phase = Link::Phase::Idle;
        link->since = Clock::now();
    }
    delete call;
    *requestContext = nullptr;
}

HttpTransport::HttpTransport(Handler handler, TransportLimits limits)
    : d(std::make_unique<Impl>(std::move(handler), limits))
{
}

HttpTransport::~HttpTransport()
{
    stop(std::chrono::milliseconds(0));
}

quint16 HttpTransport::listen(quint16 port)
{
    return d->start(port);
}

void HttpTransport::stopAccepting()
{
    if (d->m_daemon && !d->m_stopping.exchange(true))
        d->m_listening = MHD_quiesce_daemon(d->m_daemon);
}

bool HttpTransport::waitUntilIdle(std::chrono::milliseconds grace)
{
    std::unique_lock lock(d->m_mutex);
    return d->m_changed.wait_for(lock, grace, [this] { return d->m_underWay == 0; });
}

int HttpTransport::underWay() const
{
    return d->m_underWay;
}

int HttpTransport::connections() const
{
    return d->m_connections;
}

void HttpTransport::stop(std::chrono::milliseconds grace)
{
    if (!d->m_daemon)
        return;
    stopAccepting();
    waitUntilIdle(grace);
    // What still waits is answered from here; an answer from the service after this is ignored,
    // since each exchange answers once. The library then sends them.
    std::vector<ExchangePtr> left;
    {
        std::lock_guard lock(d->m_mutex);
        for (Call* call : d->m_waiting)
            left.push_back(call->exchange);
    }
    for (const ExchangePtr& exchange : left)
        exchange->answer(refusal(503, QStringLiteral("El servidor se ha parado.")));
    waitUntilIdle(std::chrono::milliseconds(1000));
    {
        std::lock_guard lock(d->m_mutex);
        d->m_sweeping = false;
    }
    d->m_changed.notify_all();
    d->m_sweeper.join();
    MHD_stop_daemon(d->m_daemon);
    d->m_daemon = nullptr;
    if (d->m_listening != MHD_INVALID_SOCKET) {
#ifdef Q_OS_WIN
        ::closesocket(d->m_listening);
#else
        ::close(d->m_listening);
#endif
    }
}

} // namespace server
