#pragma once

// The reader's work on one workbook, apart from its process: the bytes of the file in, the
// answer out. The fuzz target calls it as the executable does.

#include <cstdint>
#include <string>
#include <string_view>

namespace lector
{

// The format of a workbook, told by its first bytes: a compound file is an .xls (or a workbook
// saved with a password), a ZIP package an .ods or an .xlsx by what it holds; a text file is read
// as .csv only when it is named so.
enum class WorkbookFormat { Empty, Xls, Encrypted, Xlsx, Ods, Csv, Damaged, Unknown };
WorkbookFormat workbookFormat(const std::string& path, std::string_view file);

// The answer for the workbook at path: read whole, then handed to the reader of its format.
std::string readWorkbook(const std::string& path);

// The largest file read: a census of 65,536 rows takes some 5 MB.
inline constexpr std::uint64_t maxFileBytes = 256ull * 1024 * 1024;

} // namespace lector
