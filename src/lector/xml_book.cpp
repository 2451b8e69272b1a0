#include "lector/xml_book.h"

#include "lector/answer_writer.h"
#include "lector/protocol.h"
#include "lector/sheet_cells.h"
#include "lector/zip_package.h"

#include <QDir>
#include <QHash>
#include <QXmlStreamReader>
#include <charconv>
#include <new>
#include <vector>

namespace lector
{

namespace
{

// A part missing, malformed or not as its format wants it.
struct Damaged {
};

QByteArray bytesOf(std::string_view file)
{
    return QByteArray::fromRawData(file.data(), qsizetype(file.size()));
}

void failOn(const QXmlStreamReader& xml)
{
    if (xml.hasError())
        throw Damaged{};
}

// A number as the formats write it ("12", "9.5", "1E-3"), read without allocating: a sheet
// holds hundreds of thousands of them.
double numberOf(QStringView text)
{
    text = text.trimmed();
    char digits[64];
    if (text.isEmpty() || text.size() >= qsizetype(sizeof digits))
        throw Damaged{};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0x7F)
            throw Damaged{};
        digits[i] = char(c);
    }
    double value = 0;
    const auto parsed = std::from_chars(digits, digits + text.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != digits + text.size())
        throw Damaged{};
    return value;
}

// "2024-03-01T00:00:00" as "2024-03-01", a time of day kept after a blank.
std::string dateText(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QStringLiteral("T00:00:00")))
        text.chop(9);
    text.replace(u'T', u' ');
    return text.toStdString();
}

std::int64_t wholeAttribute(const QXmlStreamAttributes& attributes, QStringView name, std::int64_t absent)
{
    for (const QXmlStreamAttribute& attribute : attributes)
        if (attribute.name() == name) {
            bool ok = false;
            const qint64 value = attribute.value().toLongLong(&ok);
            if (!ok)
                throw Damaged{};
            return value;
        }
    return absent;
}

// A part's XML. No writer of workbooks declares a document type in one: a declaration would bring
// entities, whose text the reader cannot fetch (an external entity would read as a blank cell)
// or which grow beyond measure. Such a part is damage.
std::optional<QByteArray> xmlPart(ZipPackage& package, const QString& name)
{
    std::optional<QByteArray> bytes = package.part(name);
    if (!bytes)
        return bytes;
    QXmlStreamReader prolog(*bytes);
    while (!prolog.atEnd() && !prolog.hasError()) {
        prolog.readNext();
        if (prolog.isDTD() || prolog.isEntityReference())
            throw Damaged{};
        if (prolog.isStartElement())
            break;
    }
    return bytes;
}

QString attribute(const QXmlStreamAttributes& attributes, QStringView name)
{
    for (const QXmlStreamAttribute& attribute : attributes)
        if (attribute.name() == name)
            return attribute.value().toString();
    return {};
}

// ---- .xlsx

struct Relationship {
    QString type;
    QString target; // the part's name in the package
};

// "worksheets/sheet1.xml" from "xl/" is "xl/worksheets/sheet1.xml"; "/xl/worksheets/sheet1.xml"
// is the same part named from the root, as some writers name it. A name that leads out of the
// package ("../../x.xml") names no part of it: damage, never an empty sheet.
QString resolvePart(const QString& folder, const QString& target)
{
    const QString path = QDir::cleanPath(target.startsWith(u'/') ? target.mid(1) : folder + target);
    if (path == u".." || path.startsWith(u"../") || path.startsWith(u'/'))
        throw Damaged{};
    return path;
}

QString folderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString relationshipsOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

QHash<QString, Relationship> relationships(ZipPackage& package, const QString& part)
{
    QHash<QString, Relationship> found;
    const std::optional<QByteArray> bytes = xmlPart(package, relationshipsOf(part));
    if (!bytes)
        return found;
    QXmlStreamReader xml(*bytes);
    const QString folder = folderOf(part);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"Relationship") {
            const QXmlStreamAttributes attributes = xml.attributes();
            if (attribute(attributes, u"TargetMode") != u"External")
                found.insert(
                    attribute(attributes, u"Id"),
                    {attribute(attributes, u"Type"), resolvePart(folder, attribute(attributes, u"Target"))});
        }
    }
    failOn(xml);
    return found;
}

