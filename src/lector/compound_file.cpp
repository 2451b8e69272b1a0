#include "lector/compound_file.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace lector
{

namespace
{

constexpr std::uint32_t endOfChain = 0xFFFFFFFE;
constexpr std::uint32_t lastRegularSector = 0xFFFFFFFA;
constexpr std::size_t headerDifatEntries = 109;
constexpr std::size_t directoryEntrySize = 128;

std::uint32_t u32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + std::size_t(i)]);
    return value;
}

std::uint16_t u16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

class CompoundFile
{
public:
    explicit CompoundFile(std::string_view file) : m_file(file) {}

    bool readHeader()
    {
        static constexpr unsigned char signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        if (m_file.size() < 512 || std::memcmp(m_file.data(), signature, sizeof signature) != 0)
            return false;
        const std::uint16_t shift = u16(m_file, 0x1E);
        const std::uint16_t miniShift = u16(m_file, 0x20);
        if ((shift != 9 && shift != 12) || miniShift != 6)
            return false;
        m_sectorSize = std::size_t(1) << shift;
        m_sectors = m_file.size() / m_sectorSize - 1; // the header takes the place of sector -1
        m_miniCutoff = u32(m_file, 0x38);
        return readFat() && readDirectory();
    }

    std::optional<std::string> stream(std::string_view name) const
    {
        for (std::size_t at = 0; at + directoryEntrySize <= m_directory.size(); at += directoryEntrySize) {
            const std::string_view entry(m_directory.data() + at, directoryEntrySize);
            const std::uint8_t type = static_cast<unsigned char>(entry[0x42]);
            if (type != 2 || entryName(entry) != name)
                continue;
            const std::uint32_t start = u32(entry, 0x74);
            const std::uint32_t size = u32(entry, 0x78);
            if (size < m_miniCutoff)
                return miniStream(start, size);
            return chain(start, size);
        }
        return std::nullopt;
    }

private:
    // The sector's bytes, or an empty view for a sector that is not in the file.
    std::string_view sector(std::uint32_t index) const
    {
        if (index >= m_sectors)
            return {};
        return m_file.substr((std::size_t(index) + 1) * m_sectorSize, m_sectorSize);
    }

    bool readFat()
    {
        const std::uint32_t fatSectors = u32(m_file, 0x2C);
        if (fatSectors > m_sectors)
            return false;
        std::vector<std::uint32_t> fatIndexes;
        for (std::size_t i = 0; i < headerDifatEntries && fatIndexes.size() < fatSectors; ++i)
            fatIndexes.push_back(u32(m_file, 0x4C + 4 * i));
        std::uint32_t difat = u32(m_file, 0x44);
        for (std::size_t walked = 0; fatIndexes.size() < fatSectors; ++walked) {
            const std::string_view block = sector(difat);
            if (block.empty() || walked > m_sectors)
                return false;
            const std::size_t entries = m_sectorSize / 4 - 1;
            for (std::size_t i = 0; i < entries && fatIndexes.size() < fatSectors; ++i)
                fatIndexes.push_back(u32(block, 4 * i));
            difat = u32(block, 4 * entries);
        }
        m_fat.reserve(fatIndexes.size() * (m_sectorSize / 4));
        for (const std::uint32_t index : fatIndexes) {
            const std::string_view block = sector(index);
            if (block.empty())
                return false;
            for (std::size_t i = 0; i < m_sectorSize / 4; ++i)
                m_fat.push_back(u32(block, 4 * i));
        }
        return true;
    }

    // The chained sectors from start, cut to size bytes (the whole chain when size is npos).
    std::optional<std::string> chain(std::uint32_t start, std::size_t size) const
    {
        std::string bytes;
        if (size != std::string::npos && size <= m_file.size())
            bytes.reserve(size + m_sectorSize);
        std::uint32_t next = start;
        for (std::size_t walked = 0; next != endOfChain; ++walked) {
            if (walked > m_sectors || next > lastRegularSector || next >= m_fat.size())
                return std::nullopt;
            const std::string_view block = sector(next);
            if (block.empty())
                return std::nullopt;
            bytes.append(block);
            if (size != std::string::npos && bytes.size() >= size)
                break;
            next = m_fat[next];
        }
        if (size == std::string::npos)
            return bytes;
        if (bytes.size() < size)
            return std::nullopt;
        bytes.resize(size);
        return bytes;
    }

    bool readDirectory()
    {
        std::optional<std::string> directory = chain(u32(m_file, 0x30), std::string::npos);
        if (!directory || directory->size() < directoryEntrySize)
            return false;
        m_directory = std::move(*directory);
        // The root entry holds the small streams, in 64-byte sectors chained by the mini table.
        const std::string_view root(m_directory.data(), directoryEntrySize);
        if (static_cast<unsigned char>(root[0x42]) != 5)
            return false;
        m_rootStart = u32(root, 0x74);
        m_rootSize = u32(root, 0x78);
        return true;
    }

    std::optional<std::string> miniStream(std::uint32_t start, std::uint32_t size) const
    {
        const std::optional<std::string> container = chain(m_rootStart, m_rootSize);
        const std::optional<std::string> miniTable = chain(u32(m_file, 0x3C), std::string::npos);
        if (!container || !miniTable)
            return std::nullopt;
        constexpr std::size_t miniSize = 64;
        const std::size_t miniSectors = container->size() / miniSize;
        std::string bytes;
        std::uint32_t next = start;
        while (bytes.size() < size) {
            if (next >= miniSectors || std::size_t(next) * 4 + 4 > miniTable->size() ||
                bytes.size() > container->size())
                return std::nullopt;
            bytes.append(*container, std::size_t(next) * miniSize, miniSize);
            next = u32(*miniTable, std::size_t(next) * 4);
        }
        bytes.resize(size);
        return bytes;
    }

    // The entry's name, as UTF-16 of ASCII letters: the only names sought are ASCII.
    static std::string entryName(std::string_view entry)
    {
        const std::uint16_t bytes = u16(entry, 0x40);
        std::string name;
        for (std::size_t i = 0; i + 1 < bytes && i + 1 < 64; i += 2) {
            const std::uint16_t unit = u16(entry, i);
            if (unit == 0)
                break;
            name += unit < 0x80 ? char(unit) : '?';
        }
        return name;
    }

    std::string_view m_file;
    std::size_t m_sectorSize = 512;
    std::size_t m_sectors = 0;
    std::uint32_t m_miniCutoff = 4096;
    std::vector<std::uint32_t> m_fat;
    std::string m_directory;
    std::uint32_t m_rootStart = endOfChain;
    std::uint32_t m_rootSize = 0;
};

} // namespace

bool hasOverlongEntryName(std::string_view file)
{
    static constexpr unsigned char signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (file.size() < 512 || std::memcmp(file.data(), signature, sizeof signature) != 0)
        return false;
    const std::uint16_t shift = u16(file, 0x1E);
    if (shift != 9 && shift != 12)
        return false;
    const std::size_t sectorSize = std::size_t(1) << shift;
    const std::size_t at = (std::size_t(u32(file, 0x30)) + 1) * sectorSize;
    if (at > file.size() || file.size() - at < sectorSize)
        return false; // the library fails to read the sector, safely
    for (std::size_t entry = at; entry < at + sectorSize; entry += directoryEntrySize)
        if (u16(file, entry + 0x40) > 64)
            return true;
    return false;
}

std::optional<std::string> compoundStream(std::string_view file, std::string_view name)
{
    CompoundFile compound(file);
    if (!compound.readHeader())
        return std::nullopt;
    return compound.stream(name);
}

} // namespace lector
