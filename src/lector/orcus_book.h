#pragma once

// The reading of the workbooks of today's spreadsheets, .xlsx (Office Open XML) and .ods
// (OpenDocument), with liborcus, into the reader's answer. The only place of the program that
// calls liborcus.

#include <string>
#include <string_view>

namespace lector
{

// The answer (protocol.h) for the bytes of an .xlsx or an .ods workbook: every sheet with its
// cells, or a refusal that says why it cannot be read.
std::string readXlsx(std::string_view file);
std::string readOds(std::string_view file);

} // namespace lector
