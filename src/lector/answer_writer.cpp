#include "lector/answer_writer.h"

#include "lector/protocol.h"

#include <charconv>

namespace lector
{

namespace
{

std::string header()
{
    return std::string(magic) + ' ' + std::to_string(version) + '\n';
}

void appendText(std::string& out, std::string_view text)
{
    out += std::to_string(text.size());
    out += ':';
    out.append(text);
}

} // namespace

AnswerWriter::AnswerWriter() : m_out(header()) {}

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
    m_out += numberTag;
    m_out += ' ' + std::to_string(row) + ' ' + std::to_string(column) + ' ';
    m_out.append(digits, written.ptr);
    m_out += '\n';
    ++m_cells;
}

void AnswerWriter::text(std::uint32_t row, std::uint32_t column, std::string_view utf8)
{
    m_out += textTag;
    m_out += ' ' + std::to_string(row) + ' ' + std::to_string(column) + ' ';
    appendText(m_out, utf8);
    m_out += '\n';
    ++m_cells;
}

std::string AnswerWriter::finish() const
{
    return m_out + endTag + ' ' + std::to_string(m_sheets) + ' ' + std::to_string(m_cells) + '\n';
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
