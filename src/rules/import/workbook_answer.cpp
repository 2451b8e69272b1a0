#include "rules/import/workbook_answer.h"

#include "lector/protocol.h"
#include "lector/utf8.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace imports
{

namespace
{

using Kind = ReaderRefusal::Kind;

// Reads the answer front to back; every read checks what it finds.
class Cursor
{
public:
    explicit Cursor(QByteArrayView bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_at == m_bytes.size(); }

    char peek() const
    {
        if (atEnd())
            throw AnswerError("the answer ends early");
        return m_bytes[m_at];
    }

    void expect(char c)
    {
        if (peek() != c)
            throw AnswerError("unexpected byte");
        ++m_at;
    }

    void expect(std::string_view text)
    {
        for (const char c : text)
            expect(c);
    }

    // Decimal digits, without leading zeros, at most max.
    quint64 count(quint64 max)
    {
        const qsizetype start = m_at;
        quint64 value = 0;
        while (!atEnd() && m_bytes[m_at] >= '0' && m_bytes[m_at] <= '9') {
            if (m_at - start == 20)
                throw AnswerError("count too long");
            const quint64 digit = quint64(m_bytes[m_at] - '0');
            if (digit > max || value > (max - digit) / 10)
                throw AnswerError("count beyond its limit");
            value = value * 10 + digit;
            ++m_at;
        }
        if (m_at == start || (m_bytes[start] == '0' && m_at - start > 1))
            throw AnswerError("not a count");
        return value;
    }

    // A length, ":" and that many bytes.
    QByteArrayView bytes(quint64 maxBytes)
    {
        const quint64 length = count(maxBytes);
        expect(':');
        if (quint64(m_bytes.size() - m_at) < length)
            throw AnswerError("text cut short");
        const QByteArrayView text = m_bytes.sliced(m_at, qsizetype(length));
        m_at += qsizetype(length);
        return text;
    }

    // Well-formed UTF-8 of at most maxCharacters UTF-16 units.
    QString text(quint64 maxBytes, quint64 maxCharacters)
    {
        const QByteArrayView utf8 = bytes(maxBytes);
        const std::string_view view(utf8.data(), std::size_t(utf8.size()));
        if (!lector::isUtf8(view))
            throw AnswerError("text not in UTF-8");
        if (lector::utf16Length(view) > maxCharacters)
            throw AnswerError("text too long");
        // A byte order mark is a character of the text like any other, which fromUtf8 drops.
        qsizetype marks = 0;
        while (utf8.sliced(3 * marks).startsWith("\xEF\xBB\xBF"))
            ++marks;
        return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(utf8.sliced(3 * marks));
    }

    // A number in the reader's shortest form: digits, sign, point, exponent, or inf and nan.
    double number()
    {
        const qsizetype start = m_at;
        while (!atEnd() && m_bytes[m_at] != '\n') {
            const char c = m_bytes[m_at];
            const bool allowed = (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' ||
                                 c == 'i' || c == 'n' || c == 'f' || c == 'a';
            if (!allowed || m_at - start == qsizetype(lector::maxNumberBytes))
                throw AnswerError("not a number");
            ++m_at;
        }
        const char* first = m_bytes.data() + start;
        const char* last = m_bytes.data() + m_at;
        double value = 0;
        const auto parsed = std::from_chars(first, last, value);
        if (first == last || parsed.ec != std::errc() || parsed.ptr != last)
            throw AnswerError("not a number");
        return value;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

void header(Cursor& in)
{
    in.expect(lector::magic);
    in.expect(' ');
    const quint64 version = in.count(1000000);
    in.expect('\n');
    if (version != quint64(lector::version))
        throw AnswerError("a reader of another version", true);
}

ReaderRefusal refusal(Cursor& in)
{
    in.expect(lector::refusalTag);
    in.expect(' ');
    // The code runs up to the first field or the end of the record.
    std::string word;
    while (in.peek() != '\n' && in.peek() != ' ') {
        if (word.size() == 16)
            throw AnswerError("unknown refusal");
        word += in.peek();
        in.expect(in.peek());
    }
    auto field = [&] { in.expect(' '); };
    ReaderRefusal result;
    if (word == lector::refusal::format) {
        result.kind = Kind::Format;
    } else if (word == lector::refusal::password) {
        result.kind = Kind::Password;
    } else if (word == lector::refusal::damaged) {
        result.kind = Kind::Damaged;
    } else if (word == lector::refusal::dimensions) {
        result.kind = Kind::Dimensions;
        field();
        result.sheet = in.text(lector::maxNameBytes, lector::maxNameCharacters);
        field();
        result.numbers[0] = in.count(0xFFFFFFFFull);
        field();
        result.numbers[1] = in.count(0xFFFFFFFFull);
    } else if (word == lector::refusal::size) {
        result.kind = Kind::Size;
        field();
        result.numbers[0] = in.count(0xFFFFFFFFFFFFull);
    } else if (word == lector::refusal::text) {
        result.kind = Kind::Text;
        field();
        result.sheet = in.text(lector::maxNameBytes, lector::maxNameCharacters);
        field();
        result.numbers[0] = in.count(lector::maxRows);
        field();
        result.numbers[1] = in.count(lector::maxColumns);
        field();
        result.numbers[2] = in.count(0xFFFFFFFFull);
    } else if (word == lector::refusal::rows) {
        result.kind = Kind::Rows;
        field();
        result.sheet = in.text(lector::maxNameBytes, lector::maxNameCharacters);
        field();
        result.numbers[0] = in.count(lector::maxRows + 1);
    } else if (word == lector::refusal::separators) {
        result.kind = Kind::Separators;
        field();
        result.numbers[0] = in.count(0xFFFFFFFFull);
    } else if (word == lector::refusal::empty) {
        result.kind = Kind::Empty;
    } else {
        throw AnswerError("unknown refusal");
    }
    in.expect('\n');
    in.expect(lector::endTag);
    in.expect(" 0 0\n");
    return result;
}

// The cells the end line announces, read loosely (it is checked when reached): room is made for
// them at once, within what the bytes can hold (a cell takes at least 8) and at most a million.
quint64 announcedCells(QByteArrayView bytes)
{
    if (bytes.size() < 2)
        return 0;
    const QByteArrayView end = bytes.sliced(bytes.lastIndexOf('\n', bytes.size() - 2) + 1);
    const qsizetype blank = end.lastIndexOf(' ');
    if (!end.startsWith("F ") || blank < 0)
        return 0;
    bool ok = false;
    const quint64 cells = end.sliced(blank + 1).trimmed().toULongLong(&ok);
    return ok ? std::min<quint64>({cells, quint64(bytes.size()) / 8, 1000000}) : 0;
}

void cells(Cursor& in, SheetCells& sheet, quint64& total)
{
    quint64 last = 0;
    while (in.peek() == lector::numberTag || in.peek() == lector::textTag) {
        const char tag = in.peek();
        in.expect(tag);
        in.expect(' ');
        const quint64 row = in.count(quint64(sheet.rows));
        in.expect(' ');
        const quint64 column = in.count(quint64(sheet.columns));
        in.expect(' ');
        if (row == 0 || column == 0)
            throw AnswerError("cell outside its sheet");
        const quint64 key = SheetCells::cellKey(int(row), int(column));
        if (key <= last)
            throw AnswerError("cells out of order");
        last = key;
        if (++total > lector::maxCells)
            throw AnswerError("too many cells");
        if (tag == lector::numberTag)
            sheet.cells.emplace_back(key, Cell::ofNumber(in.number()));
        else
            sheet.cells.emplace_back(key,
                                     Cell::ofText(in.text(lector::maxCellBytes, lector::maxCellCharacters)));
        in.expect('\n');
    }
}

} // namespace

ReaderAnswer decodeAnswer(QByteArrayView bytes)
{
    if (quint64(bytes.size()) > lector::maxAnswerBytes)
        throw AnswerError("answer too large");
    Cursor in(bytes);
    header(in);
    ReaderAnswer answer;
    if (in.peek() == lector::refusalTag) {
        answer.refusal = refusal(in);
    } else {
        quint64 total = 0;
        const quint64 announced = announcedCells(bytes);
        while (in.peek() == lector::sheetTag) {
            if (answer.sheets.size() == lector::maxSheets)
                throw AnswerError("too many sheets");
            in.expect(lector::sheetTag);
            in.expect(' ');
            SheetCells sheet;
            sheet.name = in.text(lector::maxNameBytes, lector::maxNameCharacters);
            in.expect(' ');
            sheet.rows = int(in.count(lector::maxRows));
            in.expect(' ');
            sheet.columns = int(in.count(lector::maxColumns));
            in.expect('\n');
            sheet.cells.reserve(std::size_t(announced > total ? announced - total : 0));
            cells(in, sheet, total);
            answer.sheets.push_back(std::move(sheet));
        }
        in.expect(lector::endTag);
        in.expect(' ');
        const quint64 sheets = in.count(lector::maxSheets);
        in.expect(' ');
        const quint64 cellCount = in.count(lector::maxCells);
        in.expect('\n');
        if (sheets != answer.sheets.size() || cellCount != total)
            throw AnswerError("counts that do not match");
    }
    if (!in.atEnd())
        throw AnswerError("bytes after the end");
    return answer;
}

} // namespace imports
