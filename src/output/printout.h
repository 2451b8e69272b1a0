#pragma once

// The printout of a listing as a page model: page by page, each line with its text, font size,
// bold state and placement, as the printer is told to print them. Every text is in "Courier
// New"; an empty line is printed at the size in force, so it takes that size's height. One
// painter routine draws the model on the printer or into a PDF (printout_painter.h), so the
// layout is fixed here and tested without a printer.

#include "rules/listings/listing.h"

#include <QStringList>
#include <vector>

namespace listings
{

enum class Placement {
    Left,         // at the left margin
    Centred,      // half the printable width, rounded, less half the text's printed width
    LeftOfCentre, // half the printable width less the text's whole width in the screen font
};

struct PrintedLine {
    QString text; // empty: an empty line
    int pointSize = 10;
    bool bold = false;
    Placement placement = Placement::Left;

    bool operator==(const PrintedLine&) const = default;
};

struct PrintedPage {
    std::vector<PrintedLine> lines;
};

// Empty when there is nothing to print (a classification without birds).
using Printout = std::vector<PrintedPage>;

// The lines of a CR LF text, every piece one line: the empty ones and the empty piece after the
// final line break included.
QStringList textLines(const QString& text);

// The titles of the output: the window's labels, each trimmed of blanks at both ends
// (label1, label2, label3; the province ranking has no label2).
QStringList outputTitles(const Listing& listing);

// The row lines as printed.
QString printedGroupDRow(const GroupDRow& row);
QString printedProvinceRow(const ProvinceRow& row);

// "   Orden   Jaula ..." and " Orden     Provincia ...": the printed column headings.
QString printedGroupDHeading();
QString printedProvinceHeading();

Printout printout(const Listing& listing);

} // namespace listings
