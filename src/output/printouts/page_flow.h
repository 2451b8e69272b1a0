#pragma once

// Lays out the lines of a show-day printout page by page, on the page model of the listings:
// every page starts with the show's name and region and a line with the printout's title and
// its page number, and a new page is begun before a line would run past the bottom, so that the
// painter never has to break a page of its own.

#include "output/printout.h"

#include <QString>

namespace printouts
{

// The characters of a line of the given size across the printable width (Courier: six tenths
// of the size per character).
int charactersAcross(int pointSize);

class PageFlow
{
public:
    // title: "Catálogo", "Hoja del juez Nº 2"; it may change between pages (setTitle).
    PageFlow(const QString& nombre, const QString& region, const QString& title);

    void setTitle(const QString& title) { m_title = title; }

    void line(const QString& text, int pointSize, bool bold = false,
              listings::Placement placement = listings::Placement::Left);
    void empty(int pointSize) { line(QString(), pointSize); }

    // Whether lines of these sizes still fit on the current page.
    bool fits(double points) const { return m_used + points <= pageHeightPoints; }
    static double lineHeight(int pointSize) { return pointSize * lineFactor; }

    // Starts a new page with its heading, unless the current one holds nothing but its heading.
    void newPage();
    bool pageIsFresh() const { return m_fresh; }

    // The pages, each heading's page number filled in: "Página 3 de 12".
    listings::Printout take();

private:
    void heading();
    void add(const QString& text, int pointSize, bool bold, listings::Placement placement);

    // The printable height of an A4 page within the painter's margins, and a line's height as a
    // share of its size, generous for any monospaced face the system may give for Courier.
    static constexpr double pageHeightPoints = 841.89 - 36;
    static constexpr double lineFactor = 1.2;

    QString m_nombre;
    QString m_region;
    QString m_title;
    listings::Printout m_pages;
    double m_used = 0;
    bool m_fresh = false;
};

} // namespace printouts
