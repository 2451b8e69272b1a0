#include "base/formats.h"
#include "output/printouts/page_flow.h"
#include "output/printouts/show_printouts.h"

namespace printouts
{

namespace
{

using formats::fitLeft;
using formats::fitRight;

constexpr int size = 10;

QString cutLine()
{
    const int width = charactersAcross(size);
    const QString words = QStringLiteral(" cortar por aquí ");
    const int side = (width - int(words.size())) / 2;
    return QString(side, u'-') + words + QString(width - side - int(words.size()), u'-');
}

QString birdHeading()
{
    return QStringLiteral("  ") + fitRight(QStringLiteral("Jaula"), 5) + QStringLiteral("   ") +
           fitLeft(QStringLiteral("Anilla"), 10) + QStringLiteral("   ") +
           fitLeft(QStringLiteral("Grupo"), 8) + QStringLiteral("Sexo");
}

QString birdLine(const Bird& bird)
{
    const QString grupo = bird.grupo == u"D" ? QStringLiteral("D Cat.") + bird.categ : bird.grupo;
    return QStringLiteral("  ") + fitRight(QString::number(bird.jaula), 5) + QStringLiteral("   ") +
           fitLeft(ringOf(bird), 10) + QStringLiteral("   ") + fitLeft(grupo, 8) + sexName(bird.sexo);
}

// The lines of one exhibitor's receipt before and after its birds.
QStringList receiptTop(const Show& show, const Exhibitor& owner, bool continued)
{
    const int width = charactersAcross(size);
    const Club club = show.clubs.value(owner.club);
    QString clubText = owner.club;
    if (!club.nombre.isEmpty())
        clubText += QStringLiteral("  ") + club.nombre;
    if (!club.provincia.isEmpty())
        clubText += QStringLiteral(" (") + club.provincia + QLatin1Char(')');
    const QString title =
        continued ? QStringLiteral("RESGUARDO (continuación)") : QStringLiteral("RESGUARDO");
    const QString licencia = QStringLiteral("Licencia: ") + owner.licencia;
    return {
        fitLeft(title, 26) + fitLeft(show.nombre, width - 26),
        fitLeft(QStringLiteral("Propietario: ") + owner.nombre, width - int(licencia.size()) - 2) +
            QStringLiteral("  ") + licencia,
        fitLeft(QStringLiteral("Club: ") + clubText, width),
        birdHeading(),
    };
}

QStringList receiptEnd(const Exhibitor& owner)
{
    const std::size_t count = owner.birds.size();
    return {
        QStringLiteral("  Palomas entregadas: %1").arg(count),
        QStringLiteral("  Recibidas por la organización (firma): ______________________________"),
    };
}

double heightOf(qsizetype lines)
{
    return PageFlow::lineHeight(size) * double(lines);
}

} // namespace

listings::Printout receipts(const Show& show)
{
    PageFlow flow(show.nombre, show.region, QStringLiteral("Resguardos"));
    for (const Exhibitor& owner : exhibitors(show)) {
        const QStringList top = receiptTop(show, owner, false);
        const QStringList end = receiptEnd(owner);
        const qsizetype whole = 2 + top.size() + qsizetype(owner.birds.size()) + end.size();
        // A receipt goes whole on the page when it fits there, otherwise to the next one; one
        // longer than a page goes on over pages, its heading repeated.
        if (!flow.fits(heightOf(whole)))
            flow.newPage();
        if (!flow.pageIsFresh())
            flow.line(cutLine(), size);
        flow.empty(size);
        for (qsizetype i = 0; i < top.size(); ++i)
            flow.line(top[i], size, i == 0);
        // Over a page, the receipt goes on under its owner's heading again, and its count and
        // signature never stand on a page without it.
        auto goOn = [&] {
            flow.newPage();
            const QStringList again = receiptTop(show, owner, true);
            for (qsizetype i = 0; i < again.size(); ++i)
                flow.line(again[i], size, i == 0);
        };
        for (const Bird* bird : owner.birds) {
            if (!flow.fits(heightOf(1)))
                goOn();
            flow.line(birdLine(*bird), size);
        }
        if (!flow.fits(heightOf(end.size())))
            goOn();
        for (const QString& line : end)
            flow.line(line, size);
    }
    return flow.take();
}

} // namespace printouts
