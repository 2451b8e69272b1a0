#include "base/formats.h"
#include "output/printouts/page_flow.h"
#include "output/printouts/show_printouts.h"

#include <QLocale>

namespace printouts
{

namespace
{

using formats::fitLeft;
using formats::fitRight;

constexpr int rowSize = 9;
constexpr int classSize = 11;

QString birdHeading()
{
    return fitRight(QStringLiteral("Jaula"), 5) + QStringLiteral("  ") +
           fitLeft(QStringLiteral("Anilla"), 10) + QStringLiteral("  ") +
           fitLeft(QStringLiteral("Color"), 16) + QStringLiteral("  ") +
           fitLeft(QStringLiteral("Propietario"), 28) + QStringLiteral("  ") +
           fitLeft(QStringLiteral("Club"), 22) + QStringLiteral("  ") + QStringLiteral("Provincia");
}

QString birdLine(const Show& show, const Bird& bird)
{
    const Club club = clubOf(show, bird);
    return fitRight(QString::number(bird.jaula), 5) + QStringLiteral("  ") + fitLeft(ringOf(bird), 10) +
           QStringLiteral("  ") + fitLeft(bird.color, 16) + QStringLiteral("  ") + fitLeft(bird.nombre, 28) +
           QStringLiteral("  ") + fitLeft(club.nombre, 22) + QStringLiteral("  ") +
           fitLeft(club.provincia, 12);
}

QString countOf(std::size_t count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QString::fromUtf8(count == 1 ? one : many);
}

void cover(PageFlow& flow, const Show& show, std::size_t exhibitorCount)
{
    for (int i = 0; i < 8; ++i)
        flow.empty(14);
    flow.line(QStringLiteral("Catálogo"), 24, true, listings::Placement::Centred);
    flow.empty(14);
    flow.line(show.nombre, 20, true, listings::Placement::Centred);
    flow.line(show.region, 16, false, listings::Placement::Centred);
    flow.empty(14);
    flow.line(QLocale(QLocale::Spanish, QLocale::Spain)
                  .toString(show.fecha, QStringLiteral("d 'de' MMMM 'de' yyyy")),
              14, false, listings::Placement::Centred);
    flow.empty(14);
    flow.line(countOf(show.birds.size(), "paloma", "palomas"), 14, false, listings::Placement::Centred);
    flow.line(countOf(exhibitorCount, "expositor", "expositores"), 14, false, listings::Placement::Centred);
}

// The heading of a class, with its count, and its column heading; repeated when the class goes on
// over a page.
void classTop(PageFlow& flow, const CatalogueClass& birds, bool continued)
{
    flow.empty(rowSize);
    flow.line(birds.heading + QStringLiteral(" (") + countOf(birds.birds.size(), "paloma", "palomas") +
                  (continued ? QStringLiteral(", continuación)") : QStringLiteral(")")),
              classSize, true);
    flow.line(birdHeading(), rowSize, true);
}

double classTopHeight()
{
    return PageFlow::lineHeight(rowSize) * 2 + PageFlow::lineHeight(classSize);
}

// The cages of an exhibitor, cut into lines of the given width at the commas.
QStringList wrappedCages(const Exhibitor& exhibitor, int width)
{
    QStringList lines{QString()};
    for (const Bird* bird : exhibitor.birds) {
        const QString cage = QString::number(bird->jaula);
        QString& last = lines.last();
        if (last.isEmpty())
            last = cage;
        else if (last.size() + 2 + cage.size() + 1 <= width)
            last += QStringLiteral(", ") + cage;
        else {
            last += QLatin1Char(',');
            lines << cage;
        }
    }
    return lines;
}

void exhibitorIndex(PageFlow& flow, const Show& show, const std::vector<Exhibitor>& owners)
{
    const int cageWidth = charactersAcross(rowSize) - 30 - 7 - 24;
    const QString heading = fitLeft(QStringLiteral("Propietario"), 30) + fitLeft(QStringLiteral("Lic."), 7) +
                            fitLeft(QStringLiteral("Club"), 24) + QStringLiteral("Jaulas");
    auto top = [&](bool continued) {
        flow.empty(rowSize);
        flow.line(QStringLiteral("Índice de expositores (") +
                      countOf(owners.size(), "expositor", "expositores") +
                      (continued ? QStringLiteral(", continuación)") : QStringLiteral(")")),
                  classSize, true);
        flow.line(heading, rowSize, true);
    };
    flow.setTitle(QStringLiteral("Catálogo · Índice de expositores"));
    flow.newPage();
    top(false);
    for (const Exhibitor& owner : owners) {
        const QStringList cages = wrappedCages(owner, cageWidth);
        if (!flow.fits(PageFlow::lineHeight(rowSize) * double(cages.size()))) {
            flow.newPage();
            top(true);
        }
        const Club club = show.clubs.value(owner.club);
        const QString start = fitLeft(owner.nombre, 28) + QStringLiteral("  ") + fitLeft(owner.licencia, 5) +
                              QStringLiteral("  ") + fitLeft(club.nombre, 22) + QStringLiteral("  ");
        for (qsizetype i = 0; i < cages.size(); ++i)
            flow.line((i == 0 ? start : QString(start.size(), u' ')) + cages[i], rowSize);
    }
}

} // namespace

listings::Printout catalogue(const Show& show)
{
    const std::vector<Exhibitor> owners = exhibitors(show);
    PageFlow flow(show.nombre, show.region, QStringLiteral("Catálogo"));
    cover(flow, show, owners.size());
    const double rowHeight = PageFlow::lineHeight(rowSize);
    bool first = true;
    for (const CatalogueClass& birds : catalogueClasses(show)) {
        flow.setTitle(QStringLiteral("Catálogo · ") + birds.heading);
        // A class starts on a new page after the cover; later classes follow on when the heading
        // and a few birds still fit.
        if (first || !flow.fits(classTopHeight() + 3 * rowHeight))
            flow.newPage();
        first = false;
        classTop(flow, birds, false);
        for (const Bird* bird : birds.birds) {
            if (!flow.fits(rowHeight)) {
                flow.newPage();
                classTop(flow, birds, true);
            }
            flow.line(birdLine(show, *bird), rowSize);
        }
    }
    exhibitorIndex(flow, show, owners);
    return flow.take();
}

} // namespace printouts
