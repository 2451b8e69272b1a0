#pragma once

// A judge's row entered from outside the judging window (a steward's phone, any tool of the
// show's network): the same checks and the same store as the window's, on a database the caller
// owns rather than on the shared results, the row and the bird's final score written in one
// transaction.

#include "rules/judging/cage_scores.h"
#include "rules/judging/judge_rows.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace judging
{

// The refusal of a bird of group D, which is not judged (title "Aviso").
QString groupDRefusal();

// The refusal of a new row for a cage that already has the rows of all its judges.
QString fullCageRefusal(int cage, int jueces);

// The bird received in the cage, read by its number; nothing when none was received in it.
std::optional<Paloma> palomaEnJaula(const store::Database& db, int cage);

// What a cage holds for whoever scores it: its judges' rows by judge number, and the final score
// and finished flag those rows give, by the exhibition's rule.
struct CageScores {
    std::vector<JudgeScores> rows;
    double finalScore = 0;
    QString termina; // "S" or "N"
};
CageScores puntuacionesJaula(const store::Database& db, int cage);

// Why a new row of judge juez for the cage cannot be stored, or "" when it can: a bird of group
// D, a cage with all its judges, a judge outside 1..jueces or one who already scored it.
QString newRowRefusal(const store::Database& db, int cage, const Paloma& bird, qint64 juez, int jueces);

// Writes the row's fields on the current record of puntos (after addNew or edit) and stores it,
// as the judging window stores a row: the cage as text, the five scores as typed, their total,
// the bird's group, a blank category. On a refusal the record is given up and base::Error raised.
void storeJudgeRow(store::Recordset& puntos, int cage, const JudgeScores& row, const QString& grupo);

// The outcome of an entry from outside the window.
struct RemoteEntry {
    enum class Outcome {
        Stored,
        NoBird,      // no bird in the cage
        Conflict,      // group D, cage full, judge outside the range or already scored
        AlreadyStored, // this judge's row holds these very scores: a send that came twice
        ScoreRefused   // a score outside its range
    };
    Outcome outcome = Outcome::Stored;
    QString message; // the refusal, in the window's words
};

// Checks and stores judge juez's five scores for the cage and brings the bird's final score and
// finished flag up to date, all in one transaction: the checks see the file as the write leaves
// it, so two entries for the same cage at once can never both store the same judge. Raises
// base::Error when the file cannot be written; nothing is then stored.
RemoteEntry anotarPuntuacion(store::Database& db, int cage, qint64 juez,
                             const std::array<double, apartadoCount>& puntos);

// The refusal of a row that is already stored as sent.
QString alreadyStoredMessage(int cage, qint64 juez);

// The cages that judge juez still has to score, in number order: every bird but those of group
// D, without a row of that judge, in a cage that still lacks some of its jueces judges.
std::vector<int> cagesToScore(const store::Database& db, qint64 juez, int jueces);

} // namespace judging
