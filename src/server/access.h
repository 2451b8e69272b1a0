#pragma once

// Who may score: the entry key of the show, the session that a correct key opens on a phone, and
// the slowing down of an address that keeps trying wrong keys.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>
#include <chrono>
#include <optional>

namespace server
{

// A device's address as people read it: an IPv4 client of the dual-stack socket without its
// "::ffff:" prefix, so that one phone is one address whichever way it came.
QString deviceAddress(const QHostAddress& address);

// Whether two keys are equal, in a time that depends on their lengths only, never on where they
// first differ: the answer's delay tells a guesser nothing.
bool sameKey(const QByteArray& given, const QByteArray& expected);

// A key of six digits, drawn from the system's random source.
QString drawKey();

// Why a key typed by the organiser cannot be used, or "" when it can.
QString keyRefusal(const QString& key);

// A random session token, kept in the phone's cookie instead of the key itself.
QByteArray drawSessionToken();

// The value of a cookie in a Cookie header, or an empty array.
QByteArray cookieValue(const QByteArray& header, const QByteArray& name);

// Wrong keys, counted per address: after freeWrongKeys in a row every try from that address is
// refused for a wait that doubles with each further wrong key, up to maxWaitSeconds. A right key
// clears the count.
class Throttle
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int freeWrongKeys = 5;
    static constexpr int maxWaitSeconds = 60;

    // The seconds the address must still wait, or nothing when it may try now.
    std::optional<int> wait(const QHostAddress& address, Clock::time_point now) const;
    void wrongKey(const QHostAddress& address, Clock::time_point now);
    void rightKey(const QHostAddress& address);

private:
    struct Record {
        int wrong = 0;
        Clock::time_point until;
    };
    QHash<QString, Record> m_records;
};

// The refusal told to an address that must wait.
QString waitRefusal(int seconds);

} // namespace server
