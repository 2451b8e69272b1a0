#pragma once

// A bird's final score and finished flag, from the totals its judges gave it, by the criterion
// of the configuration: the average of the judges' totals, or the sum of the totals without the
// highest and the lowest judge.

#include <QString>
#include <climits>
#include <vector>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace judging
{

enum class Criterion {
    Average,              // media true
    DropHighestAndLowest, // media false, and a configuration never stored
};

struct ScoringRule {
    int jueces = 0; // judges that finish a bird
    Criterion criterion = Criterion::DropHighestAndLowest;

    // The rule of the exhibition's Config row (a field without a value counts as 0 or false):
    // read from the file, or from the current record of a result over Config (ConfigRs).
    static ScoringRule read(const store::Database& db);
    static ScoringRule of(const store::Recordset& config);
};

// One score row of a cage: its judge and the judge's total.
struct JudgeTotal {
    int juez = INT_MIN; // INT_MIN: a row without a judge number
    double puntost = 0;
};

// The final score of a cage with at least one row, rounded to two decimals. rows come in store
// order. For the drop rule the rows are taken in order of total (ties in store order); the judges
// of the first and of the last row are dropped with every row of theirs, and the rest is summed,
// not divided: one or two judges give 0.
double finalScore(const std::vector<JudgeTotal>& rows, Criterion criterion);

// "S" when the cage has exactly the configured number of rows, "N" otherwise.
QString termina(int rowCount, int jueces);

// What a cage's rows give its bird: the final score and the finished flag.
struct CageResult {
    double puntos = 0;
    QString termina; // "S" or "N"
};

// The one rule for every path (the judging window, the phones, the reload, the board): the
// score of the rows that have a total (totals, in store order), the flag of all rowCount rows.
// A row without a total (left so by another program) is counted as a judge's row but gives no
// score.
CageResult resultOf(const std::vector<JudgeTotal>& totals, int rowCount, const ScoringRule& rule);

// Writes the result on the cage's reception records (every bird received in it). The one writer
// of a final score; raises base::Error when the file refuses.
void storeCageResult(store::Database& db, int cage, const CageResult& result);

// The pass of the reception list's reload over the whole exhibition: for every received cage
// with score rows, computes and stores puntos and termina; cages without rows keep theirs. One
// transaction; a cage whose values the file refuses is skipped and the pass goes on. A file that
// cannot be written (full disk, read-only folder, I/O error, another program's lock) raises a
// store::Error of kind Storage and nothing of the pass is kept. Returns the number of cages whose
// score was stored: none on a closed show, whose stored scores are the sealed ones.
int recomputeFinalScores(store::Database& db);

} // namespace judging
