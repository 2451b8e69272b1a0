#include "rules/listings/openings.h"

#include "rules/judging/final_score.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/classifications.h"
#include "rules/listings/group_d_list.h"
#include "rules/listings/province_ranking.h"
#include "rules/records/closed_state.h"
#include "store/database.h"

namespace listings
{

namespace
{

Listing classification(const store::Database& db, const QString& nombre, const QString& grupo,
                       const QString& categ, const QString& sexo)
{
    Listing listing;
    listing.kind = ListingKind::Classification;
    listing.titles = classificationTitles(nombre, grupo, categ, sexo);
    listing.text = generarListado(db, grupo, sexo);
    listing.sello = records::closedSeal(db);
    return listing;
}

Listing provinces(store::Database& db, store::Recordset& clubs, const QString& nombre)
{
    Listing listing;
    listing.kind = ListingKind::Province;
    listing.titles = provinceTitles(nombre);
    listing.provinces = clasificacionPorProvincia(db, clubs);
    listing.sello = records::closedSeal(db);
    return listing;
}

} // namespace

QString exhibitionName(const store::Database& db)
{
    store::Recordset config = db.openRecordset(QStringLiteral("select * from config "));
    return config.recordCount() == 0 ? QString() : config.text(QStringLiteral("nombre"));
}

Listing openClassification(store::Database& db, const QString& nombre, const QString& grupo,
                           const QString& categ, const QString& sexo)
{
    judging::recomputeFinalScores(db);
    return classification(db, nombre, grupo, categ, sexo);
}

Listing openGroupD(store::Database& db, const QString& nombre, const QString& grupo, const QString& categ,
                   const QString& sexo)
{
    // Group D is ranked on its racing record: the judges' scores play no part.
    Listing listing;
    listing.kind = ListingKind::GroupD;
    listing.titles = classificationTitles(nombre, grupo, categ, sexo);
    listing.groupD = llenarListaGrupoD(db, grupo, categ);
    listing.sello = records::closedSeal(db);
    return listing;
}

Listing openProvinces(store::Database& db, store::Recordset& clubs, const QString& nombre)
{
    judging::recomputeFinalScores(db);
    return provinces(db, clubs, nombre);
}

std::vector<Listing> allListings(store::Database& db, store::Recordset& clubs)
{
    judging::recomputeFinalScores(db);
    const QString nombre = exhibitionName(db);
    std::vector<Listing> all;
    for (const ClassificationKey& key : classifications())
        all.push_back(key.groupD() ? openGroupD(db, nombre, key.grupo, key.categ, QString())
                                   : classification(db, nombre, key.grupo, QString(), key.sexo));
    all.push_back(provinces(db, clubs, nombre));
    return all;
}

} // namespace listings
