#include "output/printout_painter.h"

#include "output/text_document.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <cmath>
#include <map>

namespace listings
{

namespace
{

QFont courier(int pointSize, bool bold)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

// The width of a text in the screen font of the windows, converted to the device's units: the
// listing windows measured their titles so.
double screenWidth(const QString& text, const QPagedPaintDevice& device)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double screenDpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    const QFontMetricsF metrics(QGuiApplication::font());
    return metrics.horizontalAdvance(text) * device.logicalDpiX() / screenDpi;
}

class PagePainter
{
public:
    PagePainter(QPainter& painter, QPagedPaintDevice& device) : m_painter(painter), m_device(device) {}

    void newPage()
    {
        if (!m_device.newPage())
            throw OutputError(QStringLiteral("La impresora no ha aceptado una página nueva."));
        m_y = 0;
    }

    // The cells of the page, placed on the paper: the painter's origin is the corner of the
    // printable area, so the printer's margins are taken back.
    void place(const PrintedPage& page)
    {
        if (page.texts.empty() && page.images.empty())
            return;
        const double dotsPerMm = m_device.logicalDpiX() / 25.4;
        const QPointF origin = m_device.pageLayout().paintRectPixels(m_device.logicalDpiX()).topLeft();
        auto onDevice = [&](const QRectF& mm) {
            return QRectF(mm.x() * dotsPerMm - origin.x(), mm.y() * dotsPerMm - origin.y(),
                          mm.width() * dotsPerMm, mm.height() * dotsPerMm);
        };
        m_painter.save();
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        for (const PlacedImage& image : page.images)
            m_painter.drawImage(onDevice(image.areaMm), image.image);
        for (const PlacedText& text : page.texts)
            placeText(text, onDevice(text.areaMm));
        m_painter.restore();
    }

    void print(const PrintedLine& line)
    {
        const Face& face = faceFor(line.pointSize, line.bold);
        if (m_y > 0 && m_y + face.metrics.lineSpacing() > m_device.height())
            newPage();
        if (!line.text.isEmpty()) {
            m_painter.setFont(face.font);
            m_painter.drawText(QPointF(left(line, face), m_y + face.metrics.ascent()), line.text);
        }
        m_y += face.metrics.lineSpacing();
    }

private:
    void placeText(const PlacedText& placed, const QRectF& area)
    {
        QFont font(QStringLiteral("Arial"));
        font.setStyleHint(QFont::SansSerif);
        font.setBold(placed.bold);
        font.setPointSizeF(placed.pointSize);
        QFontMetricsF metrics(font, &m_device);
        if (placed.shrinkToFit) {
            for (double size = placed.pointSize;
                 metrics.horizontalAdvance(placed.text) > area.width() && size > placed.pointSize / 2;
                 size -= 0.5) {
                font.setPointSizeF(size);
                metrics = QFontMetricsF(font, &m_device);
            }
        }
        const QString text = metrics.elidedText(placed.text, Qt::ElideRight, area.width());
        const double width = metrics.horizontalAdvance(text);
        double x = area.left();
        if (placed.alignment & Qt::AlignHCenter)
            x = area.center().x() - width / 2;
        else if (placed.alignment & Qt::AlignRight)
            x = area.right() - width;
        const double baseline = area.center().y() + (metrics.ascent() - metrics.descent()) / 2;
        m_painter.setFont(font);
        m_painter.drawText(QPointF(x, baseline), text);
    }

    struct Face {
        QFont font;
        QFontMetricsF metrics;
    };

    const Face& faceFor(int pointSize, bool bold)
    {
        const auto key = std::make_pair(pointSize, bold);
        auto found = m_faces.find(key);
        if (found == m_faces.end()) {
            const QFont font = courier(pointSize, bold);
            found = m_faces.emplace(key, Face{font, QFontMetricsF(font, &m_device)}).first;
        }
        return found->second;
    }

    double left(const PrintedLine& line, const Face& face) const
    {
        const double half = m_device.width() / 2.0;
        switch (line.placement) {
        case Placement::Left:
            return 0;
        case Placement::Centred:
            return std::round(half) - face.metrics.horizontalAdvance(line.text) / 2.0;
        case Placement::LeftOfCentre:
            return half - screenWidth(line.text, m_device);
        case Placement::Right:
            return m_device.width() - face.metrics.horizontalAdvance(line.text);
        }
        return 0;
    }

    QPainter& m_painter;
    QPagedPaintDevice& m_device;
    // A std::map: a face handed out stays where it is while others are added (a hash would move it).
    std::map<std::pair<int, bool>, Face> m_faces;
    double m_y = 0;
};

} // namespace

void setUpPage(QPagedPaintDevice& device)
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(12, 18, 12, 18), QPageLayout::Point);
}

void paintPrintout(const Printout& printout, QPagedPaintDevice& device)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw OutputError(QStringLiteral("No se ha podido empezar a imprimir el listado."));
    PagePainter pages(painter, device);
    for (std::size_t i = 0; i < printout.size(); ++i) {
        if (i > 0)
            pages.newPage();
        pages.place(printout[i]);
        for (const PrintedLine& line : printout[i].lines)
            pages.print(line);
    }
    if (!painter.end())
        throw OutputError(QStringLiteral("No se ha podido terminar de imprimir el listado."));
}

void writePdf(const Printout& printout, const QString& path, const QString& title)
{
    writeFile(path, pdfBytes(printout, title));
}

QByteArray pdfBytes(const Printout& printout, const QString& title)
{
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Palomas"));
        writer.setResolution(600);
        setUpPage(writer);
        paintPrintout(printout, writer);
    }
    return pdf;
}

} // namespace listings
