#pragma once

// Finding a club in a list of clubs, as both club windows do: by its code as a whole word, or by
// the beginning of its name. Letters compare without regard to case or accents, in the order of
// the clubs file, and every character the user types is matched as itself: a quote, "*", "?",
// "#" or "[" in a name is no wildcard.

#include "rules/clubs/club.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace clubs
{

// True when text begins with word and no letter or digit follows it there: "7" begins "7" and
// "7 B", not "70".
bool beginsWithWord(QStringView text, QStringView word);

// The first club, in the list's order, whose code without blanks around it begins with the
// pattern (also without blanks) as a whole word. None for an empty pattern.
std::optional<int> findByCode(const std::vector<Club>& clubs, const QString& pattern);

// The pattern of the clubs file for a name beginning with the typed text (blanks around it
// dropped): its wildcard characters made literal, then "*".
QString nameBeginning(const QString& typed);

// The first club, in the list's order, whose name begins with the typed text (blanks around it
// dropped). An empty text finds the first club.
std::optional<int> findByName(const std::vector<Club>& clubs, const QString& typed);

} // namespace clubs
