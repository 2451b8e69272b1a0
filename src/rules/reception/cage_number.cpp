#include "rules/reception/cage_number.h"

#include "base/shown_value.h"

#include <algorithm>

namespace reception
{

std::optional<int> parseCage(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 6)
        return std::nullopt;
    for (const QChar c : t)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const int cage = t.toInt();
    if (cage < firstCage || cage > lastCage)
        return std::nullopt;
    return cage;
}

QString invalidCageMessage(const QString& text)
{
    return QStringLiteral("El número de jaula «%1» no es válido: debe ser un número entero del %2 al %3.")
        .arg(formats::shownValue(text.trimmed()))
        .arg(firstCage)
        .arg(lastCage);
}

std::optional<int> proposeCage(const std::vector<int>& received)
{
    std::vector<bool> taken(std::size_t(lastCage) + 1, false);
    for (const int cage : received)
        if (cage >= firstCage && cage <= lastCage)
            taken[std::size_t(cage)] = true;
    const qint64 next = qint64(received.size()) + 1;
    for (qint64 cage = std::max<qint64>(next, firstCage); cage <= lastCage; ++cage)
        if (!taken[std::size_t(cage)])
            return int(cage);
    for (qint64 cage = std::min<qint64>(next - 1, lastCage); cage >= firstCage; --cage)
        if (!taken[std::size_t(cage)])
            return int(cage);
    return std::nullopt;
}

} // namespace reception
