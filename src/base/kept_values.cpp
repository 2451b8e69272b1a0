#include "base/kept_values.h"

#include "base/shown_value.h"

#include <cmath>

namespace values
{

namespace
{

// Cents are whole numbers held exactly by a double up to 2^53.
constexpr double largestKept = 9.0e13;

} // namespace

bool keeps(QStringView text)
{
    for (const QChar c : text)
        if (c.isSurrogate() || c.isNull() || c == QChar::ReplacementCharacter)
            return false;
    return true;
}

bool keeps(double value)
{
    return std::isfinite(value) && std::fabs(value) < largestKept;
}

QString textRefusal(const QString& field, const QString& text)
{
    for (const QChar c : text) {
        if (c.isSurrogate())
            return QStringLiteral("El valor «%1» de «%2» lleva un emoji u otro carácter que el programa no "
                                  "puede guardar.")
                .arg(formats::shownValue(text), field);
        if (c.isNull())
            return QStringLiteral("El valor «%1» de «%2» lleva un carácter nulo, que el programa no puede "
                                  "guardar.")
                .arg(formats::shownValue(text), field);
        if (c == QChar::ReplacementCharacter)
            return QStringLiteral("El valor «%1» de «%2» lleva bytes que no se leen como letras (el archivo "
                                  "no es UTF-8 en esa fila): corríjalo y guarde el archivo en UTF-8.")
                .arg(formats::shownValue(text), field);
    }
    return {};
}

QString numberRefusal(const QString& field, double value, const QString& typed)
{
    if (keeps(value))
        return {};
    if (std::isnan(value))
        return QStringLiteral("El valor de «%1» no es un número (NaN): no se puede guardar.").arg(field);
    if (std::isinf(value))
        return QStringLiteral("El valor de «%1» es infinito: no se puede guardar.").arg(field);
    if (std::fabs(value) >= largestKept)
        return QStringLiteral("El valor %1 de «%2» es demasiado grande para guardarlo.")
            .arg(typed.isEmpty() ? QString::number(value, 'g', 6).replace(u'.', u',')
                                 : formats::shownValue(typed),
                 field);
    return {};
}

bool spellsNonFinite(const QString& text)
{
    QStringView word = QStringView(text).trimmed();
    if (word.startsWith(u'+') || word.startsWith(u'-'))
        word = word.sliced(1);
    return word.compare(u"inf", Qt::CaseInsensitive) == 0 ||
           word.compare(u"infinity", Qt::CaseInsensitive) == 0 ||
           word.compare(u"nan", Qt::CaseInsensitive) == 0;
}

QString nonFiniteTextRefusal(const QString& field, const QString& text)
{
    return QStringLiteral("El valor «%1» de «%2» no es un valor que se pueda guardar.")
        .arg(formats::shownValue(text.trimmed()), field);
}

} // namespace values
