#pragma once

// The listings as tables, for the spreadsheet the results leave the program in: one table per
// listing, in the listings' order (the six classifications of groups A to C, the five group D
// categories, the provinces), named like their documents, with the rows in the listings' own
// order and places. Numbers stay numbers, for the spreadsheet to sum and sort.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace output::xlsx
{

struct ListingSheet {
    QString name;                  // "Grupo A Machos", "sport DCategA", "Clasificación Por Provincia"
    QString title;                 // "Clasificación General - Grupo A Machos"
    QStringList headers;           // "Puesto", "Jaula", ...
    std::vector<int> scoreColumns; // the columns whose numbers show two decimals
    std::vector<std::vector<QVariant>> rows; // a double for a number, a QString for a text
    std::vector<QString> unranked;           // the birds not ranked (listings::unrankedLines)
    QString sello;                           // a closed show's seal, the sheet's last line; "" when open
};

// The twelve tables. Brings the final scores up to date and rewrites the province work tables
// first, as the listing windows do. Raises store::Error from the store.
std::vector<ListingSheet> listingSheets(store::Database& db, store::Recordset& clubs);

} // namespace output::xlsx
