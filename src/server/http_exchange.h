#pragma once

// One request of the show's network and the answer it waits for. The transport reads a request
// whole (within its limits) before anyone sees it; the service answers it from its own thread,
// at once or later (a score waits for its commit, a board read for its build).

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace server
{

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

struct Request {
    QByteArray method; // "GET", "POST", ...
    QString path;      // decoded, without the query
    HeaderList headers;
    QByteArray body;
    QHostAddress peer;

    // The value of a header, its name in any letter case; empty when absent.
    QByteArray header(const QByteArray& name) const;
};

struct Response {
    int status = 200;
    QByteArray contentType;
    QByteArray body; // shared, never copied on the way out
    HeaderList headers;
};

// A request waiting for its answer. answer() may be called from any thread, once; later calls
// are ignored, and so are calls after the server stopped (it has answered them itself).
class Exchange
{
public:
    using Deliver = std::function<void(Response)>;

    Exchange(Request request, Deliver deliver) : m_request(std::move(request)), m_deliver(std::move(deliver)) {}

    const Request& request() const { return m_request; }

    void answer(Response response)
    {
        Deliver deliver;
        {
            std::lock_guard lock(m_mutex);
            if (!m_deliver)
                return;
            deliver = std::move(m_deliver);
            m_deliver = nullptr;
        }
        deliver(std::move(response));
    }

    bool answered() const
    {
        std::lock_guard lock(m_mutex);
        return !m_deliver;
    }

private:
    Request m_request;
    mutable std::mutex m_mutex;
    Deliver m_deliver;
};

using ExchangePtr = std::shared_ptr<Exchange>;

} // namespace server
