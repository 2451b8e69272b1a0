#include "output/xlsx/export_xlsx.h"

#include "output/xlsx/listing_sheets.h"
#include "output/xlsx/workbook.h"
#include "rules/listings/openings.h"
#include "rules/records/closed_state.h"

#include <algorithm>

namespace output
{

namespace
{

// The header row; the rows above it hold the show's name and the listing's title.
constexpr int headerRow = 3;
constexpr double narrowest = 6;
constexpr double widest = 45;

// As wide as the longest value of the column, the header included.
std::vector<double> columnWidths(const xlsx::ListingSheet& listing)
{
    std::vector<double> widths;
    for (const QString& header : listing.headers)
        widths.push_back(double(header.size()));
    for (const auto& row : listing.rows)
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            const bool number = row[c].typeId() == QMetaType::Double;
            // A number with two decimals and its thousands mark takes some more room.
            const double length = number ? QString::number(row[c].toDouble(), 'f', 2).size() + 2
                                         : double(row[c].toString().size());
            widths[c] = std::max(widths[c], length);
        }
    for (double& width : widths)
        width = std::clamp(width + 2, narrowest, widest);
    return widths;
}

void writeSheet(xlsx::Workbook& workbook, const xlsx::ListingSheet& listing, const QString& nombre)
{
    xlsx::Sheet sheet = workbook.addSheet(listing.name);
    sheet.text(0, 0, nombre, workbook.bold());
    sheet.text(1, 0, listing.title, workbook.bold());
    for (int c = 0; c < int(listing.headers.size()); ++c)
        sheet.text(headerRow, c, listing.headers[c], workbook.bold());
    sheet.freezeRowsAbove(headerRow + 1);
    const std::vector<double> widths = columnWidths(listing);
    for (int c = 0; c < int(widths.size()); ++c)
        sheet.columnWidth(c, c, widths[std::size_t(c)]);
    int r = headerRow + 1;
    for (const auto& row : listing.rows) {
        for (int c = 0; c < int(row.size()); ++c) {
            const QVariant& value = row[std::size_t(c)];
            if (value.typeId() == QMetaType::Double) {
                const bool score = std::find(listing.scoreColumns.begin(), listing.scoreColumns.end(), c) !=
                                   listing.scoreColumns.end();
                sheet.number(r, c, value.toDouble(), score ? workbook.twoDecimals() : nullptr);
            } else if (!value.toString().isEmpty()) {
                sheet.text(r, c, value.toString());
            }
        }
        ++r;
    }
    if (!listing.unranked.empty()) {
        sheet.text(++r, 0, listings::unrankedHeading(), workbook.bold());
        for (const QString& line : listing.unranked)
            sheet.text(++r, 0, line);
        ++r;
    }
    if (!listing.sello.isEmpty())
        sheet.text(r + 1, 0, records::sealLine(listing.sello));
}

} // namespace

int exportXlsx(store::Database& db, store::Recordset& clubs, const QString& path)
{
    const std::vector<xlsx::ListingSheet> listings = xlsx::listingSheets(db, clubs);
    const QString nombre = listings::exhibitionName(db);
    xlsx::Workbook workbook;
    workbook.setProperties(nombre, QStringLiteral("Clasificaciones"));
    for (const xlsx::ListingSheet& listing : listings)
        writeSheet(workbook, listing, nombre);
    workbook.saveAs(path);
    return int(listings.size());
}

} // namespace output
