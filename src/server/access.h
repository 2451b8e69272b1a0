#pragma once

// Who may score: the entry key of the show, the session that a correct key opens on a phone, and
// the slowing down of wrong keys, per device and for the whole hall. The hall's network is shared
// with exhibitors, who have the strongest interest in their own birds' scores: a drawn key holds
// 50 bits, and no number of devices guesses faster than the hall's limit lets them.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>
#include <chrono>
#include <deque>
#include <optional>

namespace server
{

// A device's address as people read it: an IPv4 client of the dual-stack socket without its
// "::ffff:" prefix, so that one phone is one address whichever way it came.
QString deviceAddress(const QHostAddress& address);

// The device behind an address, for the limits: an IPv4 address, or the /64 network of an IPv6
// one, since a device draws new addresses within its network at will.
QString deviceOf(const QHostAddress& address);

// Whether two keys are equal, in a time that depends on their lengths only, never on where they
// first differ: the answer's delay tells a guesser nothing.
bool sameKey(const QByteArray& given, const QByteArray& expected);

// A drawn key: ten characters of an alphabet of 32 without look-alikes (no 0 and O, no 1 and I),
// 50 bits, from the system's random source.
QString drawKey();

// A key as it is compared: letters in capitals, without the blanks and dashes that the key is
// shown with ("K7PXM-2QR9T") or that a steward may type.
QByteArray canonicalKey(const QString& key);

// A key as it is shown and read aloud: in groups of five ("K7PXM-2QR9T").
QString shownKey(const QString& key);

// Why a key typed by the organiser cannot be used, or "" when it can.
QString keyRefusal(const QString& key);

// The session a key opens, kept in the phone's cookie instead of the key itself. The same key
// gives the same session, so that a phone's session outlives a restart of the server; another key
// ends every session.
QByteArray sessionToken(const QByteArray& canonical);

// The value of a cookie in a Cookie header, or an empty array.
QByteArray cookieValue(const QByteArray& header, const QByteArray& name);

// Wrong keys, counted per device and for the whole hall.
// - Per device: after freeWrongKeys in a row every try from that device is refused for a wait
//   that doubles with each further wrong key, up to maxWaitSeconds. A right key clears its count.
// - The hall: past hallWrongKeys wrong keys in the last minute from all devices together, every
//   new key is checked only in its turn, one every hallSpacing, so that many devices guess no
//   faster than one; a try whose turn is further than maxQueue away is refused.
class Throttle
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int freeWrongKeys = 5;
    static constexpr int maxWaitSeconds = 60;
    static constexpr int hallWrongKeys = 20;
    static constexpr std::chrono::seconds hallSpacing{3};
    static constexpr std::chrono::seconds maxQueue{15};

    // The seconds the device must still wait, or nothing when it may try now.
    std::optional<int> wait(const QHostAddress& address, Clock::time_point now) const;

    // When a key that arrives now may be checked: now, or its turn when the hall's limit holds;
    // nothing when its turn is too far (the try is refused and must come again).
    std::optional<Clock::time_point> turn(Clock::time_point now);

    void wrongKey(const QHostAddress& address, Clock::time_point now);
    void rightKey(const QHostAddress& address);

    // The wrong keys of the last minute, from all devices together.
    int lastMinute(Clock::time_point now);

private:
    struct Record {
        int wrong = 0;
        Clock::time_point until;
    };
    QHash<QString, Record> m_records;
    std::deque<Clock::time_point> m_recent; // the hall's wrong keys of the last minute
    Clock::time_point m_nextTurn;
};

// The refusal told to a device that must wait.
QString waitRefusal(int seconds);
// The refusal told when the hall's limit has no turn left soon.
QString hallRefusal(int seconds);
// "7 claves equivocadas en el último minuto", for the organiser.
QString wrongKeysLine(int count);

} // namespace server
