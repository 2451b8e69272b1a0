#include "reception/cage_number.h"

#include "shell/shown_value.h"

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

} // namespace reception
