#pragma once

// What the reader learns of an .xls workbook by walking its records itself, before and beside
// the reading library (FreeXL), which is not hardened: it trusts the sizes a file declares, and
// ends a text at its first NUL character. The walk finds the sheets' declared dimensions (so that
// absurd ones are refused before the library allocates for them), the texts that the library
// cannot read (a text spread over more than two records), and the texts that hold a NUL (so that
// the program sees them whole, and refuses them, rather than cut).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace lector
{

struct SheetFacts {
    std::string name;          // UTF-8 (BIFF8); empty when not decoded
    std::uint32_t rows = 0;    // as declared by the sheet's dimensions record, which
    std::uint32_t columns = 0; // the library allocates for: last row and column + 1
    bool dimensionsSeen = false;
};

// A cell, counted from 0: the sheet in the workbook's order, its row and column.
using CellPlace = std::tuple<std::size_t, std::uint32_t, std::uint32_t>;

struct LongText {
    std::uint32_t characters = 0;
    std::optional<CellPlace> place; // the first cell that shows it, when one does
};

struct XlsFacts {
    bool understood = false; // a compound file with a BIFF5 or BIFF8 workbook stream
    int biffVersion = 0;     // 5 or 8
    std::vector<SheetFacts> sheets;
    std::optional<LongText> unreadableText;
    std::map<CellPlace, std::string> textsWithNul; // the whole text, in UTF-8, NULs included
};

// Never fails: what cannot be walked is left out, and understood stays false when the file is not
// a compound file with a workbook stream.
XlsFacts inspectXls(std::string_view file);

} // namespace lector
