#include "listings/province_ranking.h"

#include "shell/formats.h"
#include "store/database.h"
#include "store/quote.h"

namespace listings
{

namespace
{

// The eleven classifications, in the order in which their birds are credited. Group D takes
// the coefficient ascending in every category, as the original computation did.
const char* const classifications[] = {
    "select * from Recepcion where grupo = 'A' and sexo = 'M' order by puntos desc",
    "select * from Recepcion where grupo = 'A' and sexo = 'H' order by puntos desc",
    "select * from Recepcion where grupo = 'B' and sexo = 'M' order by puntos desc",
    "select * from Recepcion where grupo = 'B' and sexo = 'H' order by puntos desc",
    "select * from Recepcion where grupo = 'C' and sexo = 'M' order by puntos desc",
    "select * from Recepcion where grupo = 'C' and sexo = 'H' order by puntos desc",
    "select * from Recepcion where grupo = 'D' and categ = 'A'  order by conc desc,coef ",
    "select * from Recepcion where grupo = 'D' and categ = 'B'  order by conc desc,coef ",
    "select * from Recepcion where grupo = 'D' and categ = 'C'  order by conc desc,coef ",
    "select * from Recepcion where grupo = 'D' and categ = 'D'  order by conc desc,coef ",
    "select * from Recepcion where grupo = 'D' and categ = 'E'  order by conc desc,coef ",
};

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

void calcularPuntosClub(const store::Database& db, store::Recordset& clubs)
{
    store::Transaction transaction(db);
    db.execute(QStringLiteral("DELETE FROM lclub"));
    store::Recordset credited = db.openRecordset(QStringLiteral("select * from lclub "));
    for (const char* query : classifications) {
        store::Recordset birds = db.openRecordset(QString::fromLatin1(query));
        int points = 5;
        for (birds.moveFirst(); !birds.eof() && points > 0; birds.moveNext(), --points) {
            const QString code = orBlank(birds.text(QStringLiteral("club")));
            credited.addNew();
            credited.setValue(QStringLiteral("club"), code);
            credited.setValue(QStringLiteral("puntos"), double(points));
            credited.setValue(QStringLiteral("grupo"), birds.value(QStringLiteral("grupo")));
            credited.setValue(QStringLiteral("categoria"), birds.value(QStringLiteral("categ")));
            credited.setValue(QStringLiteral("provincia"), provinceOf(clubs, code));
            credited.update();
        }
    }
    transaction.commit();
}

void sumarProvincias(const store::Database& db)
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

std::vector<ProvinceRow> clasificacionPorProvincia(const store::Database& db, store::Recordset& clubs)
{
    store::Transaction transaction(db);
    calcularPuntosClub(db, clubs);
    sumarProvincias(db);
    transaction.commit();
    return llenarListaProvincias(db);
}

} // namespace listings
