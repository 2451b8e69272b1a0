#pragma once

// Builds the reader's answer (protocol.h) in memory, so that nothing reaches the program until
// the whole workbook has been read: a reading that fails half-way is turned into a refusal, never
// into half an answer.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lector
{

class AnswerWriter
{
public:
    // expectedBytes: room made at once for the answer (about the workbook's size).
    explicit AnswerWriter(std::size_t expectedBytes = 0);

    void sheet(std::string_view name, std::uint32_t rows, std::uint32_t columns);
    void number(std::uint32_t row, std::uint32_t column, double value);
    void text(std::uint32_t row, std::uint32_t column, std::string_view utf8);

    std::uint64_t cells() const { return m_cells; }
    std::size_t size() const { return m_out.size(); }

    // The whole answer: every sheet and cell written, then the end.
    std::string finish() &&;

    // An answer that holds only the refusal, whatever was written before.
    struct Field {
        bool isText = false;
        std::string_view text;
        std::uint64_t number = 0;
    };
    static Field textField(std::string_view text) { return {true, text, 0}; }
    static Field numberField(std::uint64_t number) { return {false, {}, number}; }
    static std::string refusal(std::string_view code, const std::vector<Field>& fields = {});

private:
    std::string m_out;
    std::uint32_t m_sheets = 0;
    std::uint64_t m_cells = 0;
};

} // namespace lector
