#pragma once

// The cells of every sheet of a workbook of the formats read through liborcus (.xlsx, .ods) and
// of a .csv file, gathered as the library hands them over (in any order, a cell possibly more
// than once) and written as the reader's answer: sorted, each cell once, checked against the
// limits the program receives. The same cell values as the .xls reader gives: numbers as
// numbers, texts as their UTF-8 text, dates as "YYYY-MM-DD" texts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lector
{

// Raised while a sheet is filled when it goes beyond what the program receives; the answer is
// then the refusal it holds.
struct LimitReached {
    std::string refusal;
};

class SheetCells
{
public:
    // A new sheet; the cells that follow go into it until the next one.
    std::size_t addSheet(std::string_view name);
    std::size_t sheetCount() const { return m_sheets.size(); }
    std::optional<std::size_t> sheetNamed(std::string_view name) const;
    // Room for about `cells` cells of the sheet, made at once (never more than the limit).
    void reserve(std::size_t sheet, std::size_t cells);

    // Rows and columns counted from 0, as the library counts them. A later value of a cell
    // replaces an earlier one. Raise LimitReached beyond the limits.
    void number(std::size_t sheet, std::int64_t row, std::int64_t column, double value);
    void text(std::size_t sheet, std::int64_t row, std::int64_t column, std::string_view utf8);
    // The text of a string kept apart (the shared strings of the workbook), by its index.
    void sharedText(std::size_t sheet, std::int64_t row, std::int64_t column, std::uint32_t index);
    // The cell at (row, column) copied into the `count` rows below it.
    void fillDown(std::size_t sheet, std::int64_t row, std::int64_t column, std::int64_t count);

    // The workbook's shared strings, in their order.
    std::uint32_t addSharedString(std::string_view utf8);

    // The answer: every sheet with its cells, or a refusal that says why it cannot be handed over.
    std::string answer(std::size_t expectedBytes) const;

private:
    struct Value {
        std::uint64_t key = 0;   // row << 16 | column, from 0
        std::uint64_t order = 0; // when it was set: the last value of a cell wins
        enum class Kind : std::uint8_t { Number, Text, Shared } kind = Kind::Number;
        double number = 0;
        std::uint32_t index = 0; // Text: in m_texts; Shared: in m_shared
    };
    struct Sheet {
        std::string name;
        std::vector<Value> values;
    };

    Value& place(std::size_t sheet, std::int64_t row, std::int64_t column);
    std::string_view textOf(const Value& value) const;

    std::vector<Sheet> m_sheets;
    std::vector<std::string> m_texts;
    std::vector<std::string> m_shared;
    std::uint64_t m_values = 0;
    std::uint64_t m_textBytes = 0;
};

} // namespace lector
