#pragma once

// The import of one judge's scores from a sheet ("Imp Puntuacion"): the sheet "Hoja1" of a
// workbook (.xls, .xlsx, .ods, or a .csv file), the judge's number in B2, one cage per row from
// row 5 on. Columns: A cage, B group, C sex, I to M the five criteria, N the judge's total.

#include "rules/import/sheet_rows.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace store
{
class Database;
}

namespace imports
{

// A score cell: a number (also a text that reads as one, "9,5" or "9.5"), "SP", empty, or a text
// that is neither.
struct ScoreCell {
    QString shown;               // the preview's text: "#,##0.00" for a number, otherwise as written
    std::optional<double> value; // rounded to two decimals, as the preview shows it
    std::optional<double> read;  // the number as read, which is stored: the ranges and limits judge
                                 // this one, as the judging window judges and keeps what is typed
    bool sp = false;             // "SP": the criterion was not scored
    QString typed;               // the cell as written (a number cell as its digits), for messages

    bool isEmpty() const { return !value && !sp && shown.trimmed().isEmpty(); }
};

struct ScoreRow {
    int sheetRow = 0;
    QString jaula;                   // "Jaula", trimmed
    QString grupo;                   // "Grupo", trimmed
    QString sexo;                    // "Sexo", trimmed
    std::array<ScoreCell, 5> puntos; // "Puntos1" to "Puntos5"
    ScoreCell total;                 // "Total": an empty cell reads as 0
    QString cellRefusal;             // numberCellRefusal() of "Jaula", "Grupo" or "Sexo"
};

struct ScoreSheet {
    QString juez; // cell B2 as the user reads it
    std::vector<ScoreRow> rows;
};

// Reads B2 and the data rows of the sheet "Hoja1". Raises WorkbookError when the workbook cannot
// be read or has no such sheet.
ScoreSheet readScores(const QString& path, const Progress& progress = {});

// The number of judges of the exhibition's configuration ("Nº de jueces"); 0 when it has none.
int configuredJudges(const store::Database& db);

// Why the judge's number cannot be stored, or "" when it can: it must be a whole number from 1 to
// jueces, as the judging window wants it, and the configuration must have a number of judges. A
// problem of the whole sheet: the windows and palomas-cli tell it once, before any row.
QString judgeRefusal(const QString& juez, int jueces);

// A row with a total of 0 or "SP", or "SP" or 0 in a criterion, is skipped. Refused: a cell of
// "Jaula", "Grupo" or "Sexo" that holds an infinity or a NaN, or a text the exhibition cannot
// keep; a cage that is not a whole number from 1 to 999; a judge refused by judgeRefusal(); a
// criterion that is empty, neither a number nor "SP", not finite or outside its range (8-9, 8-9,
// 17-19, 27-29, 27-29: the judging window's ranges); a total that is not a number that can be
// kept, or that is not the sum of the five criteria to the cent.
RowStatus assessScore(const ScoreRow& row, const QString& juez, int jueces);
// The same, and a row for an absent or disqualified bird is refused ("Paloma ausente").
RowStatus assessScore(const store::Database& db, const ScoreRow& row, const QString& juez, int jueces);

// Whether no data row holds anything: a problem of the whole sheet (blankSheetMessage).
bool isBlankSheet(const std::vector<ScoreRow>& rows);

// Stores the rows for the judge in Puntos in one transaction: every row to be stored whose cage
// the judge has not scored yet (among the stored rows and those stored before it in the pass);
// an existing score is never replaced. The criteria are stored as read, as the judging window
// stores what is typed, and the total as their sum rounded to the cent (which the sheet's total
// equals, or the row is refused). The rows are judged against the configuration's number of
// judges. The birds' final scores are left for the next reload of the reception list. On a
// store::Error nothing is stored.
StoreCounts storeScores(store::Database& db, const std::vector<ScoreRow>& rows, const QString& juez);

// "12 Jaulas Pasadas", and the refused rows on a second line.
QString scoreSummary(const StoreCounts& counts);

} // namespace imports
