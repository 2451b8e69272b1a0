#pragma once

// The cells of one sheet of an Excel workbook in the .xls (BIFF) format, the form in which the
// census and the judges' sheets reach the exhibition. Read with FreeXL: the whole workbook is
// read when it is opened, and cells are then looked up by row and column.

#include <QString>
#include <memory>
#include <optional>
#include <stdexcept>

namespace imports
{

// A workbook that cannot be read: missing, not an .xls, protected, or without the sheet sought.
// The message is a complete Spanish sentence that can be shown as it stands.
class WorkbookError : public std::runtime_error
{
public:
    explicit WorkbookError(const QString& message);
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// One cell's value. Whole numbers are stored by spreadsheets either as integers or as doubles;
// both read the same way here.
struct Cell {
    enum class Kind { Empty, Number, Text };
    Kind kind = Kind::Empty;
    double number = 0; // Number
    QString text;      // Text; dates and times come as "YYYY-MM-DD" and "HH:MM:SS"

    static Cell ofNumber(double value) { return {Kind::Number, value, {}}; }
    static Cell ofText(const QString& value) { return {Kind::Text, 0, value}; }

    // Empty, or a text of blanks only: what the user sees as an empty cell.
    bool isBlank() const;

    // The value as the user reads it: a whole number as its digits (2021, never "2021.0"), any
    // other number with the decimal comma ("9,5"), a text as written.
    QString toText() const;

    // A number cell, or a text that reads as a number ("9,5" or "9.5"); nothing otherwise.
    std::optional<double> toNumber() const;
};

class Worksheet
{
public:
    // Opens the workbook at path and its sheet named sheetName (matched without regard to case).
    // Raises WorkbookError when the file is missing or unreadable, is not an .xls workbook, is
    // protected by a password, or has no such sheet.
    static Worksheet open(const QString& path, const QString& sheetName);

    Worksheet(Worksheet&&) noexcept;
    Worksheet& operator=(Worksheet&&) noexcept;
    ~Worksheet();

    // The cell at row and column, counted from 1 as the spreadsheet numbers them (column A is 1).
    // Cells outside the sheet's used area are empty.
    Cell cell(int row, int column) const;

    // The rows of the sheet's used area.
    int rowCount() const { return static_cast<int>(m_rows); }

private:
    struct Closer {
        void operator()(const void* handle) const;
    };
    Worksheet(std::unique_ptr<const void, Closer> handle, unsigned rows, unsigned columns);

    std::unique_ptr<const void, Closer> m_handle;
    unsigned m_rows = 0;
    unsigned m_columns = 0;
};

} // namespace imports
