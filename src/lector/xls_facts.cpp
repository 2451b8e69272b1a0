#include "lector/xls_facts.h"

#include "lector/compound_file.h"

#include <algorithm>

namespace lector
{

namespace
{

namespace record
{
constexpr std::uint16_t bof = 0x0809;
constexpr std::uint16_t eof = 0x000A;
constexpr std::uint16_t boundSheet = 0x0085;
constexpr std::uint16_t sst = 0x00FC;
constexpr std::uint16_t continuation = 0x003C;
constexpr std::uint16_t dimensions = 0x0200;
constexpr std::uint16_t labelSst = 0x00FD;
constexpr std::uint16_t label = 0x0204;
} // namespace record

// The largest record the library reads; it takes a larger one for the end of the stream.
constexpr std::size_t largestRecord = 8224;

std::uint16_t u16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

std::uint32_t u32(std::string_view bytes, std::size_t at)
{
    return std::uint32_t(u16(bytes, at)) | (std::uint32_t(u16(bytes, at + 2)) << 16);
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// UTF-16 units as UTF-8; a unit of a broken surrogate pair becomes U+FFFD.
std::string utf8Of(const std::vector<std::uint16_t>& units)
{
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

// The shared strings: the SST record's data after its two counts and the data of the
// CONTINUE records after it, read as one, with the flags byte that opens a record in the middle
// of a string's characters.
class SharedStrings
{
public:
    struct String {
        std::uint32_t characters = 0;
        std::size_t records = 1; // the records its characters lie in
        bool hasNul = false;
        std::vector<std::uint16_t> units; // kept only when it holds a NUL
    };

    explicit SharedStrings(std::vector<std::string_view> records) : m_records(std::move(records)) {}

    // The next string, or nothing at the end of the data or where it is broken.
    std::optional<String> next()
    {
        std::uint16_t characters = 0;
        std::uint8_t flags = 0;
        if (!word(characters) || !byte(flags))
            return std::nullopt;
        std::uint16_t runs = 0;
        std::uint32_t extra = 0;
        if ((flags & 0x08) != 0 && !word(runs))
            return std::nullopt;
        if ((flags & 0x04) != 0) {
            std::uint16_t low = 0;
            std::uint16_t high = 0;
            if (!word(low) || !word(high))
                return std::nullopt;
            extra = low | (std::uint32_t(high) << 16);
        }
        String string;
        string.characters = characters;
        bool wide = (flags & 0x01) != 0;
        const std::size_t first = m_record;
        const std::size_t firstOffset = m_offset;
        const bool firstWide = wide;
        std::uint32_t left = characters;
        while (left > 0) {
            if (m_offset >= m_records[m_record].size()) {
                // The characters go on in the next record, which opens with their flags.
                if (m_record + 1 >= m_records.size() || m_records[m_record + 1].empty())
                    return std::nullopt;
                ++m_record;
                m_offset = 0;
                wide = (static_cast<unsigned char>(m_records[m_record][m_offset++]) & 0x01) != 0;
            }
            const std::string_view here = m_records[m_record];
            const std::size_t unitBytes = wide ? 2 : 1;
            const std::size_t fit = std::min<std::size_t>(left, (here.size() - m_offset) / unitBytes);
            if (fit == 0)
                return std::nullopt;
            for (std::size_t i = 0; i < fit && !string.hasNul; ++i)
                string.hasNul = wide ? u16(here, m_offset + 2 * i) == 0 : here[m_offset + i] == 0;
            m_offset += fit * unitBytes;
            left -= std::uint32_t(fit);
        }
        string.records = m_record - first + 1;
        // Rare: read the characters again, this time kept.
        if (string.hasNul)
            string.units = units(first, firstOffset, firstWide, characters);
        if (!skip(std::size_t(runs) * 4 + extra))
            return std::nullopt;
        return string;
    }

private:
    // The characters of a string whose first lies at offset in record `record`, as next() read them.
    std::vector<std::uint16_t> units(std::size_t record, std::size_t offset, bool wide,
                                     std::uint32_t characters) const
    {
        std::vector<std::uint16_t> all;
        all.reserve(characters);
        while (all.size() < characters) {
            if (offset >= m_records[record].size()) {
                if (record + 1 >= m_records.size() || m_records[record + 1].empty())
                    break; // as next() found it: cannot happen for a string it read
                ++record;
                offset = 0;
                wide = (static_cast<unsigned char>(m_records[record][offset++]) & 0x01) != 0;
            }
            const std::string_view here = m_records[record];
            const std::size_t before = all.size();
            for (; all.size() < characters && offset + (wide ? 2 : 1) <= here.size(); offset += wide ? 2 : 1)
                all.push_back(wide ? u16(here, offset) : static_cast<unsigned char>(here[offset]));
            if (all.size() == before && offset < here.size())
                break; // as next() found it: cannot happen for a string it read
        }
        return all;
    }

    bool byte(std::uint8_t& value)
    {
        while (m_offset >= m_records[m_record].size()) {
            if (m_record + 1 >= m_records.size())
                return false;
            ++m_record;
            m_offset = 0;
        }
        value = static_cast<unsigned char>(m_records[m_record][m_offset++]);
        return true;
    }
    bool word(std::uint16_t& value)
    {
        std::uint8_t low = 0;
        std::uint8_t high = 0;
        if (!byte(low) || !byte(high))
            return false;
        value = static_cast<std::uint16_t>(low | (high << 8));
        return true;
    }
    bool skip(std::size_t bytes)
    {
        while (bytes > 0) {
            const std::size_t left = m_records[m_record].size() - m_offset;
            if (bytes <= left) {
                m_offset += bytes;
                return true;
            }
            bytes -= left;
            if (m_record + 1 >= m_records.size())
                return false;
            ++m_record;
            m_offset = 0;
        }
        return true;
    }

    std::vector<std::string_view> m_records;
    std::size_t m_record = 0;
    std::size_t m_offset = 0;
};

struct Record {
    std::uint16_t type = 0;
    std::size_t offset = 0; // in the stream, as the sheets' entries point at their first record
    std::string_view data;
};

// The records of the stream in order, read in place.
class Records
{
public:
    explicit Records(std::string_view stream) : m_stream(stream) { m_next = read(0); }

    std::optional<Record> next()
    {
        std::optional<Record> current = m_next;
        if (current)
            m_next = read(current->offset + 4 + current->data.size());
        return current;
    }
    const std::optional<Record>& peek() const { return m_next; }

private:
    std::optional<Record> read(std::size_t at) const
    {
        if (at + 4 > m_stream.size())
            return std::nullopt;
        const std::uint16_t type = u16(m_stream, at);
        const std::uint16_t size = u16(m_stream, at + 2);
        if ((type == 0 && size == 0) || size > largestRecord || at + 4 + size > m_stream.size())
            return std::nullopt;
        return Record{type, at, m_stream.substr(at + 4, size)};
    }

    std::string_view m_stream;
    std::optional<Record> m_next;
};

class Inspection
{
public:
    explicit Inspection(XlsFacts& facts) : m_facts(facts) {}

    void walk(Records records)
    {
        const std::optional<Record> first = records.next();
        if (!first || first->type != record::bof || first->data.size() < 2)
            return;
        const std::uint16_t version = u16(first->data, 0);
        m_facts.biffVersion = version == 0x0600 ? 8 : version == 0x0500 ? 5 : 0;
        if (m_facts.biffVersion == 0)
            return;
        m_facts.understood = true;
        m_nesting.push_back(std::nullopt);
        while (const std::optional<Record> next = records.next()) {
            const Record& r = *next;
            switch (r.type) {
            case record::bof:
                m_nesting.push_back(sheetAt(r.offset));
                break;
            case record::eof:
                if (!m_nesting.empty())
                    m_nesting.pop_back();
                break;
            case record::boundSheet:
                boundSheet(r.data);
                break;
            case record::sst: {
                std::vector<std::string_view> parts{r.data.size() >= 8 ? r.data.substr(8)
                                                                       : std::string_view()};
                while (records.peek() && records.peek()->type == record::continuation)
                    parts.push_back(records.next()->data);
                sharedStrings(std::move(parts));
                break;
            }
            case record::dimensions:
                dimensions(r.data);
                break;
            case record::labelSst:
                labelSst(r.data);
                break;
            case record::label:
                label(r.data);
                break;
            default:
                break;
            }
        }
    }

private:
    std::optional<std::size_t> sheetAt(std::size_t offset) const
    {
        for (std::size_t s = 0; s < m_offsets.size(); ++s)
            if (m_offsets[s] == offset)
                return s;
        return std::nullopt;
    }

    std::optional<std::size_t> currentSheet() const
    {
        return m_nesting.empty() ? std::nullopt : m_nesting.back();
    }

    void boundSheet(std::string_view data)
    {
        if (data.size() < 8)
            return;
        m_offsets.push_back(u32(data, 0));
        SheetFacts sheet;
        const std::size_t characters = static_cast<unsigned char>(data[6]);
        if (m_facts.biffVersion == 8) {
            const bool wide = (static_cast<unsigned char>(data[7]) & 0x01) != 0;
            std::vector<std::uint16_t> units;
            for (std::size_t c = 0; c < characters; ++c) {
                const std::size_t at = 8 + (wide ? 2 * c : c);
                if (at + (wide ? 2 : 1) > data.size())
                    break;
                units.push_back(wide ? u16(data, at) : static_cast<unsigned char>(data[at]));
            }
            sheet.name = utf8Of(units);
        } else {
            std::vector<std::uint16_t> units;
            for (std::size_t c = 0; c < characters && 7 + c < data.size(); ++c)
                units.push_back(static_cast<unsigned char>(data[7 + c]));
            sheet.name = utf8Of(units);
        }
        m_facts.sheets.push_back(std::move(sheet));
    }

    void sharedStrings(std::vector<std::string_view> parts)
    {
        SharedStrings strings(std::move(parts));
        for (std::uint32_t index = 0;; ++index) {
            const std::optional<SharedStrings::String> string = strings.next();
            if (!string)
                return;
            // The library completes a text begun in one record in the next one, and no further.
            if (string->records > 2 && !m_unreadable) {
                m_unreadable = index;
                m_facts.unreadableText = LongText{string->characters, std::nullopt};
            }
            if (string->hasNul)
                m_withNul.emplace(index, utf8Of(string->units));
        }
    }

    void dimensions(std::string_view data)
    {
        const std::optional<std::size_t> sheet = currentSheet();
        if (!sheet)
            return;
        SheetFacts& facts = m_facts.sheets[*sheet];
        std::uint32_t rows = 0;
        std::uint32_t columns = 0;
        if (m_facts.biffVersion == 8 && data.size() >= 12) {
            rows = u32(data, 4);
            columns = u16(data, 10);
        } else if (m_facts.biffVersion == 5 && data.size() >= 8) {
            rows = u16(data, 2);
            columns = u16(data, 6);
        } else {
            return;
        }
        facts.rows = std::max(facts.rows, rows);
        facts.columns = std::max(facts.columns, columns);
        facts.dimensionsSeen = true;
    }

    void labelSst(std::string_view data)
    {
        const std::optional<std::size_t> sheet = currentSheet();
        if (!sheet || data.size() < 10)
            return;
        const CellPlace place{*sheet, u16(data, 0), u16(data, 2)};
        const std::uint32_t index = u32(data, 6);
        if (m_unreadable && *m_unreadable == index && !m_facts.unreadableText->place)
            m_facts.unreadableText->place = place;
        if (const auto found = m_withNul.find(index); found != m_withNul.end())
            m_facts.textsWithNul.emplace(place, found->second);
    }

    void label(std::string_view data)
    {
        const std::optional<std::size_t> sheet = currentSheet();
        if (!sheet || m_facts.biffVersion != 8 || data.size() < 9)
            return;
        const std::size_t characters = u16(data, 6);
        const bool wide = (static_cast<unsigned char>(data[8]) & 0x01) != 0;
        if (9 + characters * (wide ? 2 : 1) > data.size())
            return;
        std::vector<std::uint16_t> units;
        bool hasNul = false;
        for (std::size_t c = 0; c < characters; ++c) {
            units.push_back(wide ? u16(data, 9 + 2 * c) : static_cast<unsigned char>(data[9 + c]));
            hasNul = hasNul || units.back() == 0;
        }
        if (hasNul)
            m_facts.textsWithNul.emplace(CellPlace{*sheet, u16(data, 0), u16(data, 2)}, utf8Of(units));
    }

    XlsFacts& m_facts;
    std::vector<std::uint32_t> m_offsets;              // where each sheet's records begin
    std::vector<std::optional<std::size_t>> m_nesting; // the sheet of each open BOF, if any
    std::optional<std::uint32_t> m_unreadable;         // the index of the first unreadable text
    std::map<std::uint32_t, std::string> m_withNul;    // shared strings holding a NUL
};

} // namespace

XlsFacts inspectXls(std::string_view file)
{
    XlsFacts facts;
    std::optional<std::string> stream = compoundStream(file, "Workbook");
    if (!stream)
        stream = compoundStream(file, "Book");
    if (!stream)
        return facts;
    Inspection(facts).walk(Records(*stream));
    return facts;
}

} // namespace lector
