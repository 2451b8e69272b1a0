#pragma once

// One judge's row of a cage in Puntos, as the judging window enters it: the check of what was
// typed, its store, its change and its deletion. The rows go through the result opened over the
// cage's rows (the window's shared PuntosRs), passed in.

#include "rules/judging/final_score.h"
#include "rules/judging/score_ranges.h"

#include <QString>
#include <array>
#include <optional>
#include <variant>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace judging
{

// A judge's row of a cage.
struct JudgeScores {
    int juez = 0;
    std::array<double, apartadoCount> puntos{};
    double puntost = 0;
};

enum class EntryMode {
    New,    // "Grabar": a new row, its judge number typed
    Change, // "Modificar": the scores of an existing row; its judge is not changed
};

// What the entry panel holds: the judge box and the five score boxes.
struct JudgeEntry {
    QString juez;
    std::array<QString, apartadoCount> puntos;
};

// A refused entry: the box to go back to (0 the judge box, 1 to 5 the score boxes) and the
// message, shown titled "Aviso".
struct EntryProblem {
    int box = 0;
    QString message;
};

// Why the judge cannot score in an exhibition of jueces judges, or "" when it can: the number
// must be a whole number from 1 to jueces (nothing stands for a text that is not one).
QString judgeRangeRefusal(std::optional<qint64> juez, int jueces);

// The refusal of a judge who already has a row for the cage.
QString judgeTakenRefusal(int juez, int cage);

// The judge number typed for a new row of the cage, when it is a whole number from 1 to jueces
// and that judge has no row for the cage yet; otherwise the refusal's message.
std::variant<int, QString> checkNewJudge(const store::Database& db, int cage, const QString& text,
                                         int jueces);

// The whole entry checked as it is stored: for a new row the judge number first, then the five
// scores in order. The first problem, or the row to store, whose total is the sum of the five.
// In a change the judge box holds the judge of the row being changed and is not checked again.
std::variant<JudgeScores, EntryProblem> checkEntry(const store::Database& db, int cage, EntryMode mode,
                                                   const JudgeEntry& entry, int jueces);

// The cage's rows as the window's shared PuntosRs holds them, in the order of its list: by judge
// for the average, from the highest total down for the drop rule.
store::Recordset openCageRows(const store::Database& db, int cage, Criterion criterion);

// The current row of a result over Puntos; a field without a value reads as 0.
JudgeScores readJudgeRow(const store::Recordset& puntos);

// Stores the row through puntos: added, or written over the cage's row of that judge: the cage
// as text, the five scores as typed, their total, the bird's group and a blank category (the
// judged groups have none). A closed puntos is first opened over the cage's rows in db. Raises
// base::Error when the change finds no row, or when the store refuses; the result then stays
// usable for the next attempt.
void storeJudgeRow(const store::Database& db, store::Recordset& puntos, int cage, EntryMode mode,
                   const JudgeScores& row, const QString& grupo);

// The cage's row of the judge in puntos, for a change; nothing when there is none.
std::optional<JudgeScores> findJudgeRow(store::Recordset& puntos, int cage, int juez);

// Deletes the cage's row of the judge from puntos; false when there is none.
bool deleteJudgeRow(store::Recordset& puntos, int cage, int juez);

} // namespace judging
