#pragma once

// The reader's work on one workbook, apart from its process: the bytes of the file in, the
// answer out. The fuzz target calls it as the executable does.

#include <cstdint>
#include <string>

namespace lector
{

// The answer for the workbook at path: read whole, then handed to the reader of its format.
std::string readWorkbook(const std::string& path);

// The largest file read: a census of 65,536 rows takes some 5 MB.
inline constexpr std::uint64_t maxFileBytes = 256ull * 1024 * 1024;

} // namespace lector
