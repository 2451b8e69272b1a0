#include "output/printouts/show_printouts.h"
#include "output/qr_code.h"

namespace printouts
{

namespace
{

// Inside a label, in millimetres.
constexpr double padding = 3;
constexpr double qrSize = 26;
constexpr double footerHeight = 4;

void addLabel(listings::PrintedPage& page, const Show& show, const Bird& bird, const QPointF& corner,
              const QImage& qr)
{
    const double width = LabelSheet::widthMm - 2 * padding;
    const double textWidth = qr.isNull() ? width : width - qrSize - 2;
    const double left = corner.x() + padding;
    const double top = corner.y() + padding;
    const Qt::Alignment across = qr.isNull() ? Qt::AlignHCenter : Qt::AlignLeft;
    auto text = [&](double y, double height, const QString& value, double size, bool bold,
                    bool shrink = false) {
        page.texts.push_back({QRectF(left, top + y, textWidth, height), value, size, bold, across, shrink});
    };
    // No owner, club, licence or ring: the judging is blind.
    text(0, 3.5, QStringLiteral("Jaula"), 8, false);
    text(3.5, 14.5, QString::number(bird.jaula), 50, true, true);
    const QString grupo = bird.grupo == u"D" ? QStringLiteral("Grupo D · Cat. ") + bird.categ
                                             : QStringLiteral("Grupo ") + bird.grupo;
    text(18, 4.5, grupo, 12, true, true);
    text(22.5, 4.5, sexName(bird.sexo), 12, false, true);
    const QString footer =
        show.region.isEmpty() ? show.nombre : show.nombre + QStringLiteral(" · ") + show.region;
    page.texts.push_back(
        {QRectF(left, corner.y() + LabelSheet::heightMm - padding - footerHeight + 0.5, width, footerHeight),
         footer, 6.5, false, Qt::AlignLeft, false});
    if (!qr.isNull())
        page.images.push_back(
            {QRectF(corner.x() + LabelSheet::widthMm - padding - qrSize, top, qrSize, qrSize), qr});
}

} // namespace

QString scoringUrl(const QString& networkAddress, int jaula)
{
    QString base = networkAddress.trimmed();
    while (base.endsWith(u'/'))
        base.chop(1);
    if (!base.contains(QStringLiteral("://")))
        base = QStringLiteral("http://") + base;
    return base + QStringLiteral("/puntuar?jaula=") + QString::number(jaula);
}

listings::Printout labels(const Show& show, const LabelSheet& sheet, const QString& networkAddress)
{
    listings::Printout pages;
    const int perSheet = LabelSheet::columns * LabelSheet::rows;
    const bool withQr = !networkAddress.trimmed().isEmpty();
    for (std::size_t i = 0; i < show.birds.size(); ++i) {
        const int slot = int(i % std::size_t(perSheet));
        if (slot == 0)
            pages.emplace_back();
        const QPointF corner(sheet.leftMm + (slot % LabelSheet::columns) * LabelSheet::widthMm,
                             sheet.topMm + (slot / LabelSheet::columns) * LabelSheet::heightMm);
        const Bird& bird = show.birds[i];
        addLabel(pages.back(), show, bird, corner,
                 withQr ? output::qrCode(scoringUrl(networkAddress, bird.jaula)) : QImage());
    }
    return pages;
}

} // namespace printouts
