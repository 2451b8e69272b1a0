#include "base/shown_value.h"

namespace formats
{

QString shownValue(const QString& value)
{
    QString shown = value;
    bool cut = false;
    if (shown.size() > shownValueLength) {
        // Never half of a character outside the Basic Multilingual Plane.
        qsizetype keep = shownValueLength;
        if (shown.at(keep - 1).isHighSurrogate())
            --keep;
        shown.truncate(keep);
        cut = true;
    }
    for (QChar& c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(0xFFFD);
    if (cut)
        shown += QStringLiteral("… (%1 caracteres)").arg(groupedCount(quint64(value.size())));
    return shown;
}

QString groupedCount(quint64 count)
{
    QString digits = QString::number(count);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u'.');
    return digits;
}

} // namespace formats
