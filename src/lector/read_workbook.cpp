#include "lector/read_workbook.h"

#include "lector/answer_writer.h"
#include "lector/compound_file.h"
#include "lector/csv_book.h"
#include "lector/protocol.h"
#include "lector/xls_book.h"
#include "lector/xml_book.h"
#include "lector/zip_package.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
namespace lector
{

namespace
{

bool startsWith(std::string_view file, std::string_view prefix)
{
    return file.substr(0, prefix.size()) == prefix;
}

std::string lowerExtension(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

constexpr std::string_view openDocumentSpreadsheet = "application/vnd.oasis.opendocument.spreadsheet";

// An OpenDocument package names its type in its first entry, "mimetype", stored uncompressed.
bool isOpenDocumentSpreadsheet(std::string_view file)
{
    constexpr std::size_t nameAt = 30;
    constexpr std::string_view name = "mimetype";
    return file.size() >= nameAt + name.size() + openDocumentSpreadsheet.size() &&
           file.substr(nameAt, name.size()) == name &&
           file.find(openDocumentSpreadsheet, nameAt + name.size()) ==
               nameAt + name.size() +
                   (std::uint16_t(static_cast<unsigned char>(file[28]) |
                                  (static_cast<unsigned char>(file[29]) << 8)));
}

} // namespace

WorkbookFormat workbookFormat(const std::string& path, std::string_view file)
{
    static constexpr char compound[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (file.empty())
        return WorkbookFormat::Empty;
    if (startsWith(file, std::string_view(compound, 8)))
        // Office keeps a workbook saved with a password in a compound file of its own.
        return compoundStream(file, "EncryptedPackage") ? WorkbookFormat::Encrypted : WorkbookFormat::Xls;
    const std::string extension = lowerExtension(path);
    if (startsWith(file, "PK\x03\x04")) {
        if (isOpenDocumentSpreadsheet(file))
            return WorkbookFormat::Ods;
        const QByteArray bytes = QByteArray::fromRawData(file.data(), qsizetype(file.size()));
        ZipPackage package(bytes);
        // A package too damaged for its directory to be read.
        if (!package.isOpen())
            return WorkbookFormat::Damaged;
        // Some programs pack the "mimetype" entry, or put it later, against the format's rule.
        std::optional<QByteArray> mimetype;
        try {
            mimetype = package.part(QStringLiteral("mimetype"));
        } catch (const PartTooLarge&) {
            return WorkbookFormat::Damaged;
        }
        if (mimetype && mimetype->trimmed() == QByteArray(openDocumentSpreadsheet.data(),
                                                          qsizetype(openDocumentSpreadsheet.size())))
            return WorkbookFormat::Ods;
        // Every Office Open XML package lists the types of its parts.
        return package.has(QStringLiteral("[Content_Types].xml")) ? WorkbookFormat::Xlsx
                                                                  : WorkbookFormat::Unknown;
    }
    if (extension == ".csv" || extension == ".txt")
        return WorkbookFormat::Csv;
    return WorkbookFormat::Unknown;
}

std::string readWorkbook(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return AnswerWriter::refusal(refusal::format);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return AnswerWriter::refusal(refusal::format);
    if (std::uint64_t(size) > maxFileBytes)
        return AnswerWriter::refusal(refusal::size, {AnswerWriter::numberField(0)});
    in.seekg(0, std::ios::beg);
    std::string file(std::size_t(size), '\0');
    if (!in.read(file.data(), size))
        return AnswerWriter::refusal(refusal::format);
    switch (workbookFormat(path, file)) {
    case WorkbookFormat::Empty:
        return AnswerWriter::refusal(refusal::empty);
    case WorkbookFormat::Encrypted:
        return AnswerWriter::refusal(refusal::password);
    case WorkbookFormat::Xls:
        return readXls(path, file);
    case WorkbookFormat::Xlsx:
        return readXlsx(file);
    case WorkbookFormat::Ods:
        return readOds(file);
    case WorkbookFormat::Csv:
        return readCsv(file);
    case WorkbookFormat::Damaged:
        return AnswerWriter::refusal(refusal::damaged);
    case WorkbookFormat::Unknown:
        break;
    }
    return AnswerWriter::refusal(refusal::format);
}

} // namespace lector
