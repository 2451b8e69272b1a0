#include "output/text_document.h"

#include "base/drives.h"
#include "base/formats.h"
#include "output/printout.h"
#include "rules/records/closed_state.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

namespace listings
{

namespace
{

constexpr int lineWidth = 95;

QString blanks(int n)
{
    return QString(n, u' ');
}

QString blankLine()
{
    return blanks(lineWidth);
}

// The characters 0x80 to 0x9F of Windows-1252; 0 where the code page has none.
constexpr char16_t windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char windows1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (windows1252High[i] != 0 && windows1252High[i] == c)
            return char(0x80 + i);
    return '?';
}

// Why a document could not be written, in the user's words. The system's own text is English
// (or "Unknown error"), so the usual causes are recognised from the disk and the folder.
QString writeFailureCause(const QFileInfo& target, qint64 size, const QString& systemText)
{
    const QStorageInfo disk(target.absolutePath());
    const qint64 block = disk.isValid() && disk.blockSize() > 0 ? disk.blockSize() : 4096;
    if (disk.isValid() && disk.isReadOnly())
        return QStringLiteral("el disco es de solo lectura");
    if (disk.isValid() && disk.bytesAvailable() < (size / block + 1) * block)
        return QStringLiteral("no queda espacio en el disco");
    if (!QFileInfo(target.absolutePath()).isWritable())
        return QStringLiteral("no se puede escribir en esa carpeta");
    if (target.exists() && !target.isWritable())
        return QStringLiteral("ya hay un archivo con ese nombre y no se puede cambiar");
    return QStringLiteral("el sistema no lo ha permitido (%1)").arg(systemText);
}

} // namespace

QString documentFileName(const Listing& listing)
{
    const QString subtitle = listing.titles.label3.trimmed();
    if (listing.kind == ListingKind::GroupD)
        return QStringLiteral("sport D") + QStringLiteral("Categ") + subtitle.mid(19, 1) +
               QStringLiteral(".txt");
    return subtitle + QStringLiteral(".txt");
}

QString centredTitle(const QString& title)
{
    const int twice = lineWidth - int(title.size()); // twice the blanks
    if (twice <= 0)
        return title;
    int n = twice / 2;
    if (twice % 2 != 0 && n % 2 != 0)
        ++n; // a half goes to the even number
    return blanks(n) + title;
}

QString documentGroupDRow(const GroupDRow& row)
{
    using formats::fitLeft;
    return blanks(2) + fitLeft(QString::number(row.orden), 3) + blanks(5) + fitLeft(row.jaula, 3) +
           blanks(5) + fitLeft(row.anilla, 10) + blanks(7) + fitLeft(row.conc, 2) + blanks(9) +
           fitLeft(row.coef, 6) + blanks(6) + fitLeft(row.propietario, 30);
}

QString documentProvinceRow(const ProvinceRow& row)
{
    return blanks(2) + formats::fitLeft(QString::number(row.orden), 3) + blanks(7) +
           formats::fitLeft(row.provincia.trimmed(), 25) + blanks(5) + formats::mask(row.puntos, 3);
}

QStringList documentLines(const Listing& listing)
{
    const QStringList titles = outputTitles(listing);
    QStringList lines{blankLine(), blankLine()};
    switch (listing.kind) {
    case ListingKind::Classification:
        lines << centredTitle(titles[0]) << centredTitle(titles[1]) << centredTitle(titles[2]) << blankLine();
        lines << textLines(listing.text);
        break;
    case ListingKind::GroupD:
        lines << centredTitle(titles[0]) << centredTitle(titles[1]) << centredTitle(titles[2]) << blankLine()
              << blankLine();
        lines << QStringLiteral(" Orden  Jaula      Anilla       Concursos    Coeficiente    Socio");
        for (const GroupDRow& row : listing.groupD)
            lines << documentGroupDRow(row);
        break;
    case ListingKind::Province:
        lines << centredTitle(titles[0]) << blankLine() << centredTitle(titles[1]) << blankLine()
              << blankLine();
        lines << QStringLiteral(" Orden     Provincia                     Puntos");
        for (const ProvinceRow& row : listing.provinces)
            lines << documentProvinceRow(row);
        break;
    }
    if (!listing.unranked.empty()) {
        lines << blankLine() << blankLine() << unrankedHeading() << blankLine();
        lines << QStringList(listing.unranked.begin(), listing.unranked.end());
    }
    if (!listing.sello.isEmpty())
        lines << blankLine() << records::sealLine(listing.sello);
    return lines;
}

