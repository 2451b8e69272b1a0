#include "lector/sheet_cells.h"

#include "lector/answer_writer.h"
#include "lector/protocol.h"
#include "lector/utf8.h"

#include <algorithm>

namespace lector
{

namespace
{

std::string sizeRefusal(std::uint64_t cells)
{
    return AnswerWriter::refusal(refusal::size, {AnswerWriter::numberField(cells)});
}

} // namespace

std::size_t SheetCells::addSheet(std::string_view name)
{
    if (m_sheets.size() >= maxSheets)
        throw LimitReached{sizeRefusal(m_sheets.size() + 1)};
    m_sheets.push_back({std::string(name), {}});
    return m_sheets.size() - 1;
}

std::optional<std::size_t> SheetCells::sheetNamed(std::string_view name) const
{
    for (std::size_t s = 0; s < m_sheets.size(); ++s)
        if (m_sheets[s].name == name)
            return s;
    return std::nullopt;
}

void SheetCells::reserve(std::size_t sheet, std::size_t cells)
{
    m_sheets.at(sheet).values.reserve(std::min<std::size_t>(cells, maxCells));
}

SheetCells::Value& SheetCells::place(std::size_t sheet, std::int64_t row, std::int64_t column)
{
    Sheet& target = m_sheets.at(sheet);
    if (row < 0 || column < 0)
        throw LimitReached{AnswerWriter::refusal(refusal::damaged)};
    if (row >= std::int64_t(maxImportRows))
        throw LimitReached{
            AnswerWriter::refusal(refusal::rows, {AnswerWriter::textField(target.name),
                                                  AnswerWriter::numberField(std::uint64_t(row) + 1)})};
    if (column >= std::int64_t(maxColumns))
        throw LimitReached{AnswerWriter::refusal(refusal::dimensions,
                                                 {AnswerWriter::textField(target.name),
                                                  AnswerWriter::numberField(std::uint64_t(row) + 1),
                                                  AnswerWriter::numberField(std::uint64_t(column) + 1)})};
    if (++m_values > maxCells)
        throw LimitReached{sizeRefusal(m_values)};
    Value value;
    value.key = (std::uint64_t(row) << 16) | std::uint64_t(column);
    value.order = m_values;
    target.values.push_back(value);
    return target.values.back();
}

void SheetCells::number(std::size_t sheet, std::int64_t row, std::int64_t column, double value)
{
    Value& cell = place(sheet, row, column);
    cell.kind = Value::Kind::Number;
    cell.number = value;
}

void SheetCells::text(std::size_t sheet, std::int64_t row, std::int64_t column, std::string_view utf8)
{
    m_textBytes += utf8.size();
    if (m_textBytes > maxAnswerBytes)
        throw LimitReached{sizeRefusal(m_values)};
    Value& cell = place(sheet, row, column);
    cell.kind = Value::Kind::Text;
    cell.index = std::uint32_t(m_texts.size());
    m_texts.emplace_back(utf8);
}

void SheetCells::sharedText(std::size_t sheet, std::int64_t row, std::int64_t column, std::uint32_t index)
{
    if (index >= m_shared.size())
        throw LimitReached{AnswerWriter::refusal(refusal::damaged)};
    m_textBytes += m_shared[index].size();
    if (m_textBytes > maxAnswerBytes)
        throw LimitReached{sizeRefusal(m_values)};
    Value& cell = place(sheet, row, column);
    cell.kind = Value::Kind::Shared;
    cell.index = index;
}

void SheetCells::fillDown(std::size_t sheet, std::int64_t row, std::int64_t column, std::int64_t count)
{
    const std::vector<Value>& values = m_sheets.at(sheet).values;
    const std::uint64_t key = (std::uint64_t(std::max<std::int64_t>(row, 0)) << 16) |
                              std::uint64_t(std::max<std::int64_t>(column, 0));
    // The latest value set for the cell: the one copied.
    const auto source =
        std::find_if(values.rbegin(), values.rend(), [&](const Value& v) { return v.key == key; });
    if (source == values.rend())
        return;
    const Value copied = *source;
    for (std::int64_t r = 1; r <= count; ++r) {
        if (copied.kind != Value::Kind::Number)
            m_textBytes += textOf(copied).size();
        if (m_textBytes > maxAnswerBytes)
            throw LimitReached{sizeRefusal(m_values)};
        Value& cell = place(sheet, row + r, column);
        const std::uint64_t at = cell.key;
        const std::uint64_t order = cell.order;
        cell = copied;
        cell.key = at;
        cell.order = order;
    }
}

std::uint32_t SheetCells::addSharedString(std::string_view utf8)
{
    if (m_shared.size() >= maxCells)
        throw LimitReached{sizeRefusal(m_shared.size())};
    m_shared.emplace_back(utf8);
    return std::uint32_t(m_shared.size() - 1);
}

std::string_view SheetCells::textOf(const Value& value) const
{
    return value.kind == Value::Kind::Shared ? std::string_view(m_shared[value.index])
                                             : std::string_view(m_texts[value.index]);
}

std::string SheetCells::answer(std::size_t expectedBytes) const
{
    AnswerWriter answer(expectedBytes);
    for (const Sheet& sheet : m_sheets) {
        if (!isUtf8(sheet.name) || utf16Length(sheet.name) > maxNameCharacters)
            return AnswerWriter::refusal(refusal::damaged);
        std::vector<const Value*> sorted;
        sorted.reserve(sheet.values.size());
        for (const Value& value : sheet.values)
            sorted.push_back(&value);
        std::sort(sorted.begin(), sorted.end(), [](const Value* a, const Value* b) {
            return a->key != b->key ? a->key < b->key : a->order < b->order;
        });
        // The used area: one past the last row and the last column that hold a value.
        std::uint32_t rows = 0;
        std::uint32_t columns = 0;
        for (const Value* value : sorted) {
            rows = std::max(rows, std::uint32_t(value->key >> 16) + 1);
            columns = std::max(columns, std::uint32_t(value->key & 0xFFFF) + 1);
        }
        answer.sheet(sheet.name, rows, columns);
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            const Value& value = *sorted[i];
            if (i + 1 < sorted.size() && sorted[i + 1]->key == value.key)
                continue; // replaced by a later value
            const auto row = std::uint32_t(value.key >> 16) + 1;
            const auto column = std::uint32_t(value.key & 0xFFFF) + 1;
            if (value.kind == Value::Kind::Number) {
                answer.number(row, column, value.number);
                continue;
            }
            const std::string_view text = textOf(value);
            if (text.empty())
                continue; // an empty text is an empty cell, as the .xls reader gives it
            if (!isUtf8(text))
                return AnswerWriter::refusal(refusal::damaged);
            if (const std::size_t length = utf16Length(text); length > maxCellCharacters)
                return AnswerWriter::refusal(
                    refusal::text, {AnswerWriter::textField(sheet.name), AnswerWriter::numberField(row),
                                    AnswerWriter::numberField(column), AnswerWriter::numberField(length)});
            answer.text(row, column, text);
        }
        if (answer.size() > maxAnswerBytes)
            return sizeRefusal(answer.cells());
    }
    return std::move(answer).finish();
}

} // namespace lector
