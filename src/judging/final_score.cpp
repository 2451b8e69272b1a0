#include "judging/final_score.h"

#include "shell/formats.h"
#include "store/database.h"
#include "store/error.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace judging {

ScoringRule ScoringRule::read(const store::Database& db)
{
    ScoringRule rule;
    store::Statement config = db.prepare(QStringLiteral("SELECT Jueces, media FROM Config ORDER BY rowid LIMIT 1"));
    if (config.step()) {
        rule.jueces = config.isNull(0) ? 0 : int(config.int64(0));
        rule.criterion = (!config.isNull(1) && config.int64(1) != 0) ? Criterion::Average
                                                                     : Criterion::DropHighestAndLowest;
    }
    return rule;
}

double finalScore(const std::vector<JudgeTotal>& rows, Criterion criterion)
{
    if (rows.empty())
        return 0;
    double sum = 0;
    if (criterion == Criterion::Average) {
        for (const JudgeTotal& row : rows)
            sum += row.puntost;
        return formats::roundScore(sum / double(rows.size()));
    }
    std::vector<JudgeTotal> byTotal = rows;
    std::stable_sort(byTotal.begin(), byTotal.end(),
                     [](const JudgeTotal& a, const JudgeTotal& b) { return a.puntost < b.puntost; });
    const int lowest = byTotal.front().juez;
    const int highest = byTotal.back().juez;
    for (const JudgeTotal& row : byTotal)
        if (row.juez == INT_MIN || (row.juez != lowest && row.juez != highest))
            sum += row.puntost;
    return formats::roundScore(sum);
}

QString termina(int rowCount, int jueces)
{
    return rowCount == jueces ? QStringLiteral("S") : QStringLiteral("N");
}

namespace {

struct CageRows {
    std::vector<JudgeTotal> rows;
    bool unreadable = false; // a row without a total: the cage is skipped
};

} // namespace

int recalcularPuntuaciones(const store::Database& db)
{
    const ScoringRule rule = ScoringRule::read(db);
    store::Transaction transaction(db);

    // Every score row, grouped by the cage text as stored, in store order.
    std::unordered_map<std::string, CageRows> cages;
    {
        store::Statement scores = db.prepare(QStringLiteral("SELECT jaula, juez, puntost FROM Puntos ORDER BY rowid"));
        while (scores.step()) {
            if (scores.isNull(0))
                continue;
            CageRows& cage = cages[std::string(scores.utf8(0))];
            if (scores.isNull(2)) {
                cage.unreadable = true;
                continue;
            }
            cage.rows.push_back({scores.isNull(1) ? INT_MIN : int(scores.int64(1)), scores.real(2)});
        }
    }

    store::Statement birds = db.prepare(QStringLiteral("SELECT rowid, jaula, puntos, termina FROM Recepcion ORDER BY rowid"));
    store::Statement store = db.prepare(QStringLiteral("UPDATE Recepcion SET puntos = ?, termina = ? WHERE rowid = ?"));
    int stored = 0;
    while (birds.step()) {
        if (birds.isNull(1))
            continue;
        const auto found = cages.find(std::to_string(birds.int64(1)));
        if (found == cages.end() || found->second.unreadable)
            continue;
        const std::vector<JudgeTotal>& rows = found->second.rows;
        const double score = finalScore(rows, rule.criterion);
        const QString flag = termina(int(rows.size()), rule.jueces);
        if (birds.isNull(2) || birds.real(2) != score || birds.text(3) != flag) {
            try {
                store.bind(1, score).bind(2, flag).bind(3, birds.int64(0));
                store.run();
            } catch (const store::Error&) {
                store.reset(); // this cage keeps its old score; the others go on
                continue;
            }
        }
        ++stored;
    }
    transaction.commit();
    return stored;
}

} // namespace judging