const Relationship* ofType(const QHash<QString, Relationship>& all, QStringView typeEnd)
{
    for (const Relationship& relationship : all)
        if (relationship.type.endsWith(typeEnd))
            return &relationship;
    return nullptr;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The text with its escapes undone: Office writes a character XML cannot hold (a control
// character, or a "_x" that would read as one) as "_x" and four hexadecimal digits and "_":
// "_x000D_" is a carriage return, "_x005F_" the "_" of a literal "_x0041_".
QString unescaped(const QString& text)
{
    if (!text.contains(u"_x"))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            int code = 0;
            bool hex = true;
            for (qsizetype k = 2; k < 6 && hex; ++k) {
                const int digit = hexDigit(text[i + k]);
                hex = digit >= 0;
                code = code * 16 + digit;
            }
            if (hex) {
                out += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The characters of a string (<si> or <is>), its phonetic runs left out; the reader stands on
// its start and is left on its end.
QString stringItem(QXmlStreamReader& xml)
{
    QString text;
    const QString element = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == element)
            break;
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"t")
            text += xml.readElementText();
        else if (xml.name() == u"rPh")
            xml.skipCurrentElement();
    }
    failOn(xml);
    return unescaped(text);
}

void sharedStrings(ZipPackage& package, const QString& part, SheetCells& cells)
{
    // A workbook whose sheets use no text may name the part without writing it.
    const std::optional<QByteArray> bytes = xmlPart(package, part);
    if (!bytes)
        return;
    QXmlStreamReader xml(*bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            cells.addSharedString(stringItem(xml).toStdString());
    }
    failOn(xml);
}

void xlsxCell(QXmlStreamReader& xml, SheetCells& cells, std::size_t sheet, std::int64_t row,
              std::int64_t column, QStringView type)
{
    QString value;
    bool hasValue = false;
    QString inlineText;
    bool hasInline = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"c")
            break;
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"v") {
            value = xml.readElementText();
            hasValue = true;
        } else if (xml.name() == u"is") {
            inlineText = stringItem(xml);
            hasInline = true;
        } else {
            xml.skipCurrentElement(); // the formula: its value is the one saved beside it
        }
    }
    failOn(xml);
    if (type == u"inlineStr") {
        if (hasInline)
            cells.text(sheet, row, column, inlineText.toStdString());
        return;
    }
    if (!hasValue)
        return; // a formula never computed, or a cell with a format only
    if (type == u"s") {
        bool ok = false;
        const uint index = value.trimmed().toUInt(&ok);
        if (!ok)
            throw Damaged{};
        cells.sharedText(sheet, row, column, index);
    } else if (type == u"str" || type == u"e") {
        cells.text(sheet, row, column, value.toStdString());
    } else if (type == u"d") {
        cells.text(sheet, row, column, dateText(value));
    } else if (type == u"b") {
        cells.number(sheet, row, column, numberOf(value) != 0 ? 1 : 0);
    } else {
        cells.number(sheet, row, column, numberOf(value));
    }
}

void xlsxSheet(ZipPackage& package, const QString& part, SheetCells& cells, std::size_t sheet)
{
    const std::optional<QByteArray> bytes = xmlPart(package, part);
    if (!bytes)
        throw Damaged{};
    // A cell takes some 25 bytes of the part at the least ("<c r="B5"><v>1</v></c>").
    cells.reserve(sheet, std::size_t(bytes->size()) / 25);
    QXmlStreamReader xml(*bytes);
    std::int64_t row = -1;
    std::int64_t column = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row") {
            // Rows and cells without their place follow the one before.
            const std::int64_t r = wholeAttribute(xml.attributes(), u"r", row + 2);
            if (r < 1 || r <= row)
                throw Damaged{};
            row = r - 1;
            column = -1;
        } else if (xml.name() == u"c") {
            const QXmlStreamAttributes attributes = xml.attributes();
            const QStringView reference = attributes.value(QLatin1String("r"));
            if (!reference.isEmpty()) {
                const auto place = cellReference(reference);
                // A cell belongs to its row: one that names another would be moved or lost.
                if (!place || place->first != row)
                    throw Damaged{};
                column = place->second;
            } else {
                column = column + 1;
                if (row < 0)
                    throw Damaged{};
            }
            xlsxCell(xml, cells, sheet, row, column, attributes.value(QLatin1String("t")));
        }
    }
    failOn(xml);
}

