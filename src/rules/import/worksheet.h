#pragma once

// The cells of one sheet of a workbook, the form in which the census and the judges' sheets
// reach the exhibition. The workbook is read whole by palomas-lector in its own process
// (workbook_reader.h); cells are then looked up by row and column.

#include "rules/import/cell.h"
#include "rules/import/workbook_answer.h"
#include "rules/import/workbook_error.h"

#include <QString>
#include <functional>

namespace imports
{

class Worksheet
{
public:
    // Opens the workbook at path and its sheet named sheetName (matched without regard to case).
    // waiting is called while the workbook is read, for a window to show that it is busy.
    // Raises WorkbookError when the file is missing or unreadable, is of no format the reader knows (.xls,
    // .xlsx, .ods, .csv), is protected by a password, is damaged, or has no such sheet.
    static Worksheet open(const QString& path, const QString& sheetName,
                          const std::function<void()>& waiting = {});

    explicit Worksheet(SheetCells sheet);

    // The cell at row and column, counted from 1 as the spreadsheet numbers them (column A is 1).
    // Cells outside the sheet's used area are empty.
    Cell cell(int row, int column) const;

    // The rows of the sheet's used area.
    int rowCount() const { return m_sheet.rows; }

private:
    SheetCells m_sheet;
};

} // namespace imports
