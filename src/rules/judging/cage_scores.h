#pragma once

// A cage as the judging window shows it: the bird received in it, its judges' rows with the
// bird's final score (the refresh), and the store of that final score when the window closes.

#include "rules/judging/final_score.h"
#include "rules/judging/judge_rows.h"
#include "store/recordset.h"

#include <QString>
#include <optional>
#include <vector>

namespace store
{
class Database;
}

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

// The bird of the cage, looked up in rece (the shared reception result, ReceRs, left on the
// bird); nothing when no bird was received in it. When rece holds another selection (reception
// leaves it on a single cage after a deletion) or is closed, the cage is read from the file
// instead, so that no received bird is hidden.
std::optional<Paloma> buscarPaloma(const store::Database& db, store::Recordset& rece, int cage);

// The judges' list of a cage and the bird's final score.
struct CageList {
    std::vector<JudgeScores> rows; // by judge for the average, by total from the highest otherwise
    double finalScore = 0;         // 0 when the cage has no rows
    // The cage's rows in the list's order: the window keeps it as the shared PuntosRs, through
    // which a judge's row is then read, changed or deleted.
    store::Recordset puntos;
};

// The refresh of the cage shown: the cage's rows in the list's order, and the final score
// computed from the rows in store order by the same rule as the reception reload, so that both
// give the same score. A row without a total is listed but left out of the score.
CageList refrescarJaula(const store::Database& db, int cage, Criterion criterion);

// The store when the window closes on a cage: when the cage has exactly rule.jueces rows, its
// final score and "S" are written on its reception record. Otherwise nothing is written: only
// the reception reload writes "N". True when it stored.
bool guardarPuntuacionFinal(store::Database& db, int cage, const ScoringRule& rule);

} // namespace judging