std::string xlsx(ZipPackage& package)
{
    // The package names its workbook part; most call it xl/workbook.xml.
    const QHash<QString, Relationship> root = relationships(package, QString());
    const Relationship* document = ofType(root, u"/officeDocument");
    const QString workbook = document != nullptr ? document->target : QStringLiteral("xl/workbook.xml");
    const std::optional<QByteArray> bytes = xmlPart(package, workbook);
    if (!bytes)
        throw Damaged{};
    const QHash<QString, Relationship> parts = relationships(package, workbook);

    SheetCells cells;
    if (const Relationship* strings = ofType(parts, u"/sharedStrings"))
        sharedStrings(package, strings->target, cells);

    QXmlStreamReader xml(*bytes);
    std::vector<std::pair<QString, Relationship>> sheets; // name, part
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"sheet")
            continue;
        QString name;
        QString id;
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            if (attribute.name() == u"name" && attribute.namespaceUri().isEmpty())
                name = attribute.value().toString();
            else if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                id = attribute.value().toString();
        }
        const auto found = parts.constFind(id);
        if (found == parts.cend())
            throw Damaged{};
        sheets.emplace_back(name, *found);
    }
    failOn(xml);
    if (sheets.empty())
        throw Damaged{};
    for (const auto& [name, relationship] : sheets) {
        const std::size_t sheet = cells.addSheet(name.toStdString());
        // A chart sheet or a dialog sheet has no cells; a worksheet that is missing is damage.
        if (relationship.type.endsWith(u"/worksheet") ||
            relationship.target.contains(QStringLiteral("/worksheets/")) || package.has(relationship.target))
            xlsxSheet(package, relationship.target, cells, sheet);
    }
    return cells.answer(std::size_t(bytes->size()));
}

// ---- .ods

// The text of a paragraph: its characters, text:s as its blanks, tabs and line breaks as such.
void paragraphText(QXmlStreamReader& xml, QString& text)
{
    const QString element = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == element)
            return;
        if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isStartElement()) {
            if (xml.name() == u"s") {
                const std::int64_t blanks = wholeAttribute(xml.attributes(), u"c", 1);
                text += QString(qsizetype(std::clamp<std::int64_t>(blanks, 0, maxCellCharacters)), u' ');
                xml.skipCurrentElement();
            } else if (xml.name() == u"tab") {
                text += u'\t';
                xml.skipCurrentElement();
            } else if (xml.name() == u"line-break") {
                text += u'\n';
                xml.skipCurrentElement();
            } else if (xml.name() == u"annotation") {
                xml.skipCurrentElement(); // a comment on the cell is not its value
            } else {
                paragraphText(xml, text);
            }
        }
    }
}

struct OdsValue {
    enum class Kind { Empty, Number, Text } kind = Kind::Empty;
    double number = 0;
    std::string text;
};

OdsValue odsCell(QXmlStreamReader& xml)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QString type = attribute(attributes, u"value-type");
    OdsValue value;
    QString paragraphs;
    bool anyParagraph = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && (xml.name() == u"table-cell" || xml.name() == u"covered-table-cell"))
            break;
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"p") {
            if (anyParagraph)
                paragraphs += u'\n';
            anyParagraph = true;
            paragraphText(xml, paragraphs);
        } else {
            xml.skipCurrentElement();
        }
    }
    failOn(xml);
    if (type == u"float" || type == u"percentage" || type == u"currency") {
        value.kind = OdsValue::Kind::Number;
        value.number = numberOf(attribute(attributes, u"value"));
    } else if (type == u"boolean") {
        value.kind = OdsValue::Kind::Number;
        value.number = attribute(attributes, u"boolean-value") == u"true" ? 1 : 0;
    } else if (type == u"date") {
        value.kind = OdsValue::Kind::Text;
        value.text = dateText(attribute(attributes, u"date-value"));
    } else if (type == u"string") {
        // A formula's text result may be saved as the attribute rather than as paragraphs.
        const QString saved = attribute(attributes, u"string-value");
        value.kind = OdsValue::Kind::Text;
        value.text = (saved.isEmpty() ? paragraphs : saved).toStdString();
    } else if (anyParagraph) {
        // Times, and cells without a type: as they are shown.
        value.kind = OdsValue::Kind::Text;
        value.text = paragraphs.toStdString();
    }
    if (value.kind == OdsValue::Kind::Text && value.text.empty())
        value.kind = OdsValue::Kind::Empty;
    return value;
}

