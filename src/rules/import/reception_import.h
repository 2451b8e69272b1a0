#pragma once

// The import of received birds from a census sheet ("Imp Recepcion"): the sheet "Hoja1" of a
// workbook (.xls, .xlsx, .ods, or a .csv file), one bird per row from row 5 on. Columns: A cage,
// B group, C sex, D licence, E owner's name, F club, G year, H ring, N score (shown, never
// stored).

#include "rules/import/sheet_rows.h"

#include <QString>
#include <vector>

namespace store
{
class Database;
}

namespace imports
{

// One data row as read, each value trimmed: the texts the preview shows.
struct ReceptionRow {
    int sheetRow = 0;
    QString jaula;       // "Jaula"
    QString grupo;       // "Grupo"
    QString sexo;        // "Sexo"
    QString licencia;    // "Licencia"
    QString nombre;      // "Propietario"
    QString club;        // "Club"
    QString anyo;        // "Año"
    QString anilla;      // "Paloma"
    QString puntos;      // "Puntos": the score as "#,##0.00", "0,00" when empty
    QString cellRefusal; // numberCellRefusal() of the first stored column that has one
    RowStatus status;    // assessReception(), taken when read
};

// Reads the data rows of the sheet "Hoja1". Raises WorkbookError when the workbook cannot be
// read or has no such sheet.
std::vector<ReceptionRow> readReception(const QString& path, const Progress& progress = {});

// A row without a ring is skipped. Refused: a cell holding an infinity or a NaN; a text the
// exhibition cannot keep (values::textRefusal); a cage that is not a whole number from 1 to 999;
// a ring, year or licence that spells such a number ("inf", "nan"); a ring, year, licence or name
// longer than its field.
RowStatus assessReception(const ReceptionRow& row);

// Whether no data row holds anything: a problem of the whole sheet (blankSheetMessage).
bool isBlankSheet(const std::vector<ReceptionRow>& rows);

// Stores the rows in Recepcion in one transaction: every row to be stored whose cage does not
// already hold a bird with the same ring (among the stored birds and those stored before it in
// the pass). On a store::Error nothing is stored.
StoreCounts storeReception(store::Database& db, const std::vector<ReceptionRow>& rows);

// "12 Grabadas Palomas", the refused rows on a second line, and the birds of group D stored
// without a category, which the census cannot give, on a third.
QString receptionSummary(const StoreCounts& counts);

// "3 palomas del grupo D sin categoría: complételas en Recepción", or "" when there are none.
QString groupDWithoutCategoryNote(const StoreCounts& counts);

} // namespace imports
