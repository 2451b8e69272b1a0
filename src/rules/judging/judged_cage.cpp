#include "rules/judging/judged_cage.h"

#include "rules/judging/score_ranges.h"
#include "rules/records/closed_state.h"
#include "rules/records/statuses.h"
#include "store/database.h"

#include <algorithm>

namespace judging
{

namespace
{

// The cage as the score rows hold it: the text of its number.
QString cageText(int cage)
{
    return QString::number(cage);
}

bool sameScores(const JudgeScores& row, qint64 juez, const std::array<double, apartadoCount>& puntos)
{
    return row.juez == juez && row.puntos == puntos;
}

} // namespace

bool Paloma::groupD() const
{
    return grupo.trimmed().compare(QStringLiteral("D"), Qt::CaseInsensitive) == 0;
}

std::optional<Paloma> findBird(const store::Database& db, int cage)
{
    store::Statement bird = db.query(QStringLiteral("SELECT anilla, \"año\", sexo, color, grupo, categ FROM "
                                                    "Recepcion WHERE jaula = ? ORDER BY rowid LIMIT 1"));
    bird.bind(1, qint64(cage));
    if (!bird.step())
        return std::nullopt;
    return Paloma{bird.text(0), bird.text(1), bird.text(2), bird.text(3), bird.text(4), bird.text(5)};
}

std::vector<JudgeScores> JudgedCage::byJudge() const
{
    return listed(Criterion::Average);
}

std::vector<JudgeScores> JudgedCage::listed(Criterion criterion) const
{
    std::vector<JudgeScores> sorted = rows;
    if (criterion == Criterion::Average)
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const JudgeScores& a, const JudgeScores& b) { return a.juez < b.juez; });
    else
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const JudgeScores& a, const JudgeScores& b) { return a.puntost > b.puntost; });
    return sorted;
}

void JudgedCage::add(const JudgeScores& row, const ScoringRule& rule)
{
    rows.push_back(row);
    totals.push_back({row.juez, row.puntost});
    result = resultOf(totals, int(rows.size()), rule);
}

JudgedCage readCage(const store::Database& db, int cage, const ScoringRule& rule)
{
    store::Statement rows =
        db.query(QStringLiteral("SELECT juez, puntos1, puntos2, puntos3, puntos4, puntos5, puntost FROM "
                                "Puntos WHERE jaula = ? ORDER BY rowid"));
    rows.bind(1, cageText(cage));
    JudgedCage judged;
    while (rows.step()) {
        JudgeScores row;
        row.juez = rows.isNull(0) ? 0 : int(rows.int64(0));
        for (int i = 0; i < apartadoCount; ++i)
            row.puntos[std::size_t(i)] = rows.isNull(1 + i) ? 0 : rows.real(1 + i);
        row.puntost = rows.isNull(6) ? 0 : rows.real(6);
        judged.rows.push_back(row);
        if (!rows.isNull(6))
            judged.totals.push_back({rows.isNull(0) ? INT_MIN : row.juez, row.puntost});
    }
    judged.result = resultOf(judged.totals, int(judged.rows.size()), rule);
    return judged;
}

bool storeWhenComplete(store::Database& db, int cage, const ScoringRule& rule)
{
    const JudgedCage judged = readCage(db, cage, rule);
    if (judged.rows.empty() || int(judged.rows.size()) != rule.jueces)
        return false;
    storeCageResult(db, cage, judged.result);
    return true;
}

QString groupDRefusal()
{
    return QStringLiteral("El Grupo D no se Puntua ");
}

QString fullCageRefusal(int cage, int jueces)
{
    return QStringLiteral("La jaula %1 ya tiene las puntuaciones de sus %2 jueces.").arg(cage).arg(jueces);
}

QString alreadyStoredMessage(int cage, qint64 juez)
{
    return QStringLiteral("La puntuación del juez %1 en la jaula %2 ya estaba guardada.").arg(juez).arg(cage);
}

