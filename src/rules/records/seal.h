#pragma once

// The seal of a show's results: twelve characters that any machine computes the same from the same
// results, and that change when any of them changes. It is a SHA-256 of a canonical text of the
// results, so that a printed result can later be checked against the file it came from.

#include <QString>

namespace store
{
class Database;
}

namespace records
{

// The letters and digits of a seal: none that can be read as another (no 0, O, 1, I or L).
inline constexpr const char* sealAlphabet = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";

// The canonical text of the results, in a fixed order and a fixed, locale-free number form: the
// birds (cage, ring, group, category, sex, final score, finished flag) by cage and ring, the
// statuses by cage and ring, the score rows (cage, judge, the five criteria) by cage, judge and
// values, and the scoring rule with its number of judges. Every value is written with its length
// before it, so that no value can pass for two.
QByteArray sealText(const store::Database& db);

// "XXXX-XXXX-XXXX", from the results as they are now.
QString seal(const store::Database& db);

// A seal as typed: letters in capitals, blanks and dashes left out ("abcd efgh-jkmn" gives
// "ABCDEFGHJKMN"); compared that way, so that the reader may type it as printed or not.
bool sameSeal(const QString& seal, const QString& typed);

} // namespace records
