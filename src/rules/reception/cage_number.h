#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace reception
{

// Cage numbers are whole numbers from 1 to 999: score rows hold the cage in three characters
// and every listing shows it in three.
constexpr int firstCage = 1;
constexpr int lastCage = 999;

// The cage typed, blanks around it ignored: "12" and "012" give 12; "0", "1000", "12x", "1,5"
// and "" give no cage.
std::optional<int> parseCage(const QString& text);

// The message for a typed text that is not a cage number.
QString invalidCageMessage(const QString& text);

// The cage that "Grabar" proposes for a new bird, given the cage of every bird received (one
// entry per bird): the count of birds plus one, as the clubs number their birds on arrival,
// when that cage is free; otherwise the next free cage above it, or below it when none is free
// up to lastCage. The proposal is never a cage in use, so that "Jaula Existente" cannot put a
// taken number back, and never outside firstCage..lastCage. Nothing when every cage is taken.
std::optional<int> proposeCage(const std::vector<int>& received);

} // namespace reception
