#pragma once

// The reading of a .csv file as the one sheet "Hoja1" of a workbook, into the reader's answer.
// Spreadsheets write such files in several ways, all read here: columns separated by ";" (what
// Spanish spreadsheets write, the comma being the decimal mark) or by ",", found from the first
// lines; fields in double quotes, a quote inside one doubled; UTF-8 with or without its byte
// order mark, or Windows-1252; CR LF, LF or CR line ends. Every cell is a text, as typed: the
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

// How the file's bytes are read. A file with any well-formed character of two bytes or more is
// UTF-8, even with a few bytes that are not (a line pasted from elsewhere): each such byte is
// read as U+FFFD, so that its row is refused with the reason while the others keep their
// letters ("Dueño" never becomes "DueÃ±o"). Only a file without any is Windows-1252.
enum class CsvEncoding { Utf8, Utf8WithFaults, Windows1252 };
CsvEncoding csvEncoding(std::string_view file);

// The file's text in UTF-8: without its byte order mark, from Windows-1252 when csvEncoding
// says so, every line end (CR LF, LF, CR alone) made LF. Exposed for the tests.
std::string csvText(std::string_view file);

} // namespace lector
