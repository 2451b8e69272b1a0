#include "server/access.h"

#include <QRandomGenerator>
#include <algorithm>

namespace server
{

QString deviceAddress(const QHostAddress& address)
{
    bool mapped = false;
    const quint32 ipv4 = address.toIPv4Address(&mapped);
    return mapped ? QHostAddress(ipv4).toString() : address.toString();
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
    return QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(1000000), 6, 10, QLatin1Char('0'));
}

QString keyRefusal(const QString& key)
{
    const bool plain = std::all_of(key.begin(), key.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
    if (key.size() < 4 || key.size() > 32 || !plain)
        return QStringLiteral("La clave debe tener de 4 a 32 letras o cifras, sin espacios ni acentos.");
    return {};
}

QByteArray drawSessionToken()
{
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
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
    const auto found = m_records.constFind(deviceAddress(address));
    if (found == m_records.cend() || found->until <= now)
        return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(found->until - now).count();
    return int((left + 999) / 1000);
}

void Throttle::wrongKey(const QHostAddress& address, Clock::time_point now)
{
    Record& record = m_records[deviceAddress(address)];
    ++record.wrong;
    if (record.wrong < freeWrongKeys)
        return;
    const int doublings = std::min(record.wrong - freeWrongKeys, 6);
    record.until = now + std::chrono::seconds(std::min(1 << doublings, maxWaitSeconds));
}

void Throttle::rightKey(const QHostAddress& address)
{
    m_records.remove(deviceAddress(address));
}

QString waitRefusal(int seconds)
{
    return QStringLiteral("Demasiadas claves equivocadas desde este aparato: espere %1 segundos.")
        .arg(seconds);
}

} // namespace server
