#include "lector/orcus_book.h"

#include "lector/answer_writer.h"
#include "lector/protocol.h"
#include "lector/sheet_cells.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <unordered_map>

namespace lector
{

namespace
{

namespace iface = orcus::spreadsheet::iface;
using orcus::spreadsheet::col_t;
using orcus::spreadsheet::row_t;

// "2024-03-01", or "2024-03-01 10:30:00" with a time of day: dates are not expected in the
// imported columns, and read as the text a clerk would see.
std::string dateText(int year, int month, int day, int hour, int minute, double second)
{
    char buffer[64];
    if (hour == 0 && minute == 0 && second == 0)
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    else
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                      int(std::lround(second)));
    return buffer;
}

class SharedStrings : public iface::import_shared_strings
{
public:
    explicit SharedStrings(SheetCells& cells) : m_cells(cells) {}

    size_t append(std::string_view s) override { return m_cells.addSharedString(s); }
    size_t add(std::string_view s) override
    {
        const auto found = m_known.find(std::string(s));
        if (found != m_known.end())
            return found->second;
        const std::uint32_t index = m_cells.addSharedString(s);
        m_known.emplace(std::string(s), index);
        return index;
    }
    // Rich text: only its characters matter.
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t) override
    {
    }
    void append_segment(std::string_view s) override { m_segments.append(s); }
    size_t commit_segments() override
    {
        const std::uint32_t index = m_cells.addSharedString(m_segments);
        m_segments.clear();
        return index;
    }

private:
    SheetCells& m_cells;
    std::unordered_map<std::string, std::uint32_t> m_known;
    std::string m_segments;
};

// A formula's cell takes the value the spreadsheet computed and saved with it.
class Formula : public iface::import_formula
{
public:
    Formula(SheetCells& cells, std::size_t sheet) : m_cells(cells), m_sheet(sheet) {}

    void set_position(row_t row, col_t col) override
    {
        m_row = row;
        m_column = col;
        m_kind = Kind::Empty;
    }
    void set_formula(orcus::spreadsheet::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override
    {
        m_kind = Kind::Text;
        m_text = value;
    }
    void set_result_value(double value) override
    {
        m_kind = Kind::Number;
        m_number = value;
    }
    void set_result_bool(bool value) override { set_result_value(value ? 1 : 0); }
    void set_result_empty() override { m_kind = Kind::Empty; }
    void commit() override
    {
        if (m_kind == Kind::Number)
            m_cells.number(m_sheet, m_row, m_column, m_number);
        else if (m_kind == Kind::Text)
            m_cells.text(m_sheet, m_row, m_column, m_text);
        m_kind = Kind::Empty;
    }

private:
    enum class Kind { Empty, Number, Text };
    SheetCells& m_cells;
    std::size_t m_sheet;
    row_t m_row = 0;
    col_t m_column = 0;
    Kind m_kind = Kind::Empty;
    double m_number = 0;
    std::string m_text;
};

class ArrayFormula : public iface::import_array_formula
{
public:
    ArrayFormula(SheetCells& cells, std::size_t sheet) : m_cells(cells), m_sheet(sheet) {}

    void set_range(const orcus::spreadsheet::range_t&) override {}
    void set_formula(orcus::spreadsheet::formula_grammar_t, std::string_view) override {}
    void set_result_string(row_t row, col_t col, std::string_view value) override
    {
        m_cells.text(m_sheet, row, col, value);
    }
    void set_result_value(row_t row, col_t col, double value) override
    {
        m_cells.number(m_sheet, row, col, value);
    }
    void set_result_bool(row_t row, col_t col, bool value) override
    {
        m_cells.number(m_sheet, row, col, value ? 1 : 0);
    }
    void set_result_empty(row_t, col_t) override {}
    void commit() override {}

private:
    SheetCells& m_cells;
    std::size_t m_sheet;
};

class Sheet : public iface::import_sheet
{
public:
    Sheet(SheetCells& cells, std::size_t index)
        : m_cells(cells), m_index(index), m_formula(cells, index), m_arrayFormula(cells, index)
    {
    }

    iface::import_formula* get_formula() override { return &m_formula; }
    iface::import_array_formula* get_array_formula() override { return &m_arrayFormula; }

    void set_auto(row_t row, col_t col, std::string_view s) override { m_cells.text(m_index, row, col, s); }
    void set_string(row_t row, col_t col, orcus::spreadsheet::string_id_t index) override
    {
        m_cells.sharedText(m_index, row, col, index);
    }
    void set_value(row_t row, col_t col, double value) override { m_cells.number(m_index, row, col, value); }
    void set_bool(row_t row, col_t col, bool value) override
    {
        m_cells.number(m_index, row, col, value ? 1 : 0);
    }
    void set_date_time(row_t row, col_t col, int year, int month, int day, int hour, int minute,
                       double second) override
    {
        m_cells.text(m_index, row, col, dateText(year, month, day, hour, minute, second));
    }
    void set_format(row_t, col_t, size_t) override {}
    void set_format(row_t, col_t, row_t, col_t, size_t) override {}
    void fill_down_cells(row_t row, col_t col, row_t count) override
    {
        m_cells.fillDown(m_index, row, col, count);
    }
    orcus::spreadsheet::range_size_t get_sheet_size() const override
    {
        return {row_t(maxRows), col_t(maxColumns)};
    }

private:
    SheetCells& m_cells;
    std::size_t m_index;
    Formula m_formula;
    ArrayFormula m_arrayFormula;
};

// What the library fills: the sheets in order, their cells, the shared strings. Styles, views
// and the rest are left out (the library skips what has no receiver).
class Factory : public iface::import_factory
{
public:
    explicit Factory(SheetCells& cells) : m_cells(cells), m_strings(cells) {}

    iface::import_shared_strings* get_shared_strings() override { return &m_strings; }
    iface::import_sheet* append_sheet(orcus::spreadsheet::sheet_t, std::string_view name) override
    {
        const std::size_t index = m_cells.addSheet(name);
        m_sheets.push_back(std::make_unique<Sheet>(m_cells, index));
        return m_sheets.back().get();
    }
    iface::import_sheet* get_sheet(std::string_view name) override
    {
        const std::optional<std::size_t> index = m_cells.sheetNamed(name);
        return index ? m_sheets[*index].get() : nullptr;
    }
    iface::import_sheet* get_sheet(orcus::spreadsheet::sheet_t index) override
    {
        return index >= 0 && std::size_t(index) < m_sheets.size() ? m_sheets[std::size_t(index)].get()
                                                                  : nullptr;
    }
    void finalize() override {}

private:
    SheetCells& m_cells;
    SharedStrings m_strings;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
};

template <typename Filter> std::string readWith(std::string_view file)
{
    SheetCells cells;
    try {
        Factory factory(cells);
        Filter filter(&factory);
        filter.read_stream(file);
    } catch (const LimitReached& reached) {
        return reached.refusal;
    } catch (const std::bad_alloc&) {
        return AnswerWriter::refusal(refusal::size, {AnswerWriter::numberField(0)});
    } catch (...) {
        // The library raises its own errors for a damaged archive or malformed XML.
        return AnswerWriter::refusal(refusal::damaged);
    }
    if (cells.sheetCount() == 0)
        return AnswerWriter::refusal(refusal::damaged);
    return cells.answer(file.size());
}

} // namespace

std::string readXlsx(std::string_view file)
{
    return readWith<orcus::orcus_xlsx>(file);
}

std::string readOds(std::string_view file)
{
    return readWith<orcus::orcus_ods>(file);
}

} // namespace lector
