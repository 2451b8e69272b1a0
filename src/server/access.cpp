#include "server/access.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <algorithm>

namespace server
{

namespace
{

// 32 characters: 5 bits each, so that ten of them hold 50 bits.
constexpr char keyAlphabet[] = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
constexpr int drawnKeyLength = 10;
constexpr int keyGroup = 5;
constexpr int shortestKey = 8;
constexpr int longestKey = 32;

bool separator(QChar c)
{
    return c == u' ' || c == u'-';
}

} // namespace

QString deviceAddress(const QHostAddress& address)
{
    bool mapped = false;
    const quint32 ipv4 = address.toIPv4Address(&mapped);
    return mapped ? QHostAddress(ipv4).toString() : address.toString();
}

QString deviceOf(const QHostAddress& address)
{
    bool ipv4 = false;
    address.toIPv4Address(&ipv4);
    if (ipv4 || address.protocol() != QAbstractSocket::IPv6Protocol)
        return deviceAddress(address);
    Q_IPV6ADDR bytes = address.toIPv6Address();
    std::fill(bytes.c + 8, bytes.c + 16, quint8(0));
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}

bool sameKey(const QByteArray& given, const QByteArray& expected)
{
    // Every byte of the longer is looked at whatever the lengths, and the difference of lengths
    // is folded into the same accumulator.
    const qsizetype length = std::max(given.size(), expected.size());
    unsigned difference = unsigned(given.size() ^ expected.size());
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned char a = i < given.size() ? uchar(given[i]) : 0;
        const unsigned char b = i < expected.size() ? uchar(expected[i]) : 0;
        difference |= unsigned(a ^ b);
    }
    return difference == 0;
}

QString drawKey()
{
    QString key;
    for (int i = 0; i < drawnKeyLength; ++i)
        key += QLatin1Char(keyAlphabet[QRandomGenerator::system()->bounded(int(sizeof keyAlphabet - 1))]);
    return key;
}

QByteArray canonicalKey(const QString& key)
{
    QString kept;
    for (const QChar c : key)
        if (!separator(c))
            kept += c.toUpper();
    return kept.toUtf8();
}

QString shownKey(const QString& key)
{
    const QString plain = QString::fromUtf8(canonicalKey(key));
    QStringList groups;
    for (qsizetype i = 0; i < plain.size(); i += keyGroup)
        groups << plain.mid(i, keyGroup);
    return groups.join(u'-');
}

QString keyRefusal(const QString& key)
{
    const QString plain = QString::fromUtf8(canonicalKey(key));
    const bool letters = std::all_of(plain.begin(), plain.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z');
    });
    if (plain.size() < shortestKey || plain.size() > longestKey || !letters)
        return QStringLiteral("La clave debe tener de 8 a 32 letras o cifras, sin acentos.");
    return {};
}

QByteArray sessionToken(const QByteArray& canonical)
{
    return QMessageAuthenticationCode::hash("sesion de la exposicion", canonical, QCryptographicHash::Sha256)
        .toHex();
}

QByteArray cookieValue(const QByteArray& header, const QByteArray& name)
{
    for (const QByteArray& part : header.split(';')) {
        const QByteArray cookie = part.trimmed();
        const qsizetype equals = cookie.indexOf('=');
        if (equals > 0 && cookie.left(equals) == name)
            return cookie.mid(equals + 1);
    }
    return {};
}

std::optional<int> Throttle::wait(const QHostAddress& address, Clock::time_point now) const
{
    const auto found = m_records.constFind(deviceOf(address));
    if (found == m_records.cend() || found->until <= now)
        return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(found->until - now).count();
    return int((left + 999) / 1000);
}

std::optional<Throttle::Clock::time_point> Throttle::turn(Clock::time_point now)
{
    if (lastMinute(now) < hallWrongKeys)
        return now;
    const Clock::time_point mine = std::max(now, m_nextTurn);
    if (mine - now > maxQueue)
        return std::nullopt;
    m_nextTurn = mine + hallSpacing;
    return mine;
}

void Throttle::wrongKey(const QHostAddress& address, Clock::time_point now)
{
    m_recent.push_back(now);
    Record& record = m_records[deviceOf(address)];
    ++record.wrong;
    if (record.wrong < freeWrongKeys)
        return;
    const int doublings = std::min(record.wrong - freeWrongKeys, 6);
    record.until = now + std::chrono::seconds(std::min(1 << doublings, maxWaitSeconds));
}

void Throttle::rightKey(const QHostAddress& address)
{
    m_records.remove(deviceOf(address));
}

int Throttle::lastMinute(Clock::time_point now)
{
    while (!m_recent.empty() && now - m_recent.front() >= std::chrono::minutes(1))
        m_recent.pop_front();
    return int(m_recent.size());
}

QString waitRefusal(int seconds)
{
    return QStringLiteral("Demasiadas claves equivocadas desde este aparato: espere %1 segundos.")
        .arg(seconds);
}

QString hallRefusal(int seconds)
{
    return QStringLiteral("Demasiadas claves equivocadas en la red de la exposición: espere %1 segundos.")
        .arg(seconds);
}

QString wrongKeysLine(int count)
{
    return count == 1 ? QStringLiteral("1 clave equivocada en el último minuto")
                      : QStringLiteral("%1 claves equivocadas en el último minuto").arg(count);
}

} // namespace server
