#include "lector/answer_writer.h"

#include "lector/protocol.h"

#include <algorithm>
#include <charconv>

namespace lector
{

namespace
{

std::string header()
{
    return std::string(magic) + ' ' + std::to_string(version) + '\n';
}

void appendCount(std::string& out, std::uint64_t count)
{
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, count).ptr);
}

void appendText(std::string& out, std::string_view text)
{
    appendCount(out, text.size());
    out += ':';
    out.append(text);
}

// "N 5 1 " and the like: a cell's tag and place.
void appendCell(std::string& out, char tag, std::uint32_t row, std::uint32_t column)
{
    out += tag;
    out += ' ';
    appendCount(out, row);
    out += ' ';
    appendCount(out, column);
    out += ' ';
}

} // namespace

AnswerWriter::AnswerWriter(std::size_t expectedBytes) : m_out(header())
{
    m_out.reserve(std::min<std::size_t>(expectedBytes, maxAnswerBytes) + 64);
}

void AnswerWriter::sheet(std::string_view name, std::uint32_t rows, std::uint32_t columns)
{
    m_out += sheetTag;
    m_out += ' ';
    appendText(m_out, name);
    m_out += ' ' + std::to_string(rows) + ' ' + std::to_string(columns) + '\n';
    ++m_sheets;
}

void AnswerWriter::number(std::uint32_t row, std::uint32_t column, double value)
{
    char digits[maxNumberBytes];
    // The shortest form that reads back to the same double; infinities and NaN as words.
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    appendCell(m_out, numberTag, row, column);
    m_out.append(digits, written.ptr);
    m_out += '\n';
    ++m_cells;
}

void AnswerWriter::text(std::uint32_t row, std::uint32_t column, std::string_view utf8)
{
    appendCell(m_out, textTag, row, column);
    appendText(m_out, utf8);
    m_out += '\n';
    ++m_cells;
}

std::string AnswerWriter::finish() &&
{
    m_out += endTag;
    m_out += ' ';
    appendCount(m_out, m_sheets);
    m_out += ' ';
    appendCount(m_out, m_cells);
    m_out += '\n';
    return std::move(m_out);
}

std::string AnswerWriter::refusal(std::string_view code, const std::vector<Field>& fields)
{
    std::string out = header();
    out += refusalTag;
    out += ' ';
    out.append(code);
    for (const Field& field : fields) {
        out += ' ';
        if (field.isText)
            appendText(out, field.text);
        else
            out += std::to_string(field.number);
    }
    out += '\n';
    out += endTag;
    out += " 0 0\n";
    return out;
}

} // namespace lector
