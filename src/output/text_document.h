#pragma once

// The TXT document of a listing (GrabarDocumento): its file name, its lines, and its bytes,
// one byte a character in Windows-1252 with CR LF line ends, as the organisers' other programs
// read them.

#include "base/error.h"
#include "rules/listings/listing.h"

#include <QByteArray>
#include <QStringList>
#include <memory>
#include <vector>

class QSaveFile;

namespace listings
{

// A document, printout or PDF that could not be written. The message is a complete Spanish
// sentence for the user.
class OutputError : public base::Error
{
public:
    explicit OutputError(const QString& message) : base::Error(message, Kind::Storage) {}
};

// "Grupo A Machos.txt", "sport DCategC.txt", "Clasificación Por Provincia.txt".
QString documentFileName(const Listing& listing);

// A title centred in a line of 95: (95 - its length) / 2 blanks before it, halves to the even
// number (20 characters get 38 blanks, 21 get 37).
QString centredTitle(const QString& title);

// The row lines as the document writes them (88 and 45 characters).
QString documentGroupDRow(const GroupDRow& row);
QString documentProvinceRow(const ProvinceRow& row);

QStringList documentLines(const Listing& listing);

// Windows-1252; a character the code page lacks becomes "?".
QByteArray toWindows1252(const QString& text);

// The whole document: every line in Windows-1252 followed by CR LF.
QByteArray documentBytes(const Listing& listing);

// Where the document path box sends a document: its text immediately followed by the file name
// (a folder is typed with its final "\"); an empty box or "A:\" gives "A:". Drive letters are
// resolved as drives::resolve does.
QString documentPath(const QString& typed, const QString& fileName, const QString& programFolder);

// Writes the bytes to the path, replacing a file of that name only once the whole document is
// written. Raises OutputError, naming the file and why, when it cannot.
void writeFile(const QString& path, const QByteArray& bytes);

// Documents written as one set into a folder (the listings, the judges' workbooks): each is
// written beside its final name under a temporary one, and only when all are written do they
// take their names. A failure while writing (a full disk) leaves the folder's earlier documents
// as they were, never some new and some old.
class DocumentSet
{
public:
    // Raises OutputError when the folder does not exist.
    explicit DocumentSet(const QString& folder);
    ~DocumentSet(); // documents never committed leave nothing behind
    DocumentSet(const DocumentSet&) = delete;
    DocumentSet& operator=(const DocumentSet&) = delete;

    // Writes the document under a temporary name. Raises OutputError, naming the document and
    // why, when it cannot.
    void add(const QString& fileName, const QByteArray& bytes);
    // Gives every document its name, replacing a document of that name; returns how many.
    // Raises OutputError for one that cannot take its name (the renames cannot fill a disk).
    int commit();

private:
    QString m_folder;
    std::vector<std::unique_ptr<QSaveFile>> m_files;
};

} // namespace listings
