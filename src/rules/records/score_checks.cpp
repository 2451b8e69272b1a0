#include "base/formats.h"
#include "rules/records/checks.h"
#include "rules/records/show_checks.h"

#include <cmath>
#include <map>
#include <set>

namespace records::detail
{

namespace
{

bool judged(const Bird& bird)
{
    return bird.grupo == u'A' || bird.grupo == u'B' || bird.grupo == u'C';
}

// A judge this far from the others' mean is worth a second look at his sheet.
constexpr double differenceLimit = 3.0;

} // namespace

void checkMissingJudges(const Show& show, std::vector<Warning>& out)
{
    std::map<int, int> rows;
    for (const ScoreRow& row : show.scores)
        ++rows[row.jaula];
    for (const Bird& bird : show.birds) {
        const int count = rows.count(bird.jaula) ? rows.at(bird.jaula) : 0;
        if (bird.present && judged(bird) && count < show.jueces)
            out.push_back(
                birdWarning(show, bird, QStringLiteral("%1 de %2 jueces").arg(count).arg(show.jueces)));
    }
}

void checkJudgeDifferences(const Show& show, std::vector<Warning>& out)
{
    std::map<int, std::vector<const ScoreRow*>> byCage;
    for (const ScoreRow& row : show.scores)
        byCage[row.jaula].push_back(&row);
    for (const auto& [cage, rows] : byCage) {
        if (rows.size() < 2)
            continue;
        double sum = 0;
        for (const ScoreRow* row : rows)
            sum += row->total;
        for (const ScoreRow* row : rows) {
            const double others = (sum - row->total) / double(rows.size() - 1);
            const double difference = formats::roundScore(std::fabs(row->total - others));
            if (difference >= differenceLimit)
                out.push_back(
                    {cage,
                     {},
                     QStringLiteral("Jaula %1: el juez %2 difiere %3 puntos de la media de los demás")
                         .arg(cage)
                         .arg(row->juez)
                         .arg(formats::score(difference))});
        }
    }
}

void checkRepeatedRows(const Show& show, std::vector<Warning>& out)
{
    // Each judge's row before, in the order they were typed: a clerk who forgot to clear the
    // boxes stores the last sheet's scores under the next cage.
    std::map<int, const ScoreRow*> previous;
    for (const ScoreRow& row : show.scores) {
        const ScoreRow*& before = previous[row.juez];
        if (before && before->jaula != row.jaula && before->puntos == row.puntos)
            out.push_back({row.jaula,
                           {},
                           QStringLiteral("Jaula %1: el juez %2 repite las puntuaciones de la jaula %3")
                               .arg(row.jaula)
                               .arg(row.juez)
                               .arg(before->jaula)});
        before = &row;
    }
}

} // namespace records::detail
