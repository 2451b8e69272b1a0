#pragma once

// One cell of a sheet as the import rules read it, whatever the workbook's format.

#include <QString>
#include <optional>

namespace imports
{

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

} // namespace imports
