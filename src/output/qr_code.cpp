#include "output/qr_code.h"

#include <memory>
#include <qrencode.h>

namespace output
{

QImage qrCode(const QString& text)
{
    constexpr int quietZone = 4;
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(utf8.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code)
        return {};
    const int size = code->width + 2 * quietZone;
    QImage image(size, size, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1) // the low bit is the module's colour
                image.setPixel(x + quietZone, y + quietZone, 1);
    return image;
}

} // namespace output
