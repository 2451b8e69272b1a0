#include "store/quote.h"

namespace store
{

QString quote(const QString& value)
{
    QString literal;
    literal.reserve(value.size() + 2);
    literal += u'\'';
    for (const QChar c : value) {
        if (c == u'\'')
            literal += u'\'';
        literal += c;
    }
    literal += u'\'';
    return literal;
}

QString quote(qint64 value)
{
    return quote(QString::number(value));
}

} // namespace store
