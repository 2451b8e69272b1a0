#pragma once

// The streams of a compound file, the container of .xls workbooks (sectors chained by a table,
// as a small file system). Only what the inspection of a workbook needs: one stream found by name
// in the directory and read whole. Every offset, sector number and chain is checked against the
// file, so that a damaged container gives no stream rather than a read out of bounds.

#include <optional>
#include <string>
#include <string_view>

namespace lector
{

// The bytes of the stream named name (compared exactly, as the reading library compares it), or
// nothing when the bytes are not a compound file, have no such stream, or a chain of it is broken.
std::optional<std::string> compoundStream(std::string_view file, std::string_view name);

// Whether the bytes are a compound file whose first directory sector holds an entry with a name
// longer than an entry's 64 bytes: the reading library reads such a name past its buffer.
bool hasOverlongEntryName(std::string_view file);

} // namespace lector
