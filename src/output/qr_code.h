#pragma once

// The QR code of a text, for the cage labels: scanned with a telephone in the hall, it opens the
// cage's page on the show's network.

#include <QImage>
#include <QString>

namespace output
{

// One black or white pixel per module, with the quiet zone of four modules around it; a printout
// scales it without smoothing. Medium error correction, so that a label scuffed on the cage still
// reads. A null image when the text is too long for any QR code.
QImage qrCode(const QString& text);

} // namespace output
