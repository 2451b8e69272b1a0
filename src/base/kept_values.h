#pragma once

// The values the exhibition keeps exactly as they are read or typed, and the refusal of those
// it cannot: the store, the listings and the text documents would alter them. Every entry of a
// value (the imports' cells, the windows' boxes) asks here before the value is accepted, so that
// such a value is refused with its reason and never stored changed.

#include <QString>

namespace values
{

// Whether the text, or the number, can be kept as it stands: the refusals below are "" exactly
// when it can. Cheap, for checking every cell of a sheet.
bool keeps(QStringView text);
bool keeps(double value);

// Why the text cannot be kept, naming the field as the user sees it (a column of the sheet, a box
// of the window), or "" when it can: a character outside the Basic Multilingual Plane (an emoji),
// which fields measured in characters would cut in half; a NUL, which ends the text early; or
// U+FFFD, which stands for bytes a file held that are not text in its encoding.
QString textRefusal(const QString& field, const QString& text);

// Why the number cannot be kept, or "" when it can: an infinity or a NaN, or a value too large
// for its cents to be kept exactly (9·10^13 and beyond). The value is quoted as typed when the
// text is given, as read otherwise.
QString numberRefusal(const QString& field, double value, const QString& typed = {});

// Whether the text spells a number that is not finite ("inf", "-Infinity", "nan"): a sheet's
// number written out as text, never a ring, year or licence.
bool spellsNonFinite(const QString& text);

// The refusal of such a text in the field.
QString nonFiniteTextRefusal(const QString& field, const QString& text);

} // namespace values
