#pragma once

// The reading of an .xls workbook (BIFF5 and BIFF8, and the older BIFF2 to BIFF4 sheets) with
// FreeXL, into the reader's answer. The only place of the program that calls FreeXL.

#include <string>
#include <string_view>

namespace lector
{

// The answer (protocol.h) for the workbook at path, whose bytes are file: every sheet with its
// cells, or a refusal that says why it cannot be read.
std::string readXls(const std::string& path, std::string_view file);

} // namespace lector
