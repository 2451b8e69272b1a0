#include "lector/csv_book.h"

#include "lector/answer_writer.h"
#include "lector/protocol.h"
#include "lector/sheet_cells.h"
#include "lector/utf8.h"

#include <algorithm>
#include <functional>
#include <new>
namespace lector
{

namespace
{

// How many lines, from the first, decide the separator.
constexpr std::size_t linesLookedAt = 10;

// The characters of Windows-1252 from 0x80 to 0x9F; the five it leaves undefined keep their
// code, as C1 controls.
constexpr char16_t windows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                          0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

std::string fromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0)
            appendUtf8(out, windows1252High[byte - 0x80]);
        else
            appendUtf8(out, byte);
    }
    return out;
}

// UTF-8 with each byte that is not part of a character as U+FFFD, which the imports refuse with
// the reason: the other rows of the file keep their letters.
std::string withReplacements(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 16);
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8Length(bytes, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
    return out;
}

// What one line holds outside quotes.
struct LineFacts {
    std::size_t semicolons = 0;
    std::size_t commas = 0;
    std::size_t separatingCommas = 0; // commas not between two digits: not a decimal mark
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Calls seen(row, facts) for each line (a line end inside quotes belongs to the field), until
// it returns false.
void walkLines(std::string_view text, const std::function<bool(std::size_t, const LineFacts&)>& seen)
{
    bool quoted = false;
    LineFacts facts;
    std::size_t row = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == '\n') {
            if (!seen(row, facts))
                return;
            facts = {};
            ++row;
        } else if (c == ';') {
            ++facts.semicolons;
        } else if (c == ',') {
            ++facts.commas;
            if (i == 0 || i + 1 == text.size() || !isDigit(text[i - 1]) || !isDigit(text[i + 1]))
                ++facts.separatingCommas;
        }
    }
    if (!text.empty() && text.back() != '\n')
        seen(row, facts);
}

bool endsInsideQuotes(std::string_view text)
{
    bool quoted = false;
    for (const char c : text)
        if (c == '"')
            quoted = !quoted;
    return quoted;
}

// Each field of the file into the sheet, as a text: a field in quotes up to its closing quote
// (a doubled quote inside it is one quote, and what follows the closing quote up to the
// separator is kept with it), any other up to the separator or the line's end.
void splitFields(std::string_view text, char separator, SheetCells& cells, std::size_t sheet)
{
    std::int64_t row = 0;
    std::int64_t column = 0;
    std::string field;
    std::size_t i = 0;
    while (i < text.size()) {
        field.clear();
        if (text[i] == '"') {
            for (++i; i < text.size(); ++i) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i];
            }
        }
        const std::size_t end = std::min(text.find_first_of(std::string{separator, '\n'}, i), text.size());
        field.append(text.substr(i, end - i));
        i = end;
        if (!field.empty())
            cells.text(sheet, row, column, field);
        if (i < text.size() && text[i] == separator) {
            ++column;
            ++i;
            if (i == text.size())
                break;
        } else {
            ++row;
            column = 0;
            ++i;
        }
    }
}

} // namespace

std::string csvText(std::string_view file)
{
    if (file.substr(0, 3) == "\xEF\xBB\xBF")
        file.remove_prefix(3);
    std::string text;
    switch (csvEncoding(file)) {
    case CsvEncoding::Utf8:
        text = file;
        break;
    case CsvEncoding::Utf8WithFaults:
        text = withReplacements(file);
        break;
    case CsvEncoding::Windows1252:
        text = fromWindows1252(file);
        break;
    }
    // CR LF (Windows), LF, or CR alone (what Excel for Mac saves): every one a line end.
    std::string lf;
    lf.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            lf += text[i];
        else if (i + 1 == text.size() || text[i + 1] != '\n')
            lf += '\n';
    }
    return lf;
}

CsvEncoding csvEncoding(std::string_view file)
{
    bool multibyte = false;
    bool faults = false;
    for (std::size_t i = 0; i < file.size();) {
        const std::size_t length = utf8Length(file, i);
        multibyte = multibyte || length > 1;
        faults = faults || length == 0;
        i += std::max<std::size_t>(length, 1);
    }
    if (!faults)
        return CsvEncoding::Utf8;
    return multibyte ? CsvEncoding::Utf8WithFaults : CsvEncoding::Windows1252;
}

char csvSeparator(std::string_view utf8)
{
    std::size_t looked = 0;
    char separator = ';';
    bool commaSeen = false;
    walkLines(utf8, [&](std::size_t, const LineFacts& facts) {
        if (facts.semicolons > 0) {
            separator = ';';
            commaSeen = false;
            return false;
        }
        if (facts.commas > 0)
            commaSeen = true;
        if (facts.semicolons + facts.commas > 0)
            ++looked;
        return looked < linesLookedAt;
    });
    return commaSeen ? ',' : separator;
}

std::optional<std::size_t> csvMixedRow(std::string_view utf8, char separator)
{
    std::optional<std::size_t> mixed;
    walkLines(utf8, [&](std::size_t row, const LineFacts& facts) {
        // Two or more: one comma in a line of one column is as likely a text's as a separator.
        const bool other = separator == ';' ? facts.semicolons == 0 && facts.separatingCommas >= 2
                                            : facts.commas == 0 && facts.semicolons >= 2;
        if (other)
            mixed = row;
        return !other;
    });
    return mixed;
}

std::string readCsv(std::string_view file)
{
    if (file.find('\0') != std::string_view::npos)
        return AnswerWriter::refusal(refusal::damaged);
    try {
        const std::string text = csvText(file);
        if (endsInsideQuotes(text))
            return AnswerWriter::refusal(refusal::damaged);
        const char separator = csvSeparator(text);
        if (const std::optional<std::size_t> row = csvMixedRow(text, separator))
            return AnswerWriter::refusal(refusal::separators, {AnswerWriter::numberField(*row)});
        SheetCells cells;
        const std::size_t sheet = cells.addSheet(csvSheetName);
        splitFields(text, separator, cells, sheet);
        return cells.answer(text.size());
    } catch (const LimitReached& reached) {
        return reached.refusal;
    } catch (const std::bad_alloc&) {
        return AnswerWriter::refusal(refusal::size, {AnswerWriter::numberField(0)});
    } catch (...) {
        return AnswerWriter::refusal(refusal::damaged);
    }
}

} // namespace lector
