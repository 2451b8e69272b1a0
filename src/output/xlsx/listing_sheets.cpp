#include "output/xlsx/listing_sheets.h"

#include "base/formats.h"
#include "output/text_document.h"
#include "rules/judging/final_score.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/classifications.h"
#include "rules/listings/group_d_list.h"
#include "rules/listings/openings.h"
#include "rules/listings/province_ranking.h"
#include "rules/records/closed_state.h"
#include "store/database.h"

#include <QFileInfo>
#include <QHash>

namespace output::xlsx
{

namespace
{

QVariant numberOrEmpty(const QVariant& value)
{
    return value.isNull() ? QVariant(QString()) : QVariant(value.toDouble());
}

QString sheetName(const listings::Listing& listing)
{
    return QFileInfo(listings::documentFileName(listing)).completeBaseName();
}

QString titleOf(const listings::ListingTitles& titles)
{
    return titles.label2.isEmpty() ? titles.label3 : titles.label2 + QStringLiteral(" - ") + titles.label3;
}

ListingSheet sheetFor(listings::ListingKind kind, const listings::ListingTitles& titles)
{
    listings::Listing listing;
    listing.kind = kind;
    listing.titles = titles;
    ListingSheet sheet;
    sheet.name = sheetName(listing);
    sheet.title = titleOf(titles);
    return sheet;
}

// The province of each club code, "" for a club without one.
QHash<QString, QString> provinces(store::Recordset& clubs)
{
    QHash<QString, QString> byCode;
    for (clubs.moveFirst(); !clubs.eof(); clubs.moveNext())
        byCode.insert(clubs.text(QStringLiteral("codigo")).trimmed(),
                      clubs.text(QStringLiteral("provincia")).trimmed());
    return byCode;
}

ListingSheet classification(const store::Database& db, const QHash<QString, QString>& provinceOf,
                            const QString& nombre, const QString& grupo, const QString& sexo)
{
    ListingSheet sheet = sheetFor(listings::ListingKind::Classification,
                                  listings::classificationTitles(nombre, grupo, {}, sexo));
    sheet.headers = {QStringLiteral("Puesto"), QStringLiteral("Jaula"),     QStringLiteral("Anilla"),
                     QStringLiteral("Color"),  QStringLiteral("Licencia"),  QStringLiteral("Propietario"),
                     QStringLiteral("Club"),   QStringLiteral("Provincia"), QStringLiteral("Puntos")};
    sheet.scoreColumns = {8};
    store::Recordset birds = db.openRecordset(listings::classificationQuery(db, grupo, sexo));
    int place = 1;
    for (birds.moveFirst(); !birds.eof(); birds.moveNext(), ++place) {
        const QString club = birds.text(QStringLiteral("club")).trimmed();
        sheet.rows.push_back(
            {double(place), numberOrEmpty(birds.value(QStringLiteral("jaula"))),
             listings::ringText(birds.text(QStringLiteral("anilla")), birds.text(QStringLiteral("año"))),
             birds.text(QStringLiteral("color")).trimmed(), birds.text(QStringLiteral("licencia")).trimmed(),
             birds.text(QStringLiteral("nombre")).trimmed(), club, provinceOf.value(club),
             // No score yet reads as 0, as the classification shows it.
             birds.value(QStringLiteral("puntos")).toDouble()});
    }
    sheet.unranked = listings::unrankedLines(db, grupo, QString(), sexo);
    return sheet;
}

ListingSheet groupD(const store::Database& db, const QString& nombre, const QString& categ)
{
    const QString grupo = QStringLiteral("D");
    ListingSheet sheet =
        sheetFor(listings::ListingKind::GroupD, listings::classificationTitles(nombre, grupo, categ, {}));
    sheet.headers = {QStringLiteral("Puesto"),      QStringLiteral("Jaula"),
                     QStringLiteral("Anilla"),      QStringLiteral("Concursos"),
                     QStringLiteral("Coeficiente"), QStringLiteral("Propietario")};
    sheet.scoreColumns = {4};
    store::Recordset birds = db.openRecordset(listings::groupDQuery(db, grupo, categ));
    int place = 1;
    for (birds.moveFirst(); !birds.eof(); birds.moveNext(), ++place)
        sheet.rows.push_back(
            {double(place), numberOrEmpty(birds.value(QStringLiteral("jaula"))),
             listings::groupDRing(birds.text(QStringLiteral("anilla")), birds.text(QStringLiteral("año"))),
             numberOrEmpty(birds.value(QStringLiteral("conc"))),
             numberOrEmpty(birds.value(QStringLiteral("coef"))),
             birds.text(QStringLiteral("nombre")).trimmed()});
    sheet.unranked = listings::unrankedLines(db, grupo, categ, QString());
    return sheet;
}

ListingSheet provinceSheet(store::Database& db, store::Recordset& clubs, const QString& nombre)
{
    ListingSheet sheet = sheetFor(listings::ListingKind::Province, listings::provinceTitles(nombre));
    sheet.headers = {QStringLiteral("Puesto"), QStringLiteral("Provincia"), QStringLiteral("Puntos")};
    sheet.scoreColumns = {2};
    for (const listings::ProvinceRow& row : listings::clasificacionPorProvincia(db, clubs)) {
        const std::optional<double> puntos = formats::parseNumber(row.puntos);
        sheet.rows.push_back(
            {double(row.orden), row.provincia.trimmed(), puntos ? QVariant(*puntos) : QVariant(row.puntos)});
    }
    return sheet;
}

} // namespace

std::vector<ListingSheet> listingSheets(store::Database& db, store::Recordset& clubs)
{
    judging::recomputeFinalScores(db);
    const QString nombre = listings::exhibitionName(db);
    const QHash<QString, QString> provinceOf = provinces(clubs);
    std::vector<ListingSheet> sheets;
    {
        // One state of the file for the eleven lists of birds.
        store::Transaction reading(db);
        for (const listings::ClassificationKey& key : listings::classifications())
            sheets.push_back(key.groupD() ? groupD(db, nombre, key.categ)
                                          : classification(db, provinceOf, nombre, key.grupo, key.sexo));
        reading.commit();
    }
    sheets.push_back(provinceSheet(db, clubs, nombre));
    const QString sello = records::closedSeal(db);
    for (ListingSheet& sheet : sheets)
        sheet.sello = sello;
    return sheets;
}

} // namespace output::xlsx