QByteArray toWindows1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        bytes += windows1252(c);
    return bytes;
}

QByteArray documentBytes(const Listing& listing)
{
    const QStringList lines = documentLines(listing);
    QByteArray bytes;
    bytes.reserve(lines.size() * 97);
    for (const QString& line : lines) {
        bytes += toWindows1252(line);
        bytes += "\r\n";
    }
    return bytes;
}

QString documentPath(const QString& typed, const QString& fileName, const QString& programFolder)
{
    const QString path = typed.isEmpty() || typed == u"A:\\" ? QStringLiteral("A:") : typed;
    return drives::resolve(path + fileName, programFolder);
}

namespace
{

void checkFolder(const QString& folder, const QString& fileName)
{
    if (!QFileInfo(folder).isDir())
        throw OutputError(QStringLiteral("No se ha podido grabar el archivo %1: la carpeta «%2» no existe.")
                              .arg(fileName, QDir::toNativeSeparators(folder)));
}

// Writes the bytes into the save file, committed or left to be; raises OutputError, naming the
// document and why, when it cannot.
void writeInto(QSaveFile& file, const QByteArray& bytes, bool commit)
{
    const QFileInfo target(file.fileName());
    // Unbuffered: a write the disk refuses fails at the write, with its cause, rather than in the
    // final flush, whose failure the save file reports as an unknown error.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size() &&
        (!commit || file.commit()))
        return;
    const QString systemText = file.errorString();
    file.cancelWriting(); // the partial copy goes before the free space is measured
    throw OutputError(QStringLiteral("No se ha podido grabar el archivo %1 en la carpeta «%2»: %3.")
                          .arg(target.fileName(), QDir::toNativeSeparators(target.absolutePath()),
                               writeFailureCause(target, bytes.size(), systemText)));
}

} // namespace

void writeFile(const QString& path, const QByteArray& bytes)
{
    const QFileInfo target(path);
    checkFolder(target.absolutePath(), target.fileName());
    QSaveFile file(path);
    // A save file cannot replace a file in a folder where no new file can be made; write in
    // place there, as the user's rights allow.
    file.setDirectWriteFallback(true);
    writeInto(file, bytes, true);
}

DocumentSet::DocumentSet(const QString& folder) : m_folder(folder)
{
    if (!QFileInfo(folder).isDir())
        throw OutputError(QStringLiteral("La carpeta «%1» no existe.").arg(QDir::toNativeSeparators(folder)));
}

DocumentSet::~DocumentSet() = default;

void DocumentSet::add(const QString& fileName, const QByteArray& bytes)
{
    checkFolder(m_folder, fileName);
    // No writing in place here: a document half written over its old self would break the set.
    auto file = std::make_unique<QSaveFile>(QDir(m_folder).filePath(fileName));
    writeInto(*file, bytes, false);
    m_files.push_back(std::move(file));
}

int DocumentSet::commit()
{
    for (const std::unique_ptr<QSaveFile>& file : m_files)
        if (!file->commit())
            throw OutputError(
                QStringLiteral("No se ha podido dar su nombre al archivo %1 en la carpeta «%2»: %3.")
                    .arg(QFileInfo(file->fileName()).fileName(), QDir::toNativeSeparators(m_folder),
                         file->errorString()));
    const int written = int(m_files.size());
    m_files.clear();
    return written;
}

} // namespace listings
