#pragma once

// JSON written straight as text, for the answers the server gives most: a cage after every score
// and the board for every screen. Qt's JSON classes cost as much as the rest of a score's work
// together (a document of objects built, then serialised). Numbers are written as Qt writes
// them (the shortest text that reads back to the same double; whole numbers without a point),
// strings in UTF-8 with the escapes JSON requires.

#include <QByteArray>
#include <QString>
#include <vector>

namespace server
{

class JsonText
{
public:
    JsonText& beginObject();
    JsonText& endObject();
    JsonText& beginArray();
    JsonText& endArray();
    // The name of the next member of an object.
    JsonText& key(const char* name);
    JsonText& value(const QString& text);
    JsonText& value(qint64 number);
    JsonText& value(int number) { return value(qint64(number)); }
    JsonText& value(double number);
    JsonText& null();
    // A value already written as JSON text (a listing's rows kept as text).
    JsonText& raw(const QByteArray& json);

    const QByteArray& text() const { return m_out; }

private:
    void next(); // a comma before every value or member but the first
    QByteArray m_out;
    std::vector<bool> m_first;
    bool m_afterKey = false;
};

} // namespace server
