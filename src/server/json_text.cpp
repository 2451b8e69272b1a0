#include "server/json_text.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace server
{

void JsonText::next()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_out += ',';
        m_first.back() = false;
    }
}

JsonText& JsonText::beginObject()
{
    next();
    m_out += '{';
    m_first.push_back(true);
    return *this;
}

JsonText& JsonText::endObject()
{
    m_out += '}';
    m_first.pop_back();
    return *this;
}

JsonText& JsonText::beginArray()
{
    next();
    m_out += '[';
    m_first.push_back(true);
    return *this;
}

JsonText& JsonText::endArray()
{
    m_out += ']';
    m_first.pop_back();
    return *this;
}

JsonText& JsonText::key(const char* name)
{
    next();
    m_out += '"';
    m_out += name;
    m_out += "\":";
    m_afterKey = true;
    return *this;
}

JsonText& JsonText::value(const QString& text)
{
    next();
    m_out += '"';
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            m_out += "\\\"";
            break;
        case '\\':
            m_out += "\\\\";
            break;
        case '\n':
            m_out += "\\n";
            break;
        case '\r':
            m_out += "\\r";
            break;
        case '\t':
            m_out += "\\t";
            break;
        default:
            if (uchar(c) < 0x20)
                m_out += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
            else
                m_out += c;
        }
    }
    m_out += '"';
    return *this;
}

JsonText& JsonText::value(qint64 number)
{
    next();
    m_out += QByteArray::number(number);
    return *this;
}

JsonText& JsonText::value(double number)
{
    if (!std::isfinite(number))
        return null();
    next();
    // The shortest text that reads back to the same double, as Qt writes it; without the locale
    // machinery, which costs more than the rest of a cage's answer.
    char digits[32];
    const std::to_chars_result written = std::to_chars(std::begin(digits), std::end(digits), number);
    m_out.append(digits, written.ptr - digits);
    return *this;
}

JsonText& JsonText::null()
{
    next();
    m_out += "null";
    return *this;
}

JsonText& JsonText::raw(const QByteArray& json)
{
    next();
    m_out += json;
    return *this;
}

} // namespace server
