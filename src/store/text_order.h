#pragma once

// The general sort order of the exhibition files: letters compare without regard to case, and an
// accented letter sorts beside its base letter ("Ángel" after "Angel", before "Antonio"). Two
// texts that differ only in case are equal, so "m" is found by sexo = 'M'.

#include <QString>
#include <QStringView>

namespace store::text
{

// Negative, zero or positive, as a comes before, equals or comes after b.
int compare(QStringView a, QStringView b);

// The same order on UTF-8 bytes, as the database sees them (fast for plain ASCII).
int compareUtf8(const char* a, int aLength, const char* b, int bLength);

// The pattern match of conditions: "*" any run of characters, "?" one character, "#" one digit,
// "[abc]", "[a-z]" and "[!abc]" one character of (or not of) a set. Case and accents are ignored
// as in compare().
bool like(QStringView text, QStringView pattern);

} // namespace store::text
