#pragma once

// UTF-8 as both sides of the reader's answer check it: header only, so that the reader and the
// program share it without linking each other.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lector
{

// The length of the well-formed UTF-8 character at bytes[i] (1 for ASCII), or 0 when the bytes
// there are not one: a stray continuation byte, an overlong form, a surrogate, a code beyond
// U+10FFFF, a character cut short.
inline std::size_t utf8Length(std::string_view bytes, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10FFFF ||
        (code >= 0xD800 && code < 0xE000))
        return 0;
    return length;
}

// Whether the bytes are well-formed UTF-8 (utf8Length).
inline bool isUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8Length(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// The length of well-formed UTF-8 in UTF-16 units, as spreadsheets count characters.
inline std::size_t utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            ++units; // a lead byte or ASCII starts a character
        if (byte >= 0xF0)
            ++units; // a character beyond the BMP takes two units
    }
    return units;
}

} // namespace lector
