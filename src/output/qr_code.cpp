#include "output/qr_code.h"

#include <memory>
#include <qrencode.h>

namespace output
{

namespace
{

constexpr int quietZone = 4;

} // namespace

QImage qrCode(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    // Eight-bit mode: the text is encoded as its bytes, not rewritten to upper case or kanji.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(utf8.size()), reinterpret_cast<const unsigned char*>(utf8.constData()), 0,
                          QR_ECLEVEL_M),
        &QRcode_free);
    if (!code)
        return {};
    const int size = code->width + 2 * quietZone;
    QImage image(size, size, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1) // the lowest bit: the module is dark
                image.setPixel(x + quietZone, y + quietZone, 1);
    return image;
}

} // namespace output
