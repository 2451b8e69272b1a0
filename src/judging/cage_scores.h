#pragma once

// A cage as the judging window shows it: the bird received in it, its judges' rows with the
// bird's final score (the refresh), and the store of that final score when the window closes.

#include "judging/judge_rows.h"

#include <QString>
#include <optional>
#include <vector>

struct AppState;

namespace judging
{

// The bird received in a cage, as the window shows it.
struct Paloma {
    QString anilla;
    QString anyo;
    QString sexo; // "M" or "H"
    QString color;
    QString grupo;
    QString categ;

    bool groupD() const; // group D birds are not judged
};

// The bird of the cage, looked up in ReceRs; nothing when no bird was received in it. When
// ReceRs holds another selection (reception leaves it on a single cage after a deletion), the
// cage is read through PuntosOneRs instead, so that no received bird is hidden.
std::optional<Paloma> buscarPaloma(AppState& state, int cage);

// The judges' list of a cage and the bird's final score.
struct CageList {
    std::vector<JudgeScores> rows; // by judge for the average, by total from the highest otherwise
    double finalScore = 0;         // 0 when the cage has no rows
};

// The refresh of the cage shown: PuntosRs is replaced by the cage's rows in the list's order,
// and the final score is computed from the rows in store order by the same rule as the
// reception reload, so that both give the same score. A row without a total is listed but left
// out of the score.
CageList refrescarJaula(AppState& state, int cage);

// The store when the window closes on a cage: when the cage has exactly the configured number
// of rows, its final score and "S" are written on its reception record (through PuntosOneRs).
// Otherwise nothing is written: only the reception reload writes "N". True when it stored.
bool guardarPuntuacionFinal(AppState& state, int cage);

} // namespace judging
