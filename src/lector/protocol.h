#pragma once

// The answer of palomas-lector, the short-lived process that reads one workbook so that a
// damaged file can only take that process down, never the program. The reader writes the answer
// on its standard output; the program checks every part of it before using any cell. Whatever
// the file's format, the program sees the same thing: sheets, and their cells as numbers or
// texts. Shared by both sides; the standard library only, since the reader links no Qt.
//
//   PALOMAS-LECTOR 1\n                      magic word and version
//   H 5:Hoja1 7 14\n                        a sheet: its name, rows and columns of its used area
//   N 5 1 12.5\n                            a number cell: row, column (from 1), the value
//   T 5 2 1:A\n                             a text cell: row, column, the text in UTF-8
//   F 1 2\n                                 the end: sheets and cells written
//
// or, for a workbook that cannot be read, one refusal and the end with no sheets:
//
//   E dimensiones 5:Hoja1 4294967295 256\n
//   F 0 0\n
//
// A text is written as its length in bytes, ":" and the bytes, so that it may hold any byte,
// blanks and line ends included. Counts are decimal digits without leading zeros. Numbers are
// written in the shortest form that reads back to the same double ("inf", "-inf" and "nan" for
// the values that are not finite: the program refuses them where they would be stored). The
// cells of a sheet follow it in order of row, then column, each at most once, and only the
// cells that hold a value.

#include <cstdint>
#include <string_view>

namespace lector
{

inline constexpr std::string_view magic = "PALOMAS-LECTOR";
inline constexpr int version = 1;

// Record tags.
inline constexpr char sheetTag = 'H';
inline constexpr char numberTag = 'N';
inline constexpr char textTag = 'T';
inline constexpr char refusalTag = 'E';
inline constexpr char endTag = 'F';

// What any workbook of any format can hold (the largest being today's spreadsheets:
// 1,048,576 rows, 16,384 columns, 32,767 characters in a cell), and what the program is willing
// to receive. The reader refuses a workbook beyond them with a refusal that says why; the program
// takes an answer beyond them as garbage.
inline constexpr std::uint32_t maxRows = 1048576;
inline constexpr std::uint32_t maxColumns = 16384;
inline constexpr std::uint32_t maxSheets = 4096;
inline constexpr std::uint32_t maxCellCharacters = 32767; // UTF-16 units, as spreadsheets count them
inline constexpr std::uint32_t maxCellBytes = 3 * maxCellCharacters; // UTF-8 needs at most 3 bytes a unit
inline constexpr std::uint32_t maxNameCharacters = 255;
inline constexpr std::uint32_t maxNameBytes = 3 * maxNameCharacters;
inline constexpr std::uint64_t maxCells = 4194304;
inline constexpr std::uint64_t maxAnswerBytes = 64ull * 1024 * 1024;
inline constexpr std::uint32_t maxNumberBytes = 32;
inline constexpr std::uint32_t maxRefusalFields = 8;
// The rows an import takes from a sheet of the formats without a smaller limit of their own
// (.xlsx, .ods, .csv): as many as an .xls sheet holds, which the imports have always read. The
// reader stops at once at a cell beyond, rather than reading a million rows to refuse them.
inline constexpr std::uint32_t maxImportRows = 65536;

// The refusals, each with its fields after the code.
namespace refusal
{
// Not a workbook of a format the reader knows.
inline constexpr std::string_view format = "formato";
// Protected by a password.
inline constexpr std::string_view password = "contrasena";
// A sheet whose used area is beyond the limits of its format: name, rows, columns.
inline constexpr std::string_view dimensions = "dimensiones";
// More cells, or a larger answer, than the program receives: the cells declared or read.
inline constexpr std::string_view size = "tamano";
// A text longer than the reader can read, or than a cell may hold: sheet name, row, column
// (an empty name and 0, 0 when no cell is known to hold it), and its length in characters.
inline constexpr std::string_view text = "texto";
// A workbook of a known format that the reader could not read whole.
inline constexpr std::string_view damaged = "danado";
// A sheet with data beyond the rows an import takes: sheet name, the first row beyond.
inline constexpr std::string_view rows = "filas";
// A .csv file whose lines separate their columns with ";" in some and "," in others: the row
// (from 1) of the first line that differs.
inline constexpr std::string_view separators = "separadores";
// A file of 0 bytes.
inline constexpr std::string_view empty = "vacio";
} // namespace refusal

// Exit codes of the reader: 0 whenever an answer was written, refusals included.
inline constexpr int exitAnswered = 0;
inline constexpr int exitUsage = 2;

} // namespace lector
