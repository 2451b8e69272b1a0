#pragma once

// The one place for the number and text formats of the program: scores and coefficients as
// "#,##0.00" with the decimal comma, the "@" masks of the listings, and the reading of numbers
// typed with a decimal comma.

#include <QString>
#include <optional>

namespace formats
{

// Rounds half away from zero at two decimals, on the decimal value the user sees (1.005 gives
// 1.01), not on the binary approximation.
double roundScore(double value);

// "#,##0.00": 85.5 gives "85,50", 1234.5 gives "1.234,50", -3 gives "-3,00".
QString score(double value);

// "@@@" style mask: right-aligned in width characters; a longer text is kept whole.
QString mask(const QString& text, int width);

// Left-aligned in exactly width characters: padded with blanks or cut.
QString fitLeft(const QString& text, int width);

// Right-aligned in exactly width characters: padded with blanks on the left or cut at its end.
QString fitRight(const QString& text, int width);

// Reads a number typed the Spanish way: "85,5", "1.234,50", "-2". A text with a dot and no
// comma ("9.5") reads the dot as the decimal point, as users of other settings type it.
// Leading and trailing blanks are ignored. Anything else gives no value.
std::optional<double> parseNumber(const QString& text);

// The leading number of a text, as the Val function of the original reads it: blanks skipped,
// an optional sign, digits with "." as decimal point, up to the first character that cannot
// continue the number. "12x" gives 12, "" and "abc" give 0.
double leadingNumber(const QString& text);

// A number as text in the shortest form, with the decimal comma: 90 gives "90", 85.5 "85,5".
QString plainNumber(double value);

} // namespace formats
