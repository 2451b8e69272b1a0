#include "rules/listings/openings.h"

#include "base/formats.h"
#include "rules/judging/final_score.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/classifications.h"
#include "rules/listings/group_d_list.h"
#include "rules/listings/province_ranking.h"
#include "rules/records/closed_state.h"
#include "rules/records/statuses.h"
#include "store/database.h"
#include "store/statement.h"

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
    listing.unranked = unrankedLines(db, grupo, QString(), sexo);
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

bool sameText(const QString& stored, const QString& wanted)
{
    return stored.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
}

} // namespace

std::vector<QString> unrankedLines(const store::Database& db, const QString& grupo, const QString& categ,
                                   const QString& sexo)
{
    std::vector<QString> lines;
    const std::vector<records::BirdStatus> birds = records::unrankedBirds(db);
    if (birds.empty())
        return lines;
    store::Statement rows = db.query(
        QStringLiteral("SELECT anilla, \"año\", nombre, grupo, sexo, categ FROM Recepcion WHERE jaula = ? "
                       "AND (? = '' OR trim(anilla) = ?) ORDER BY rowid"));
    for (const records::BirdStatus& bird : birds) {
        rows.reset();
        rows.bind(1, qint64(bird.jaula)).bind(2, bird.anilla).bind(3, bird.anilla);
        while (rows.step()) {
            if (!sameText(rows.text(3), grupo) ||
                !(categ.isEmpty() ? sameText(rows.text(4), sexo) : sameText(rows.text(5), categ)))
                continue;
            const QString ring = categ.isEmpty() ? ringText(rows.text(0), rows.text(1))
                                                 : groupDRing(rows.text(0), rows.text(1));
            lines.push_back(formats::mask(QString::number(bird.jaula), 5) + QStringLiteral("  ") + ring +
                            QStringLiteral("  ") + rows.text(2).trimmed() + QStringLiteral("  ") +
                            bird.text());
        }
    }
    return lines;
}

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
    listing.unranked = unrankedLines(db, grupo, categ, QString());
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
