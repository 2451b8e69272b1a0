#pragma once

// The show's HTTP connections, in front of everything else: GNU libmicrohttpd parses HTTP/1.0 and
// 1.1 (keep-alive, "Connection: close", pipelining), and this class sets the limits that keep the
// hall's network from exhausting the machine whatever a client sends:
// - a request's headers must fit a small memory pool (431 beyond it);
// - a body declared or streamed over maxBody gets 413 and the connection closes unread;
// - a request must send its headers within headerSeconds of its first line, and its whole body
//   within requestSeconds; a connection with no request is closed after idleSeconds;
// - each device (an IPv4 address, an IPv6 /64) holds at most perDevice connections, and when the
//   machine holds softConnections, the longest idle one (or else the slowest sender) is closed to
//   make room for a new one;
// - the bodies being read hold at most bodyBudget bytes together.
// Its own thread runs the connections; the handler is called there with every request read whole,
// and must hand it on at once. The answer may come from any thread.

#include "server/http_exchange.h"

#include <chrono>
#include <memory>

namespace server
{

struct TransportLimits {
    qsizetype maxBody = 64 * 1024;
    std::size_t headerPool = 16 * 1024;
    int headerSeconds = 10;
    int requestSeconds = 30;
    int idleSeconds = 60;
    int perDevice = 32;
    int softConnections = 1000;
    qint64 bodyBudget = 16 * 1024 * 1024;
};

// The headers every answer carries: nothing cached, no sniffing, no referrer, never in a frame of
// another page, and scripts, styles and requests only from the server itself.
const HeaderList& safetyHeaders();

class HttpTransport
{
public:
    using Handler = std::function<void(ExchangePtr)>;

    explicit HttpTransport(Handler handler, TransportLimits limits = {});
    ~HttpTransport();
    HttpTransport(const HttpTransport&) = delete;
    HttpTransport& operator=(const HttpTransport&) = delete;

    // Listens on every address of the machine (IPv6 and IPv4); the port taken (port 0: any free
    // one), or 0 when it cannot be taken.
    quint16 listen(quint16 port);

    // Stops taking new connections; the requests under way go on, and each connection closes
    // after its next answer.
    void stopAccepting();

    // Waits up to grace until no request is under way; whether none is.
    bool waitUntilIdle(std::chrono::milliseconds grace);

    // Requests read whole and not yet answered and sent.
    int underWay() const;

    // Waits up to grace for the requests under way to be answered and sent, answers the rest
    // with 503, and closes every connection.
    void stop(std::chrono::milliseconds grace);

    // The connections open now (the tests and the benchmark look at it).
    int connections() const;

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace server
