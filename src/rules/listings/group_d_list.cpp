#include "rules/listings/group_d_list.h"

#include "base/formats.h"
#include "rules/records/statuses.h"
#include "store/database.h"
#include "store/quote.h"

namespace listings
{

QString groupDRing(const QString& anilla, const QString& anio)
{
    return anio.mid(2, 2) + u'-' + anilla;
}

QString groupDQuery(const store::Database& db, const QString& grupo, const QString& categ)
{
    const bool higherCoefficientFirst = categ == u"A" || categ == u"B";
    return QStringLiteral("select * from recepcion where grupo = ") + store::quote(grupo) +
           QStringLiteral(" and categ = ") + store::quote(categ) + records::rankedCondition(db) +
           (higherCoefficientFirst ? QStringLiteral(" order by conc desc,coef desc")
                                   : QStringLiteral(" order by conc desc,coef"));
}

std::vector<GroupDRow> llenarListaGrupoD(const store::Database& db, const QString& grupo,
                                         const QString& categ)
{
    store::Recordset birds = db.openRecordset(groupDQuery(db, grupo, categ));
    std::vector<GroupDRow> rows;
    rows.reserve(std::size_t(birds.recordCount()));
    int orden = 1;
    for (birds.moveFirst(); !birds.eof(); birds.moveNext(), ++orden) {
        const QVariant conc = birds.value(QStringLiteral("conc"));
        const QVariant coef = birds.value(QStringLiteral("coef"));
        const QVariant jaula = birds.value(QStringLiteral("jaula"));
        rows.push_back({orden,
                        groupDRing(birds.text(QStringLiteral("anilla")), birds.text(QStringLiteral("año"))),
                        conc.isNull() ? QString() : QString::number(conc.toLongLong()),
                        coef.isNull() ? QString() : formats::score(coef.toDouble()),
                        birds.text(QStringLiteral("nombre")),
                        jaula.isNull() ? QString() : QString::number(jaula.toLongLong())});
    }
    return rows;
}

} // namespace listings