RemoteEntry enterScore(store::Database& db, int cage, qint64 juez,
                       const std::array<double, apartadoCount>& puntos)
{
    records::refuseIfClosed(db);
    using Outcome = RemoteEntry::Outcome;
    store::Transaction transaction(db);
    RemoteEntry entry;
    entry.bird = findBird(db, cage);
    if (!entry.bird) {
        entry.outcome = Outcome::NoBird;
        entry.message = QStringLiteral("No hay ninguna paloma en la jaula %1.").arg(cage);
        return entry;
    }
    const ScoringRule rule = ScoringRule::read(db);
    entry.cage = readCage(db, cage, rule);
    const auto refuse = [&entry](Outcome outcome, const QString& message) {
        entry.outcome = outcome;
        entry.message = message;
        return entry;
    };
    const std::vector<JudgeScores>& rows = entry.cage.rows;
    if (std::any_of(rows.begin(), rows.end(),
                    [&](const JudgeScores& row) { return sameScores(row, juez, puntos); }))
        return refuse(Outcome::AlreadyStored, alreadyStoredMessage(cage, juez));
    if (const QString refusal = records::scoreRefusal(db, cage); !refusal.isEmpty())
        return refuse(Outcome::Conflict, refusal);
    if (entry.bird->groupD())
        return refuse(Outcome::Conflict, groupDRefusal());
    if (const QString refusal = judgeRangeRefusal(juez, rule.jueces); !refusal.isEmpty())
        return refuse(Outcome::Conflict, refusal);
    if (int(rows.size()) >= rule.jueces)
        return refuse(Outcome::Conflict, fullCageRefusal(cage, rule.jueces));
    if (std::any_of(rows.begin(), rows.end(), [&](const JudgeScores& row) { return row.juez == juez; }))
        return refuse(Outcome::Conflict, judgeTakenRefusal(int(juez), cage));
    for (int i = 0; i < apartadoCount; ++i)
        if (!withinRange(i, puntos[std::size_t(i)]))
            return refuse(Outcome::ScoreRefused, scoreRefusedMessage());

    const JudgeScores row{int(juez), puntos, totalOf(puntos)};
    // Bound, not spliced: the statements are compiled once and kept for the next score.
    store::Statement insert = db.prepare(QStringLiteral(
        "INSERT INTO Puntos (jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5, puntost, "
        "Grupo, categ) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ' ')"));
    insert.bind(1, cageText(cage)).bind(2, juez);
    for (int i = 0; i < apartadoCount; ++i)
        insert.bind(3 + i, puntos[std::size_t(i)]);
    insert.bind(8, row.puntost).bind(9, entry.bird->grupo.trimmed());
    insert.run();
    entry.cage.add(row, rule);
    storeCageResult(db, cage, entry.cage.result);
    transaction.commit();
    return entry;
}

std::vector<int> cagesToScore(const store::Database& db, qint64 juez, int jueces)
{
    store::Statement cages = db.query(QStringLiteral(
        "SELECT DISTINCT r.jaula FROM Recepcion r WHERE upper(trim(r.grupo)) <> 'D' "
        "AND NOT EXISTS (SELECT 1 FROM Puntos p WHERE p.jaula = CAST(r.jaula AS TEXT) AND p.juez = ?) "
        "AND (SELECT count(*) FROM Puntos p WHERE p.jaula = CAST(r.jaula AS TEXT)) < ? "
        // An absent or disqualified bird is not to be scored (see records::scoreRefusal).
        "AND NOT EXISTS (SELECT 1 FROM Estado e WHERE e.jaula = r.jaula) ORDER BY r.jaula"));
    cages.bind(1, juez).bind(2, qint64(jueces));
    std::vector<int> found;
    while (cages.step())
        found.push_back(int(cages.int64(0)));
    return found;
}

} // namespace judging
