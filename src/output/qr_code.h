#pragma once

// A QR code of a text, for a phone to scan (the show's address, a cage's scoring page).

#include <QImage>
#include <QString>

namespace output
{

// The code as an image of one pixel per module, black on white, with the quiet zone of four
// modules around it; a null image when the text cannot be encoded (too long for any version).
QImage qrCode(const QString& text);

} // namespace output
