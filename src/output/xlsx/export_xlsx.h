#pragma once

// "Exportar a Excel" and palomas-cli exportar-xlsx: every listing in one workbook, a sheet each.

#include <QString>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace output
{

// Writes the workbook at path: for each listing (output/xlsx/listing_sheets.h) a sheet with the
// show's name and the listing's title above a bold, frozen header row, one row per bird or
// province, numbers as numbers with two decimals shown. Returns the number of sheets. Raises
// listings::OutputError when the file cannot be written (nothing is left under its name, and a
// workbook already there stays as it was), store::Error from the store.
int exportXlsx(store::Database& db, store::Recordset& clubs, const QString& path);

} // namespace output