// The rows of one table; the reader stands on its start and is left on its end. Repeated rows
// and cells are written once for each repetition, unless they are empty: a sheet saved by Calc
// ends with a million empty rows in one element.
void odsTable(QXmlStreamReader& xml, SheetCells& cells, std::size_t sheet)
{
    std::int64_t row = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"table")
            break;
        if (!xml.isStartElement())
            continue;
        if (xml.name() != u"table-row") {
            // Row groups and header rows hold rows; columns, shapes and the rest none.
            if (xml.name() != u"table-row-group" && xml.name() != u"table-header-rows" &&
                xml.name() != u"table-rows")
                xml.skipCurrentElement();
            continue;
        }
        const std::int64_t rowRepeats =
            std::max<std::int64_t>(wholeAttribute(xml.attributes(), u"number-rows-repeated", 1), 1);
        struct Run {
            std::int64_t column;
            std::int64_t count;
            OdsValue value;
        };
        std::vector<Run> runs;
        std::int64_t column = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"table-row")
                break;
            if (!xml.isStartElement())
                continue;
            if (xml.name() != u"table-cell" && xml.name() != u"covered-table-cell") {
                xml.skipCurrentElement();
                continue;
            }
            const std::int64_t repeats =
                std::max<std::int64_t>(wholeAttribute(xml.attributes(), u"number-columns-repeated", 1), 1);
            OdsValue value = odsCell(xml);
            if (value.kind != OdsValue::Kind::Empty)
                runs.push_back({column, repeats, std::move(value)});
            column += std::min<std::int64_t>(repeats, maxColumns + 1);
        }
        failOn(xml);
        if (!runs.empty())
            for (std::int64_t r = 0; r < rowRepeats; ++r)
                for (const Run& run : runs)
                    for (std::int64_t c = 0; c < run.count; ++c) {
                        if (run.value.kind == OdsValue::Kind::Number)
                            cells.number(sheet, row + r, run.column + c, run.value.number);
                        else
                            cells.text(sheet, row + r, run.column + c, run.value.text);
                    }
        row += std::min<std::int64_t>(rowRepeats, maxRows + 1);
    }
    failOn(xml);
}

std::string ods(ZipPackage& package)
{
    const std::optional<QByteArray> content = xmlPart(package, QStringLiteral("content.xml"));
    if (!content)
        throw Damaged{};
    SheetCells cells;
    QXmlStreamReader xml(*content);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"table" &&
            xml.namespaceUri() == u"urn:oasis:names:tc:opendocument:xmlns:table:1.0") {
            const std::size_t sheet = cells.addSheet(attribute(xml.attributes(), u"name").toStdString());
            odsTable(xml, cells, sheet);
        }
    }
    failOn(xml);
    if (cells.sheetCount() == 0)
        throw Damaged{};
    return cells.answer(std::size_t(content->size()));
}

template <typename Read> std::string readPackage(std::string_view file, Read read)
{
    try {
        const QByteArray bytes = bytesOf(file);
        ZipPackage package(bytes);
        if (!package.isOpen())
            return AnswerWriter::refusal(refusal::damaged);
        return read(package);
    } catch (const LimitReached& reached) {
        return reached.refusal;
    } catch (const PartTooLarge&) {
        return AnswerWriter::refusal(refusal::size, {AnswerWriter::numberField(0)});
    } catch (const std::bad_alloc&) {
        return AnswerWriter::refusal(refusal::size, {AnswerWriter::numberField(0)});
    } catch (const Damaged&) {
        return AnswerWriter::refusal(refusal::damaged);
    }
}

} // namespace

std::optional<std::pair<std::int64_t, std::int64_t>> cellReference(QStringView text)
{
    char ascii[32];
    if (text.size() >= qsizetype(sizeof ascii))
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i)
        ascii[i] = text[i].unicode() < 0x80 ? char(text[i].unicode()) : '?';
    return cellReference(std::string_view(ascii, std::size_t(text.size())));
}

std::optional<std::pair<std::int64_t, std::int64_t>> cellReference(std::string_view reference)
{
    std::size_t i = 0;
    if (i < reference.size() && reference[i] == '$')
        ++i;
    std::int64_t column = 0;
    const std::size_t letters = i;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' && column <= maxColumns; ++i)
        column = column * 26 + (reference[i] - 'A' + 1);
    if (i == letters)
        return std::nullopt;
    if (i < reference.size() && reference[i] == '$')
        ++i;
    std::int64_t row = 0;
    const std::size_t digits = i;
    for (; i < reference.size() && reference[i] >= '0' && reference[i] <= '9' && row <= maxRows; ++i)
        row = row * 10 + (reference[i] - '0');
    if (i == digits || i != reference.size() || row < 1 || row > maxRows || column > maxColumns)
        return std::nullopt;
    return std::make_pair(row - 1, column - 1);
}

std::string readXlsx(std::string_view file)
{
    return readPackage(file, xlsx);
}

std::string readOds(std::string_view file)
{
    return readPackage(file, ods);
}

} // namespace lector
