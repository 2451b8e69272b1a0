#include "lector/xls_book.h"

#include "lector/answer_writer.h"
#include "lector/compound_file.h"
#include "lector/protocol.h"
#include "lector/utf8.h"
#include "lector/xls_facts.h"

#include <freexl.h>
#include <memory>

namespace lector
{

namespace
{

// What a sheet of the .xls format can hold; a larger declared area is a damaged file.
constexpr std::uint32_t xlsRows = 65536;
constexpr std::uint32_t xlsColumns = 256;
// The library allocates a 16-byte cell for every cell of every sheet's declared area, at once.
constexpr std::uint64_t cellBytes = 16;
constexpr std::uint64_t allocationBudget = 512ull * 1024 * 1024;

using Field = AnswerWriter::Field;

struct Closer {
    void operator()(const void* handle) const { freexl_close(handle); }
};
using Handle = std::unique_ptr<const void, Closer>;

std::string dimensionsRefusal(std::string_view name, std::uint32_t rows, std::uint32_t columns)
{
    return AnswerWriter::refusal(
        refusal::dimensions,
        {AnswerWriter::textField(name), AnswerWriter::numberField(rows), AnswerWriter::numberField(columns)});
}

std::string textRefusal(std::string_view sheet, std::uint32_t row, std::uint32_t column, std::uint64_t length)
{
    return AnswerWriter::refusal(refusal::text,
                                 {AnswerWriter::textField(sheet), AnswerWriter::numberField(row),
                                  AnswerWriter::numberField(column), AnswerWriter::numberField(length)});
}

std::string sizeRefusal(std::uint64_t cells)
{
    return AnswerWriter::refusal(refusal::size, {AnswerWriter::numberField(cells)});
}

// What the walk of the records refuses before the library is let near the file: areas beyond
// the format, more cells than can be allocated, texts the library would read past.
std::string refusalBeforeReading(const XlsFacts& facts)
{
    std::uint64_t declared = 0;
    for (const SheetFacts& sheet : facts.sheets) {
        if (sheet.rows > xlsRows || sheet.columns > xlsColumns)
            return dimensionsRefusal(sheet.name, sheet.rows, sheet.columns);
        declared += std::uint64_t(sheet.rows) * sheet.columns;
    }
    if (declared * cellBytes > allocationBudget)
        return sizeRefusal(declared);
    if (facts.unreadableText) {
        const LongText& text = *facts.unreadableText;
        if (!text.place)
            return textRefusal({}, 0, 0, text.characters);
        const auto [sheet, row, column] = *text.place;
        return textRefusal(facts.sheets[sheet].name, row + 1, column + 1, text.characters);
    }
    return {};
}

std::string damaged()
{
    return AnswerWriter::refusal(refusal::damaged);
}

// One cell into the answer; a refusal when the cell cannot be handed over.
std::string writeCell(AnswerWriter& answer, const FreeXL_CellValue& value, const XlsFacts& facts,
                      const CellPlace& place, std::string_view sheetName)
{
    const auto [s, r, c] = place;
    switch (value.type) {
    case FREEXL_CELL_INT:
        answer.number(r + 1, c + 1, value.value.int_value);
        break;
    case FREEXL_CELL_DOUBLE:
        answer.number(r + 1, c + 1, value.value.double_value);
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        if (value.value.text_value == nullptr)
            break;
        // The library ends a text at a NUL: the walk of the records kept it whole.
        const auto whole = facts.textsWithNul.find(place);
        const std::string_view text = whole != facts.textsWithNul.end()
                                          ? std::string_view(whole->second)
                                          : std::string_view(value.value.text_value);
        if (!isUtf8(text))
            return damaged();
        if (const std::size_t length = utf16Length(text); length > maxCellCharacters)
            return textRefusal(sheetName, r + 1, c + 1, length);
        answer.text(r + 1, c + 1, text);
        break;
    }
    default:
        break;
    }
    if (answer.cells() > maxCells || answer.size() > maxAnswerBytes)
        return sizeRefusal(answer.cells());
    return {};
}

// The sheet and its cells into the answer; a refusal when it cannot be read whole.
std::string writeSheet(AnswerWriter& answer, const void* handle, unsigned short index, const XlsFacts& facts)
{
    const char* name = nullptr;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_get_worksheet_name(handle, index, &name) != FREEXL_OK || name == nullptr ||
        freexl_select_active_worksheet(handle, index) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return damaged();
    const std::string_view sheetName(name);
    if (!isUtf8(sheetName) || utf16Length(sheetName) > maxNameCharacters)
        return damaged();
    if (rows > xlsRows || columns > xlsColumns)
        return dimensionsRefusal(sheetName, rows, columns);
    answer.sheet(sheetName, rows, columns);
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK)
                return damaged();
            if (std::string refused = writeCell(answer, value, facts, CellPlace{index, r, c}, sheetName);
                !refused.empty())
                return refused;
        }
    }
    return {};
}

} // namespace

std::string readXls(const std::string& path, std::string_view file)
{
    // Damage that the library would read past its buffers: refused before it sees the file.
    if (hasOverlongEntryName(file))
        return damaged();
    const XlsFacts facts = inspectXls(file);
    if (std::string refused = refusalBeforeReading(facts); !refused.empty())
        return refused;

    const void* raw = nullptr;
    const int opened = freexl_open(path.c_str(), &raw);
    Handle handle(raw);
    if (opened != FREEXL_OK)
        return facts.understood ? damaged() : AnswerWriter::refusal(refusal::format);
    // FreeXL 1.0.6 reports success, without a workbook, when a record fails to parse.
    if (!handle)
        return damaged();

    unsigned int password = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        return AnswerWriter::refusal(refusal::password);

    unsigned int sheets = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        return damaged();
    if (sheets > maxSheets)
        return AnswerWriter::refusal(refusal::size, {AnswerWriter::numberField(sheets)});
    // The walk and the library must see the same sheets for the texts with a NUL to be placed.
    if (!facts.textsWithNul.empty() && facts.sheets.size() != sheets)
        return damaged();

    AnswerWriter answer(file.size());
    for (unsigned int s = 0; s < sheets; ++s)
        if (std::string refused = writeSheet(answer, handle.get(), static_cast<unsigned short>(s), facts);
            !refused.empty())
            return refused;
    return std::move(answer).finish();
}

} // namespace lector
