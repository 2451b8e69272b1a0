#include "rules/listings/province_ranking.h"

#include "base/formats.h"
#include "rules/listings/classifications.h"
#include "rules/records/statuses.h"
#include "store/database.h"
#include "store/quote.h"

namespace listings
{

namespace
{

// The eleven classifications, in the order in which their birds are credited: the condition and
// the ordering of each query of the original ("select * from Recepcion where grupo = 'A' and
// sexo = 'M' order by puntos desc", ... "where grupo = 'D' and categ = 'E'  order by conc
// desc,coef "). Group D takes the coefficient ascending in every category, as the original
// computation did. Ties keep the store's order.
// Absent and disqualified birds earn nothing.
QString conditionOf(const ClassificationKey& key, const QString& ranked)
{
    return QStringLiteral("grupo = ") + store::quote(key.grupo) +
           (key.groupD() ? QStringLiteral(" and categ = ") + store::quote(key.categ)
                         : QStringLiteral(" and sexo = ") + store::quote(key.sexo)) +
           ranked;
}

// As the store orders "puntos desc" and "conc desc,coef".
QString orderingOf(const ClassificationKey& key)
{
    return key.groupD() ? QStringLiteral("conc DESC, coef, rowid") : QStringLiteral("puntos DESC, rowid");
}

QString orBlank(const QString& text)
{
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

QString provinceOf(store::Recordset& clubs, const QString& code)
{
    if (!clubs.findFirst(QStringLiteral("codigo = ") + store::quote(code)))
        return QStringLiteral(" ");
    return orBlank(clubs.text(QStringLiteral("provincia")));
}

} // namespace

void calcularPuntosClub(store::Database& db, store::Recordset& clubs)
{
    store::Transaction transaction(db);
    db.execute(QStringLiteral("DELETE FROM lclub"));
    store::Recordset credited = db.openRecordset(QStringLiteral("select * from lclub "));
    const QString ranked = records::rankedCondition(db);
    for (const ClassificationKey& key : classifications()) {
        // Only the first five birds earn points: the store hands over no more than those.
        store::Statement firstFive =
            db.prepare(QStringLiteral("SELECT club, grupo, categ FROM Recepcion WHERE %1 ORDER BY %2 LIMIT 5")
                           .arg(db.translateCondition(QStringLiteral("Recepcion"), conditionOf(key, ranked)),
                                orderingOf(key)));
        for (int points = 5; firstFive.step(); --points) {
            const QString code = orBlank(firstFive.text(0));
            credited.addNew();
            credited.setValue(QStringLiteral("club"), code);
            credited.setValue(QStringLiteral("puntos"), double(points));
            credited.setValue(QStringLiteral("grupo"), firstFive.value(1));
            credited.setValue(QStringLiteral("categoria"), firstFive.value(2));
            credited.setValue(QStringLiteral("provincia"), provinceOf(clubs, code));
            credited.update();
        }
    }
    transaction.commit();
}

void sumarProvincias(store::Database& db)
{
    store::Transaction transaction(db);
    db.execute(QStringLiteral("DELETE FROM lclub1"));
    store::Recordset totals = db.openRecordset(QStringLiteral("select * from lclub1 order by provincia  "));
    store::Recordset credited = db.openRecordset(QStringLiteral("select * from lclub order by provincia  "));
    credited.moveFirst();
    while (!credited.eof()) {
        const QString provincia = credited.text(QStringLiteral("provincia"));
        double total = 1;
        for (; !credited.eof() && credited.text(QStringLiteral("provincia")) == provincia;
             credited.moveNext())
            total += credited.value(QStringLiteral("puntos")).toDouble();
        totals.addNew();
        totals.setValue(QStringLiteral("provincia"), provincia);
        totals.setValue(QStringLiteral("puntos"), total);
        totals.update();
    }
    transaction.commit();
}

std::vector<ProvinceRow> llenarListaProvincias(const store::Database& db)
{
    store::Recordset totals = db.openRecordset(QStringLiteral("select * from lclub1  order by puntos desc"));
    std::vector<ProvinceRow> rows;
    int orden = 1;
    for (totals.moveFirst(); !totals.eof(); totals.moveNext(), ++orden) {
        const QVariant puntos = totals.value(QStringLiteral("puntos"));
        rows.push_back({orden, totals.text(QStringLiteral("provincia")),
                        puntos.isNull() ? QString() : formats::plainNumber(puntos.toDouble())});
    }
    return rows;
}

std::vector<ProvinceRow> clasificacionPorProvincia(store::Database& db, store::Recordset& clubs)
{
    store::Transaction transaction(db);
    calcularPuntosClub(db, clubs);
    sumarProvincias(db);
    transaction.commit();
    return llenarListaProvincias(db);
}

} // namespace listings
