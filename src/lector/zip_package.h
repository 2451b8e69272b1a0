#pragma once

// The parts of a ZIP package (.xlsx and .ods workbooks are such packages of XML parts), read with
// QuaZip from the bytes of the file. A part is read whole, within a limit on its unpacked size, so
// that a small file that unpacks to gigabytes is refused rather than exhausting the reader.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QBuffer;
class QuaZip;

namespace lector
{

// The largest part read: a sheet of 65,536 rows of 14 columns takes some 30 MB of XML.
inline constexpr qint64 maxPartBytes = 256ll * 1024 * 1024;

// A part larger than maxPartBytes.
struct PartTooLarge {
};

class ZipPackage
{
public:
    // The package in bytes, which must outlive it.
    explicit ZipPackage(const QByteArray& bytes);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // Whether the bytes are a ZIP archive whose directory could be read.
    bool isOpen() const { return m_open; }
    bool has(const QString& name) const;

    // The unpacked bytes of the part named name (without a leading "/"), or nothing when there is
    // no such part or it cannot be unpacked whole. Raises PartTooLarge beyond the limit.
    std::optional<QByteArray> part(const QString& name);

private:
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QuaZip> m_zip;
    bool m_open = false;
};

} // namespace lector
