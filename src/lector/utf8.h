#pragma once

#include <cstddef>
#include <string_view>

namespace lector
{

// Whether the bytes are well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing beyond U+10FFFF.
bool isUtf8(std::string_view bytes);

// The length of well-formed UTF-8 in UTF-16 units, as spreadsheets count characters.
std::size_t utf16Length(std::string_view utf8);

} // namespace lector
