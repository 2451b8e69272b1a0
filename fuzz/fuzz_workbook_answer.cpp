// The program's decoding of the reader's answer, on any bytes: it must refuse what is not an
// answer without reading out of bounds, and what it accepts must keep its promises (every cell
// inside its sheet, in order, each at most once).

#include "lector/protocol.h"
#include "rules/import/workbook_answer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{

void check(bool holds, const char* promise)
{
    if (!holds) {
        std::fprintf(stderr, "decodeAnswer broke its promise: %s\n", promise);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    imports::ReaderAnswer answer;
    try {
        answer = imports::decodeAnswer(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const imports::AnswerError&) {
        return 0;
    }
    check(!answer.refusal || answer.sheets.empty(), "a refusal comes alone");
    check(answer.sheets.size() <= lector::maxSheets, "sheets within the limit");
    std::uint64_t cells = 0;
    for (const imports::SheetCells& sheet : answer.sheets) {
        check(sheet.rows >= 0 && quint64(sheet.rows) <= lector::maxRows, "rows within the limit");
        check(sheet.columns >= 0 && quint64(sheet.columns) <= lector::maxColumns, "columns within the limit");
        check(sheet.name.size() <= qsizetype(lector::maxNameCharacters), "a sheet name within the limit");
        quint64 last = 0;
        for (const auto& [key, cell] : sheet.cells) {
            const quint64 row = key >> 16;
            const quint64 column = key & 0xFFFF;
            check(row >= 1 && row <= quint64(sheet.rows) && column >= 1 && column <= quint64(sheet.columns),
                  "every cell inside its sheet");
            check(key > last, "cells in order, each once");
            last = key;
            check(cell.kind != imports::Cell::Kind::Empty, "no empty cell");
            check(cell.text.size() <= qsizetype(lector::maxCellCharacters), "texts within the limit");
        }
        cells += sheet.cells.size();
    }
    check(cells <= lector::maxCells, "cells within the limit");
    return 0;
}
