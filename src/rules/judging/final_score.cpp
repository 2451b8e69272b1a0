#include "rules/judging/final_score.h"

#include "base/formats.h"
#include "rules/records/closed_state.h"
#include "store/database.h"
#include "store/error.h"
#include "store/recordset.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace judging
{

namespace
{

// The one reading of a Config record's two fields; no value counts as 0 and false.
ScoringRule ruleOf(const QVariant& jueces, const QVariant& media)
{
    return {jueces.isNull() ? 0 : jueces.toInt(), !media.isNull() && media.toLongLong() != 0
                                                      ? Criterion::Average
                                                      : Criterion::DropHighestAndLowest};
}

} // namespace

ScoringRule ScoringRule::read(const store::Database& db)
{
    store::Statement config =
        db.query(QStringLiteral("SELECT Jueces, media FROM Config ORDER BY rowid LIMIT 1"));
    if (!config.step())
        return {};
    return ruleOf(config.isNull(0) ? QVariant() : QVariant(config.int64(0)),
                  config.isNull(1) ? QVariant() : QVariant(config.int64(1)));
}

ScoringRule ScoringRule::of(const store::Recordset& config)
{
    if (!config.isOpen() || config.recordCount() == 0 || config.eof() || config.bof())
        return {};
    return ruleOf(config.value(QStringLiteral("jueces")), config.value(QStringLiteral("media")));
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

CageResult resultOf(const std::vector<JudgeTotal>& totals, int rowCount, const ScoringRule& rule)
{
    return {finalScore(totals, rule.criterion), termina(rowCount, rule.jueces)};
}

void storeCageResult(store::Database& db, int cage, const CageResult& result)
{
    store::Statement update =
        db.prepare(QStringLiteral("UPDATE Recepcion SET puntos = ?, termina = ? WHERE jaula = ?"));
    update.bind(1, result.puntos).bind(2, result.termina).bind(3, qint64(cage));
    update.run();
}

namespace
{

// One score row, by the cage it names; kept small, since the largest exhibitions hold half a
// million of them.
struct ScoreRow {
    int cage;
    JudgeTotal total; // a NaN total: the row has none
};

// The rows of one cage: a run of the sorted rows.
struct CageRun {
    int cage;
    std::size_t begin;
    std::size_t end;
};

// The cage a score row's text names. Lookups compare the cage's number written as text with the
// row's text, so only the plain form ("7", not "07" nor " 7") can meet a received cage.
std::optional<int> cageOfText(std::string_view text)
{
    std::size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    if (text.size() == i || text.size() - i > 10 || (text[i] == '0' && (i == 1 || text.size() > 1)))
        return std::nullopt;
    qint64 value = 0;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9')
            return std::nullopt;
        value = value * 10 + (text[k] - '0');
    }
    if (i == 1)
        value = -value;
    if (value < INT_MIN || value > INT_MAX) // cages are 32-bit numbers
        return std::nullopt;
    return int(value);
}

// Every score row that can meet a cage, grouped by cage and in store order within each cage.
// Sorted runs rather than a hash of cage texts: the cost stays linear in the rows on the largest
// exhibitions, where a hash of 100,000 strings spends its time in cache misses and allocations.
std::vector<ScoreRow> readScoreRows(const store::Database& db, std::vector<CageRun>& runs)
{
    std::vector<ScoreRow> rows;
    {
        store::Statement count = db.query(QStringLiteral("SELECT count(*) FROM Puntos"));
        if (count.step())
            rows.reserve(std::size_t(count.int64(0)));
    }
    store::Statement scores =
        db.query(QStringLiteral("SELECT jaula, juez, puntost FROM Puntos ORDER BY rowid"));
    while (scores.step()) {
        if (scores.isNull(0))
            continue;
        const std::optional<int> cage = cageOfText(scores.utf8(0));
        if (!cage)
            continue;
        rows.push_back({*cage,
                        {scores.isNull(1) ? INT_MIN : int(scores.int64(1)),
                         scores.isNull(2) ? std::numeric_limits<double>::quiet_NaN() : scores.real(2)}});
    }
    // Rows are mostly entered cage by cage, and then already in order.
    const auto byCage = [](const ScoreRow& a, const ScoreRow& b) { return a.cage < b.cage; };
    if (!std::is_sorted(rows.begin(), rows.end(), byCage))
        std::stable_sort(rows.begin(), rows.end(), byCage);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (runs.empty() || runs.back().cage != rows[i].cage)
            runs.push_back({rows[i].cage, i, i});
        runs.back().end = i + 1;
    }
    return rows;
}

} // namespace

int recomputeFinalScores(store::Database& db)
{
    // A closed show's scores were stored when it was closed and are the sealed ones; the file
    // refuses to store them again, and the readers that reload them must still work.
    if (records::isClosed(db))
        return 0;
    const ScoringRule rule = ScoringRule::read(db);
    store::Transaction transaction(db);

    std::vector<CageRun> runs;
    const std::vector<ScoreRow> rows = readScoreRows(db, runs);

    store::Statement birds =
        db.prepare(QStringLiteral("SELECT jaula, puntos, termina FROM Recepcion ORDER BY rowid"));
    std::vector<JudgeTotal> totals;
    int stored = 0;
    while (birds.step()) {
        if (birds.isNull(0))
            continue;
        const qint64 cage = birds.int64(0);
        const auto run = std::lower_bound(runs.begin(), runs.end(), cage,
                                          [](const CageRun& r, qint64 c) { return qint64(r.cage) < c; });
        if (run == runs.end() || run->cage != cage)
            continue;
        totals.clear();
        for (std::size_t i = run->begin; i < run->end; ++i)
            if (!std::isnan(rows[i].total.puntost))
                totals.push_back(rows[i].total);
        const CageResult result = resultOf(totals, int(run->end - run->begin), rule);
        const std::string_view storedFlag = birds.utf8(2);
        if (birds.isNull(1) || birds.real(1) != result.puntos ||
            result.termina != QLatin1StringView(storedFlag.data(), qsizetype(storedFlag.size()))) {
            try {
                storeCageResult(db, int(cage), result);
            } catch (const base::Error& e) {
                // A file that cannot take the write fails the whole pass: SQLite may already have
                // undone the cages before this one, and the rest would be stored one by one.
                if (e.isStorage())
                    throw store::Error(e.message() + QStringLiteral(" No se ha guardado ninguna puntuación."),
                                       store::Error::Kind::Storage, e.sqliteCode());
                continue; // the file refuses this cage's own values: it keeps its old score
            }
        }
        ++stored;
    }
    transaction.commit();
    return stored;
}

} // namespace judging
