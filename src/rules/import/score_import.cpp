#include "rules/import/score_import.h"

#include "base/formats.h"
#include "base/kept_values.h"
#include "base/shown_value.h"
#include "rules/import/worksheet.h"
#include "rules/judging/judge_rows.h"
#include "rules/judging/score_ranges.h"
#include "rules/reception/cage_number.h"
#include "rules/records/closed_state.h"
#include "rules/records/statuses.h"
#include "store/database.h"
#include "store/recorded_pass.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

namespace imports
{

namespace
{

enum Column { A = 1, B, C, I = 9, J, K, L, M, N };

// "SP" is what the judges write for a criterion not scored; blanks and case are forgiven.
bool isSp(const Cell& cell)
{
    return cell.kind == Cell::Kind::Text && cell.text.trimmed().compare(u"SP", Qt::CaseInsensitive) == 0;
}

ScoreCell scoreCell(const Cell& cell)
{
    ScoreCell score;
    score.typed = cell.toText().trimmed();
    if (isSp(cell)) {
        score.sp = true;
        score.shown = cell.text;
    } else if (const std::optional<double> number = cell.toNumber()) {
        score.read = number;
        if (values::keeps(*number)) {
            score.value = formats::roundScore(*number);
            score.shown = formats::score(*score.value);
        } else {
            // Shown as read, for the row to be refused: rounding would alter it.
            score.value = *number;
            score.shown = QString::number(*number, 'g', 6).replace(u'.', u',');
        }
    } else {
        score.shown = cell.toText();
    }
    return score;
}

ScoreCell totalCell(const Cell& cell)
{
    if (cell.isBlank())
        return {formats::score(0), 0.0, 0.0, false, {}};
    return scoreCell(cell);
}

QString criterion(std::size_t index)
{
    return QStringLiteral("Puntos%1").arg(index + 1);
}

// The number as the sheet holds it; a score that is a number has both.
double asRead(const ScoreCell& score)
{
    return score.read.value_or(*score.value);
}

// The judge's total of the criteria as read, as the judging window adds what is typed.
double criteriaTotal(const ScoreRow& row)
{
    std::array<double, judging::apartadoCount> read{};
    for (std::size_t k = 0; k < read.size(); ++k)
        read[k] = asRead(row.puntos[k]);
    return judging::totalOf(read);
}

// The cages each judge has scored. Rows stored with a cage written otherwise ("012") are the
// same cage.
class ScoredCages
{
public:
    explicit ScoredCages(const store::Database& db)
    {
        store::Statement scores = db.query(QStringLiteral("SELECT jaula, juez FROM Puntos"));
        while (scores.step()) {
            if (scores.isNull(0) || scores.isNull(1))
                continue;
            if (const std::optional<int> cage = reception::parseCage(scores.text(0)))
                add(*cage, scores.int64(1));
        }
    }
    bool contains(int cage, qint64 juez) const { return m_scored.count({cage, juez}) != 0; }
    void add(int cage, qint64 juez) { m_scored.insert({cage, juez}); }

private:
    std::set<std::pair<int, qint64>> m_scored;
};

} // namespace

int configuredJudges(const store::Database& db)
{
    return judging::ScoringRule::read(db).jueces;
}

QString judgeRefusal(const QString& juez, int jueces)
{
    if (jueces < 1) // no judge can score: the configuration is at fault, not the number
        return judging::judgeRangeRefusal(std::nullopt, jueces);
    if (juez.trimmed().isEmpty())
        return QStringLiteral("Falta el número de juez.");
    if (const QString refusal = refusalFor(QStringLiteral("Puntos"), QStringLiteral("juez"), juez.trimmed());
        !refusal.isEmpty())
        return refusal;
    return judging::judgeRangeRefusal(qint64(*formats::parseNumber(juez)), jueces);
}

ScoreSheet readScores(const QString& path, const Progress& progress)
{
    const Worksheet sheet = Worksheet::open(path, sheetName(), [&] { waiting(progress); });
    ScoreSheet result;
    result.juez = sheet.cell(2, B).toText().trimmed();
    result.rows.reserve(std::size_t(lastDataRow(sheet) - firstDataRow + 1));
    forEachDataRow(sheet, progress, [&](int r) {
        ScoreRow row;
        auto text = [&](int column, const char16_t* title) {
            return rowCellText(sheet, r, column, title, row.cellRefusal);
        };
        row.sheetRow = r;
        row.jaula = text(A, u"Jaula");
        row.grupo = text(B, u"Grupo");
        row.sexo = text(C, u"Sexo");
        for (int k = 0; k < 5; ++k)
            row.puntos[std::size_t(k)] = scoreCell(sheet.cell(r, I + k));
        row.total = totalCell(sheet.cell(r, N));
        result.rows.push_back(std::move(row));
    });
    return result;
}

RowStatus assessScore(const ScoreRow& row, const QString& juez, int jueces)
{
    // A bird the judge did not score: nothing to refuse.
    if (row.total.sp || (row.total.value && *row.total.value == 0))
        return RowStatus::skip(QStringLiteral("Total 0: no se graba."));
    for (const ScoreCell& score : row.puntos)
        if (score.sp)
            return RowStatus::skip(QStringLiteral("SP: no se graba."));

    if (!row.cellRefusal.isEmpty())
        return RowStatus::refuse(row.cellRefusal);
    const std::pair<const char16_t*, const QString*> stored[] = {
        {u"Jaula", &row.jaula}, {u"Grupo", &row.grupo}, {u"Sexo", &row.sexo}};
    for (const auto& [title, value] : stored)
        if (!values::keeps(*value))
            return RowStatus::refuse(values::textRefusal(QString::fromUtf16(title), *value));
    if (!reception::parseCage(row.jaula))
        return RowStatus::refuse(reception::invalidCageMessage(row.jaula));
    if (const QString refusal = judgeRefusal(juez, jueces); !refusal.isEmpty())
        return RowStatus::refuse(refusal);
    for (std::size_t k = 0; k < row.puntos.size(); ++k) {
        const ScoreCell& score = row.puntos[k];
        if (score.isEmpty())
            return RowStatus::refuse(QStringLiteral("Falta la puntuación de %1.").arg(criterion(k)));
        if (!score.value)
            return RowStatus::refuse(QStringLiteral("La puntuación «%1» de %2 no es un número ni «SP».")
                                         .arg(formats::shownValue(score.shown.trimmed()), criterion(k)));
    }
    if (!row.total.value)
        return RowStatus::refuse(QStringLiteral("El total «%1» no es un número.")
                                     .arg(formats::shownValue(row.total.shown.trimmed())));

    for (const ScoreCell& score : row.puntos)
        if (*score.value == 0)
            return RowStatus::skip(QStringLiteral("Un criterio con 0: no se graba."));

    // The judging window's own ranges: a value it would refuse is refused here too.
    for (std::size_t k = 0; k < row.puntos.size(); ++k) {
        const ScoreCell& score = row.puntos[k];
        const double read = asRead(score);
        if (!values::keeps(read))
            return RowStatus::refuse(values::numberRefusal(criterion(k), read, score.typed));
        if (!judging::withinRange(int(k), read)) {
            const judging::Apartado& apartado = judging::apartados()[k];
            return RowStatus::refuse(QStringLiteral("La puntuación %1 de %2 no está entre %3 y %4.")
                                         .arg(formats::shownValue(score.typed), criterion(k))
                                         .arg(apartado.low)
                                         .arg(apartado.high));
        }
    }
    const double total = asRead(row.total);
    if (const QString refusal = values::numberRefusal(QStringLiteral("Total"), total, row.total.typed);
        !refusal.isEmpty())
        return RowStatus::refuse(refusal);
    // A total that is not the judge's sum would become the bird's score as it stands.
    if (const double sum = criteriaTotal(row); formats::roundScore(total) != sum)
        return RowStatus::refuse(QStringLiteral("El total %1 no es la suma de las cinco puntuaciones, %2.")
                                     .arg(formats::shownValue(row.total.typed), formats::score(sum)));
    return {};
}

RowStatus assessScore(const store::Database& db, const ScoreRow& row, const QString& juez, int jueces)
{
    RowStatus status = assessScore(row, juez, jueces);
    if (status.verdict == Verdict::Store)
        if (const QString refusal = records::scoreRefusal(db, *reception::parseCage(row.jaula));
            !refusal.isEmpty())
            return RowStatus::refuse(refusal);
    return status;
}

bool isBlankSheet(const std::vector<ScoreRow>& rows)
{
    return std::all_of(rows.begin(), rows.end(), [](const ScoreRow& row) {
        return (row.jaula + row.grupo + row.sexo + row.total.typed).isEmpty() && row.cellRefusal.isEmpty() &&
               std::all_of(row.puntos.begin(), row.puntos.end(),
                           [](const ScoreCell& score) { return score.typed.isEmpty(); });
    });
}

StoreCounts storeScores(store::Database& db, const std::vector<ScoreRow>& rows, const QString& juez)
{
    records::refuseIfClosed(db);
    StoreCounts counts;
    counts.blankSheet = isBlankSheet(rows);
    // The import's one transaction: every row of the pass is stored, or none, and recorded.
    store::Transaction transaction(db);
    std::optional<store::records::RecordedInsertPass> recorded;
    const int jueces = configuredJudges(db);
    // Read only for the rows to be stored, which a judge that cannot score refuses.
    const qint64 judge = judgeRefusal(juez, jueces).isEmpty() ? qint64(*formats::parseNumber(juez)) : 0;
    ScoredCages scored(db);
    store::Statement insert = db.prepare(QStringLiteral(
        "INSERT INTO Puntos (jaula, puntos1, puntos2, puntos3, puntos4, puntos5, juez, puntost, sexo, grupo) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const ScoreRow& row : rows) {
        const RowStatus status = assessScore(db, row, juez, jueces);
        if (status.verdict == Verdict::Refuse)
            ++counts.refused;
        else if (status.verdict == Verdict::Skip)
            ++counts.skipped;
        if (status.verdict != Verdict::Store)
            continue;
        const int cage = *reception::parseCage(row.jaula);
        if (scored.contains(cage, judge)) {
            ++counts.alreadyStored;
            continue;
        }
        insert.bind(1, QString::number(cage));
        for (int k = 0; k < 5; ++k)
            insert.bind(2 + k, asRead(row.puntos[std::size_t(k)]));
        // The judges' sheets are written by hand: the sex is taken in capitals, the group as written.
        insert.bind(7, qint64(judge))
            .bind(8, criteriaTotal(row))
            .bind(9, blankIfEmpty(row.sexo.left(1).toUpper()))
            .bind(10, blankIfEmpty(row.grupo.left(1)));
        if (!recorded)
            recorded.emplace(db, QStringLiteral("Puntos"));
        insert.run();
        scored.add(cage, judge);
        ++counts.stored;
    }
    if (recorded)
        recorded->finish();
    transaction.commit();
    return counts;
}

QString scoreSummary(const StoreCounts& counts)
{
    return summary(counts, QStringLiteral(" Jaulas Pasadas"),
                   QStringLiteral("con total 0, «SP» o una puntuación 0"));
}

} // namespace imports
