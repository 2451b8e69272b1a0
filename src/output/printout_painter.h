#pragma once

// Draws a printout (printout.h) on a paged device: a printer, its preview, or a PDF. The one
// routine behind "&Imprimir", "Vista previa", the exported PDFs and palomas-cli's --pdf.

#include "output/printout.h"

#include <QString>

class QPagedPaintDevice;

namespace listings
{

// A4, portrait, with margins close to a laser printer's unprintable edge, so that the 95
// characters of a listing line fit across the page at 10 points.
void setUpPage(QPagedPaintDevice& device);

// Paints the pages on the device, starting on its current page. Positions and widths are in
// the device's own units; a line that would run past the bottom goes to a new page, as a
// printer does. Raises OutputError when the device cannot be painted on.
void paintPrintout(const Printout& printout, QPagedPaintDevice& device);

// The printout as a PDF file, replacing it once complete. Raises OutputError.
void writePdf(const Printout& printout, const QString& path, const QString& title);
// The bytes of that PDF.
QByteArray pdfBytes(const Printout& printout, const QString& title);

} // namespace listings
