#pragma once

// A value as the program's messages quote it. A refusal names the value refused, and a damaged
// or mistyped sheet can hold a cell of thousands of characters or control characters: the
// message shows a beginning that identifies the value, never the whole of it.

#include <QString>

namespace formats
{

// The longest value quoted whole, in characters.
inline constexpr int shownValueLength = 40;

// The value, or its first 40 characters followed by "…" and its length ("aaaa… (32.000
// caracteres)"); control characters (a NUL, a line end) are shown as "�", so that the message
// stays on its line and prints whole.
QString shownValue(const QString& value);

// A count with "." between thousands, as the messages give sizes: 32000 gives "32.000".
QString groupedCount(quint64 count);

} // namespace formats
