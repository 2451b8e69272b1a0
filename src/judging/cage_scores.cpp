#include "judging/cage_scores.h"

#include "judging/final_score.h"
#include "shell/app_state.h"
#include "store/quote.h"

namespace judging
{

namespace
{

QString birdCondition(int cage)
{
    return QStringLiteral("cstr(jaula) = ") + store::quote(cage);
}

QString cageRows(int cage)
{
    return QStringLiteral("select * from puntos where jaula = ") + store::quote(cage);
}

Paloma palomaOf(const store::Recordset& rece)
{
    return {rece.text(QStringLiteral("anilla")), rece.text(QStringLiteral("año")),
            rece.text(QStringLiteral("sexo")),   rece.text(QStringLiteral("color")),
            rece.text(QStringLiteral("grupo")),  rece.text(QStringLiteral("categ"))};
}

Criterion criterionOf(const AppState& state)
{
    return state.media() ? Criterion::Average : Criterion::DropHighestAndLowest;
}

// The cage's totals in store order, as the reception reload reads them; CageScoresRs is left on
// the cage's rows.
std::vector<JudgeTotal> cageTotals(AppState& state, int cage)
{
    state.cageScoresRs = state.mainDb.openRecordset(cageRows(cage));
    store::Recordset& scores = state.cageScoresRs;
    std::vector<JudgeTotal> totals;
    for (scores.moveFirst(); !scores.eof(); scores.moveNext()) {
        const QVariant puntost = scores.value(QStringLiteral("puntost"));
        if (!puntost.isValid())
            continue;
        const QVariant juez = scores.value(QStringLiteral("juez"));
        totals.push_back({juez.isValid() ? juez.toInt() : INT_MIN, puntost.toDouble()});
    }
    return totals;
}

} // namespace

bool Paloma::groupD() const
{
    return grupo.trimmed().compare(QStringLiteral("D"), Qt::CaseInsensitive) == 0;
}

std::optional<Paloma> buscarPaloma(AppState& state, int cage)
{
    if (state.receRs.isOpen() && state.receRs.findFirst(birdCondition(cage)))
        return palomaOf(state.receRs);
    state.puntosOneRs = state.mainDb.openRecordset(QStringLiteral("select * from recepcion where ") +
                                                   birdCondition(cage) + QStringLiteral(" order by jaula"));
    if (state.puntosOneRs.recordCount() == 0)
        return std::nullopt;
    return palomaOf(state.puntosOneRs);
}

CageList refrescarJaula(AppState& state, int cage)
{
    const Criterion criterion = criterionOf(state);
    state.puntosRs = state.mainDb.openRecordset(
        cageRows(cage) + (criterion == Criterion::Average ? QStringLiteral(" order by juez")
                                                          : QStringLiteral(" order by puntost desc")));
    CageList list;
    store::Recordset& puntos = state.puntosRs;
    list.rows.reserve(std::size_t(puntos.recordCount()));
    for (puntos.moveFirst(); !puntos.eof(); puntos.moveNext())
        list.rows.push_back(readJudgeRow(puntos));
    const std::vector<JudgeTotal> totals = cageTotals(state, cage);
    list.finalScore = finalScore(totals, criterion);
    return list;
}

bool guardarPuntuacionFinal(AppState& state, int cage)
{
    const std::vector<JudgeTotal> totals = cageTotals(state, cage);
    const int rows = state.cageScoresRs.recordCount();
    if (rows == 0 || rows != state.jueces())
        return false;
    state.puntosOneRs = state.mainDb.openRecordset(QStringLiteral("select * from recepcion where ") +
                                                   birdCondition(cage) + QStringLiteral(" order by jaula"));
    store::Recordset& bird = state.puntosOneRs;
    if (bird.recordCount() == 0)
        return false;
    bird.edit();
    bird.setValue(QStringLiteral("puntos"), finalScore(totals, criterionOf(state)));
    bird.setValue(QStringLiteral("termina"), termina(rows, state.jueces()));
    bird.update();
    return true;
}

} // namespace judging
