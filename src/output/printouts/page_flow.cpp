#include "output/printouts/page_flow.h"

#include "base/formats.h"

namespace printouts
{

namespace
{

constexpr int headingSize = 10;
// Where the heading's page number goes, filled in once the pages are counted.
const QString pageMarker = QStringLiteral("\x01");

// A4's width within the painter's margins, in points.
constexpr double printableWidthPoints = 595.28 - 24;

} // namespace

int charactersAcross(int pointSize)
{
    return int(printableWidthPoints / (pointSize * 0.6));
}

PageFlow::PageFlow(const QString& nombre, const QString& region, const QString& title)
    : m_nombre(nombre), m_region(region), m_title(title)
{
    m_pages.emplace_back();
    heading();
}

void PageFlow::heading()
{
    add(m_nombre, 14, true, listings::Placement::Centred);
    add(m_region, 11, false, listings::Placement::Centred);
    add(m_title + pageMarker, headingSize, true, listings::Placement::Left);
    add(QString(charactersAcross(headingSize), u'-'), headingSize, false, listings::Placement::Left);
    m_fresh = true;
}

void PageFlow::add(const QString& text, int pointSize, bool bold, listings::Placement placement)
{
    m_pages.back().lines.push_back({text, pointSize, bold, placement});
    m_used += lineHeight(pointSize);
}

void PageFlow::line(const QString& text, int pointSize, bool bold, listings::Placement placement)
{
    if (!fits(lineHeight(pointSize)))
        newPage();
    add(text, pointSize, bold, placement);
    m_fresh = false;
}

void PageFlow::newPage()
{
    if (m_fresh)
        return;
    m_pages.emplace_back();
    m_used = 0;
    heading();
}

listings::Printout PageFlow::take()
{
    const int count = int(m_pages.size());
    const int width = charactersAcross(headingSize);
    for (int i = 0; i < count; ++i)
        for (listings::PrintedLine& line : m_pages[std::size_t(i)].lines) {
            const qsizetype marker = line.text.indexOf(pageMarker);
            if (marker < 0)
                continue;
            const QString page = QStringLiteral("Página %1 de %2").arg(i + 1).arg(count);
            line.text = formats::fitLeft(line.text.left(marker), width - int(page.size()) - 1) +
                        QLatin1Char(' ') + page;
        }
    return std::move(m_pages);
}

} // namespace printouts
