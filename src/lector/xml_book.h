#pragma once

// The reading of the workbooks of today's spreadsheets, packages of XML parts: .xlsx (Office Open
// XML, as Excel, LibreOffice Calc, Google Sheets, openpyxl and libxlsxwriter write it) and .ods
// (OpenDocument, as Calc writes it), with QuaZip and Qt's XML stream reader, into the reader's
// answer. Cells come out as the .xls reader gives them: numbers as numbers, texts as texts, a
// formula as the value saved with it, a date as its "YYYY-MM-DD" text.

#include <QStringView>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace lector
{

// The answer (protocol.h) for the bytes of an .xlsx or an .ods workbook: every sheet with its
// cells, or a refusal that says why it cannot be read.
std::string readXlsx(std::string_view file);
std::string readOds(std::string_view file);

// "B5" (or "$B$5") as row 4 and column 1, counted from 0; nothing for anything else. Exposed for
// the tests.
std::optional<std::pair<std::int64_t, std::int64_t>> cellReference(std::string_view reference);
std::optional<std::pair<std::int64_t, std::int64_t>> cellReference(QStringView reference);

} // namespace lector
