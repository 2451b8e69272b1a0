#pragma once

// The reading of a .csv file as the one sheet "Hoja1" of a workbook, into the reader's answer.
// Spreadsheets write such files in several ways, all read here: columns separated by ";" (what
// Spanish spreadsheets write, the comma being the decimal mark) or by ",", found from the first
// lines; fields in double quotes, a quote inside one doubled; UTF-8 with or without its byte
// order mark, or Windows-1252; CR LF or LF line ends. Every cell is a text, as typed: the
// imports read "12" as a cage and "9,5" as 9.5 from texts as they do from any workbook.

#include <optional>
#include <string>
#include <string_view>

namespace lector
{

// The name the file's one sheet takes, the sheet both imports read.
inline constexpr std::string_view csvSheetName = "Hoja1";

// The answer (protocol.h) for the bytes of a .csv file.
std::string readCsv(std::string_view file);

// The separator of the columns, found from the first lines: ';' when any of them separates with
// it outside quotes, else ','. Exposed for the tests.
char csvSeparator(std::string_view utf8);

// The row (from 1) of the first line separated with the other character than `separator`, when
// the file mixes the two. Exposed for the tests.
std::optional<std::size_t> csvMixedRow(std::string_view utf8, char separator);

// The file's text in UTF-8: without its byte order mark, from Windows-1252 when it is not UTF-8,
// CR LF line ends made LF. Exposed for the tests.
std::string csvText(std::string_view file);

} // namespace lector
