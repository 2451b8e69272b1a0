#include "rules/judging/cage_scores.h"

#include "store/database.h"
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

// The cage's totals in store order, as the reception reload reads them, and how many rows it has.
std::vector<JudgeTotal> cageTotals(const store::Database& db, int cage, int& rowCount)
{
    store::Recordset scores = db.openRecordset(cageRows(cage));
    rowCount = scores.recordCount();
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

store::Recordset birdRecord(const store::Database& db, int cage)
{
    return db.openRecordset(QStringLiteral("select * from recepcion where ") + birdCondition(cage) +
                            QStringLiteral(" order by jaula"));
}

} // namespace

bool Paloma::groupD() const
{
    return grupo.trimmed().compare(QStringLiteral("D"), Qt::CaseInsensitive) == 0;
}

std::optional<Paloma> buscarPaloma(const store::Database& db, store::Recordset& rece, int cage)
{
    if (rece.isOpen() && rece.findFirst(birdCondition(cage)))
        return palomaOf(rece);
    const store::Recordset bird = birdRecord(db, cage);
    if (bird.recordCount() == 0)
        return std::nullopt;
    return palomaOf(bird);
}

CageList refrescarJaula(const store::Database& db, int cage, Criterion criterion)
{
    CageList list;
    list.puntos = db.openRecordset(cageRows(cage) + (criterion == Criterion::Average
                                                         ? QStringLiteral(" order by juez")
                                                         : QStringLiteral(" order by puntost desc")));
    store::Recordset& puntos = list.puntos;
    list.rows.reserve(std::size_t(puntos.recordCount()));
    for (puntos.moveFirst(); !puntos.eof(); puntos.moveNext())
        list.rows.push_back(readJudgeRow(puntos));
    int rowCount = 0;
    list.finalScore = finalScore(cageTotals(db, cage, rowCount), criterion);
    return list;
}

bool guardarPuntuacionFinal(store::Database& db, int cage, const ScoringRule& rule)
{
    int rows = 0;
    const std::vector<JudgeTotal> totals = cageTotals(db, cage, rows);
    if (rows == 0 || rows != rule.jueces)
        return false;
    store::Recordset bird = birdRecord(db, cage);
    if (bird.recordCount() == 0)
        return false;
    bird.edit();
    bird.setValue(QStringLiteral("puntos"), finalScore(totals, rule.criterion));
    bird.setValue(QStringLiteral("termina"), termina(rows, rule.jueces));
    bird.update();
    return true;
}

} // namespace judging
