#pragma once

// A cage and its judges, one model for every path that reads or scores it: the judging window,
// the stewards' phones, the board. The bird received in the cage (findBird), its judges' rows and
// what they give it (readCage, by the rule of final_score.h), and a judge's row entered from
// outside the window (enterScore).

#include "rules/judging/final_score.h"
#include "rules/judging/judge_rows.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace store
{
class Database;
}

namespace judging
{

// The bird received in a cage, as the judges see it (never its owner, club nor licence).
struct Paloma {
    QString anilla;
    QString anyo;
    QString sexo; // "M" or "H"
    QString color;
    QString grupo;
    QString categ;

    bool groupD() const; // group D birds are not judged
};

// The bird received in the cage, the first when two were; nothing when none was.
std::optional<Paloma> findBird(const store::Database& db, int cage);

// A cage's judges' rows, in store order, and what they give its bird.
struct JudgedCage {
    std::vector<JudgeScores> rows;  // a field without a value reads as 0
    std::vector<JudgeTotal> totals; // the rows that have a total, as the rule takes them
    CageResult result;

    // A row added (as stored), and the result again.
    void add(const JudgeScores& row, const ScoringRule& rule);

    // The rows by judge number, ties in store order (the phones' and the average's list).
    std::vector<JudgeScores> byJudge() const;
    // The rows as the judging window lists them: by judge for the average, from the highest
    // total down for the drop rule, ties in store order.
    std::vector<JudgeScores> listed(Criterion criterion) const;
};

// The one reader of a cage's rows (the reload reads them all at once, with the same rule).
JudgedCage readCage(const store::Database& db, int cage, const ScoringRule& rule);

// The store when the judging window closes on a cage: when the cage has exactly rule.jueces rows,
// their result ("S") is written on its reception records; otherwise nothing is written, since
// only the reload writes "N". True when it stored.
bool storeWhenComplete(store::Database& db, int cage, const ScoringRule& rule);

// The refusal of a bird of group D, which is not judged (title "Aviso").
QString groupDRefusal();
// The refusal of a new row for a cage that already has the rows of all its judges.
QString fullCageRefusal(int cage, int jueces);
// The refusal of a row that is already stored as sent.
QString alreadyStoredMessage(int cage, qint64 juez);

// A judge's row entered from outside the judging window (a steward's phone), checked as the
// window checks it and stored with the bird's result, in one transaction.
struct RemoteEntry {
    enum class Outcome {
        Stored,
        NoBird,        // no bird in the cage
        Conflict,      // group D, cage full, judge outside the range or already scored
        AlreadyStored, // this judge's row holds these very scores: a send that came twice
        ScoreRefused   // a score outside its range
    };
    Outcome outcome = Outcome::Stored;
    QString message;            // the refusal, in the window's words
    std::optional<Paloma> bird; // when there is one
    JudgedCage cage;            // as the entry left it
};

// Checks and stores judge juez's five scores for the cage and brings the bird's final score and
// finished flag up to date, all in one transaction: the checks see the file as the write leaves
// it, so two entries for the same cage at once can never both store the same judge. Raises
// base::Error when the file cannot be written; nothing is then stored.
RemoteEntry enterScore(store::Database& db, int cage, qint64 juez,
                       const std::array<double, apartadoCount>& puntos);

// The cages that judge juez still has to score, in number order: every bird but those of group
// D, without a row of that judge, in a cage that still lacks some of its jueces judges.
std::vector<int> cagesToScore(const store::Database& db, qint64 juez, int jueces);

} // namespace judging
