#pragma once

// What the two imports share: where the data rows of a sheet are, the verdict on each row read,
// and the counts of a storing pass.

#include <QString>
#include <QVariant>
#include <functional>

namespace imports
{

class Worksheet;
struct Cell;

// Both sheets are read from "Hoja1".
QString sheetName();

// Rows 1 to 4 are headings. Row 5 is always data; the data ends before the first row, counted
// from row 6, whose cell in column A is empty.
constexpr int firstDataRow = 5;
int lastDataRow(const Worksheet& sheet);

// Told after each row read: rows done so far and rows in all. While the workbook itself is
// being read, its rows are not known yet: told (0, 0) then, over and over, so that a window can
// show that it is busy and keep drawing itself.
using Progress = std::function<void(int done, int total)>;

// Tells progress, if any, that the workbook is being read.
inline void waiting(const Progress& progress)
{
    if (progress)
        progress(0, 0);
}

// Calls read(row) for every data row of the sheet, in order, telling progress after each.
void forEachDataRow(const Worksheet& sheet, const Progress& progress,
                    const std::function<void(int row)>& read);

enum class Verdict {
    Store,  // stored, unless the exhibition already holds it
    Skip,   // not stored, as the rules want (no ring, a total of 0, "SP"): no refusal
    Refuse, // a value the exhibition cannot hold: not stored, counted and reported
};

struct RowStatus {
    Verdict verdict = Verdict::Store;
    QString reason; // why the row is not stored; empty for Store

    static RowStatus skip(const QString& reason) { return {Verdict::Skip, reason}; }
    static RowStatus refuse(const QString& reason) { return {Verdict::Refuse, reason}; }
};

struct StoreCounts {
    int stored = 0;
    int refused = 0;
    int groupDWithoutCategory = 0; // birds of group D stored without their category
    int alreadyStored = 0;         // rows the exhibition held already
    int skipped = 0;               // rows the rules leave out (Verdict::Skip)
    bool blankSheet = false;       // no data row holds anything
};

// The message of a storing pass: the count followed by its text ("12 Grabadas Palomas"), and on
// a second line the number of rows refused, when any was. When nothing was stored, the lines
// that follow say why: the sheet has no data from row 5 on (blankSheetMessage), or how many rows
// the exhibition held already and how many the rules leave out (skipText: "sin anilla").
QString summary(const StoreCounts& counts, const QString& countText, const QString& skipText);

// A sheet whose data rows are all empty: its data, if any, is elsewhere than the rows the imports
// read (a file saved with other headings, lines not read as rows). A problem of the whole sheet.
QString blankSheetMessage();

// Why a cell read for the column holds a number that cannot be kept (an infinity or a NaN, which
// would reach the store as the text "inf" or "nan"), or "" when it does not.
QString numberCellRefusal(const Cell& cell, QStringView column);

// The text of a cell of a data row, without blanks around it. The first cell of the row whose
// number cannot be kept sets refusal (numberCellRefusal), when it is still empty.
QString rowCellText(const Worksheet& sheet, int row, int column, QStringView title, QString& refusal);

// Empty texts are stored as one blank " ", as every other window of the program stores them.
inline QString blankIfEmpty(const QString& text)
{
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

// Why a field of the exhibition cannot hold the value (the store's own sentence), or "" when it
// can.
QString refusalFor(const QString& table, const QString& field, const QVariant& value);

} // namespace imports
