#include "lector/zip_package.h"

#include <QBuffer>
#include <algorithm>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

namespace lector
{

ZipPackage::ZipPackage(const QByteArray& bytes)
    : m_buffer(std::make_unique<QBuffer>()), m_zip(std::make_unique<QuaZip>())
{
    m_buffer->setData(bytes);
    m_zip->setIoDevice(m_buffer.get());
    m_open = m_zip->open(QuaZip::mdUnzip);
}

ZipPackage::~ZipPackage()
{
    if (m_open)
        m_zip->close();
}

bool ZipPackage::has(const QString& name) const
{
    return m_open && m_zip->setCurrentFile(name, QuaZip::csSensitive);
}

std::optional<QByteArray> ZipPackage::part(const QString& name)
{
    if (!m_open || !m_zip->setCurrentFile(name, QuaZip::csSensitive))
        return std::nullopt;
    QuaZipFile file(m_zip.get());
    // A part encrypted by the archive itself asks for a password: it cannot be opened.
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes;
    // The size the archive declares is room made at once, never trusted as a limit, nor beyond
    // what the packed bytes can unpack to (deflate packs at most about 1,032 to 1): a few bytes
    // that claim gigabytes get no large allocation.
    const qint64 packed = std::max<qint64>(file.csize(), 0);
    bytes.reserve(qsizetype(
        std::min<qint64>({std::max<qint64>(file.usize(), 0), packed * 1032 + 65536, 64ll * 1024 * 1024})));
    char chunk[65536];
    for (;;) {
        const qint64 read = file.read(chunk, sizeof chunk);
        if (read < 0)
            return std::nullopt;
        if (read == 0)
            break;
        if (bytes.size() + read > maxPartBytes)
            throw PartTooLarge{};
        bytes.append(chunk, qsizetype(read));
    }
    file.close();
    // A damaged part fails its check only once read to its end.
    if (file.getZipError() != 0)
        return std::nullopt;
    return bytes;
}

} // namespace lector
