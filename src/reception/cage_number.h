#pragma once

#include <QString>
#include <optional>

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

} // namespace reception
