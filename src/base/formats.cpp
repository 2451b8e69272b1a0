#include "base/formats.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace formats
{

namespace
{

// The value rounded to 15 significant digits, written in plain decimal notation. This is the
// decimal value the user typed or saw; rounding happens on it.
std::string decimalDigits(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    if (std::strchr(buffer, 'e') == nullptr)
        return buffer;
    // Expand the exponent form ("1.5e-05", "1e+20") into plain digits.
    std::snprintf(buffer, sizeof buffer, "%.20f", std::strtod(buffer, nullptr));
    return buffer;
}

} // namespace

double roundScore(double value)
{
    // From 10^15 on a double has no cents left to round (and its digits would not fit the
    // decimal writing below): it is already as round as it can be.
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return value;
    // Away from a half cent the binary value rounds as its decimal does; only a value that may
    // be a half cent (85.125, 1.005) needs the decimal digits, which cost a formatting.
    const double scaled = std::fabs(value) * 100.0;
    if (scaled < 1e9 && std::fabs(scaled - std::floor(scaled) - 0.5) > 1e-6) {
        const double rounded = std::round(scaled) / 100.0;
        return value < 0 ? -rounded : rounded;
    }
    std::string digits = decimalDigits(std::fabs(value));
    const auto dot = digits.find('.');
    std::string whole = dot == std::string::npos ? digits : digits.substr(0, dot);
    std::string fraction = dot == std::string::npos ? std::string() : digits.substr(dot + 1);
    fraction.resize(std::max<std::size_t>(fraction.size(), 3), '0');
    // Cents as an exact integer: whole part, two decimals, then the third decides.
    long double cents = std::strtold((whole + fraction.substr(0, 2)).c_str(), nullptr);
    if (fraction[2] >= '5')
        cents += 1;
    const double rounded = static_cast<double>(cents / 100.0L);
    return value < 0 ? -rounded : rounded;
}

QString score(double value)
{
    const double rounded = roundScore(value);
    QString text = QLocale::c().toString(std::fabs(rounded), 'f', 2); // "1234.50"
    const qsizetype dot = text.indexOf(u'.');
    QString whole = text.left(dot);
    const QString cents = text.mid(dot + 1);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, u'.');
    QString result = whole + u',' + cents;
    if (rounded < 0)
        result.prepend(u'-');
    return result;
}

QString mask(const QString& text, int width)
{
    return text.size() >= width ? text : QString(width - text.size(), u' ') + text;
}

QString fitLeft(const QString& text, int width)
{
    return text.size() >= width ? text.left(width) : text + QString(width - text.size(), u' ');
}

QString fitRight(const QString& text, int width)
{
    return text.size() >= width ? text.left(width) : QString(width - text.size(), u' ') + text;
}

std::optional<double> parseNumber(const QString& text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (t.contains(u',')) {
        // Spanish form: dots group thousands, the comma is the decimal point.
        const qsizetype comma = t.indexOf(u',');
        if (t.indexOf(u',', comma + 1) >= 0)
            return std::nullopt;
        QString whole = t.left(comma);
        if (whole.contains(u'.')) {
            // Groups of three after the first: "1.234" or "12.345.678".
            const QStringList groups = whole.split(u'.');
            for (qsizetype i = 1; i < groups.size(); ++i)
                if (groups[i].size() != 3)
                    return std::nullopt;
            whole.remove(u'.');
        }
        t = whole + u'.' + t.mid(comma + 1);
    }
    bool ok = false;
    // The C locale reads "." as the decimal point and refuses grouping, blanks and letters.
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QString number;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        number += text[i++];
    bool seenDot = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            number += c;
        else if (c == u'.' && !seenDot) {
            seenDot = true;
            number += c;
        } else
            break;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    return ok ? value : 0.0;
}

QString plainNumber(double value)
{
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e'))
        text = QString::number(value, 'f', 6);
    text.replace(u'.', u',');
    return text;
}

} // namespace formats
