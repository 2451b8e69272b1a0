#include "output/printout.h"

#include "base/formats.h"
#include "rules/records/closed_state.h"

namespace listings
{

namespace
{

// The body lines of a page before its first page break: the counter starts at 10 below the
// titles and a new page starts when it reaches 60.
constexpr int firstLineCount = 10;
constexpr int pageBreakCount = 60;

// Writes the lines of a printout in the order a program tells a printer: the font size and bold
// state stay in force until changed, and a new page keeps them.
class PageWriter
{
public:
    PageWriter() { m_pages.emplace_back(); }

    void size(int pointSize) { m_size = pointSize; }
    void bold(bool on) { m_bold = on; }
    void print(const QString& text, Placement placement = Placement::Left)
    {
        m_pages.back().lines.push_back({text, m_size, m_bold, placement});
    }
    void empty(int count)
    {
        for (int i = 0; i < count; ++i)
            print(QString());
    }
    void newPage() { m_pages.emplace_back(); }
    Printout take() { return std::move(m_pages); }

private:
    Printout m_pages;
    int m_size = 10;
    bool m_bold = false;
};

QString blanks(int n)
{
    return QString(n, u' ');
}

// The three titles at 14, 12 and 18 points, centred.
void centredTitles(PageWriter& out, const QStringList& titles)
{
    out.size(14);
    out.print(titles.value(0), Placement::Centred);
    out.size(12);
    out.print(titles.value(1), Placement::Centred);
    out.size(18);
    out.print(titles.value(2), Placement::Centred);
}

// The birds the listing does not rank, after its last row.
void unrankedBlock(PageWriter& out, const std::vector<QString>& lines)
{
    if (lines.empty())
        return;
    out.empty(2);
    out.bold(true);
    out.print(unrankedHeading());
    out.bold(false);
    for (const QString& line : lines)
        out.print(line);
}

Printout classificationPrintout(const QStringList& titles, const QString& text,
                                const std::vector<QString>& unranked)
{
    if (text.isEmpty())
        return {};
    PageWriter out;
    // The title block of every page; a repeated one keeps the bold state of the last line above.
    auto titleBlock = [&] {
        out.size(14);
        out.empty(2);
        centredTitles(out, titles);
        out.empty(2);
        out.bold(false);
        out.size(10);
    };
    out.bold(true);
    titleBlock();
    int counter = firstLineCount;
    for (const QString& line : textLines(text)) {
        out.bold(line.startsWith(u'*'));
        out.print(line);
        if (++counter == pageBreakCount) {
            out.newPage();
            titleBlock();
            counter = firstLineCount;
        }
    }
    unrankedBlock(out, unranked);
    return out.take();
}

Printout groupDPrintout(const QStringList& titles, const std::vector<GroupDRow>& rows,
                        const std::vector<QString>& unranked)
{
    PageWriter out;
    auto titleBlock = [&] {
        out.size(14);
        out.empty(3);
        centredTitles(out, titles);
        out.size(10);
        out.empty(4);
    };
    out.bold(true);
    titleBlock();
    out.print(printedGroupDHeading());
    out.bold(false);
    int counter = firstLineCount;
    for (const GroupDRow& row : rows) {
        out.print(printedGroupDRow(row));
        if (++counter == pageBreakCount) {
            // The column heading is not repeated, and bold stays on for the rows that follow.
            out.newPage();
            out.bold(true);
            titleBlock();
            counter = firstLineCount;
        }
    }
    unrankedBlock(out, unranked);
    return out.take();
}

Printout provincePrintout(const QStringList& titles, const std::vector<ProvinceRow>& rows)
{
    PageWriter out;
    out.bold(true);
    out.size(14);
    out.empty(3);
    out.print(titles.value(0), Placement::LeftOfCentre);
    out.print(titles.value(1), Placement::LeftOfCentre);
    out.size(10);
    out.empty(5);
    out.print(printedProvinceHeading());
    out.bold(false);
    for (const ProvinceRow& row : rows)
        out.print(printedProvinceRow(row));
    return out.take();
}

} // namespace

QStringList textLines(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

QStringList outputTitles(const Listing& listing)
{
    if (listing.kind == ListingKind::Province)
        return {listing.titles.label1.trimmed(), listing.titles.label3.trimmed()};
    return {listing.titles.label1.trimmed(), listing.titles.label2.trimmed(),
            listing.titles.label3.trimmed()};
}

QString printedGroupDHeading()
{
    return QStringLiteral("   Orden   Jaula    Anilla     Concur    Coeficiente      Propietario ");
}

QString printedProvinceHeading()
{
    return QStringLiteral(" Orden     Provincia                     Puntos");
}

QString printedGroupDRow(const GroupDRow& row)
{
    using formats::fitLeft;
    return blanks(5) + QString::number(row.orden) + blanks(6) + fitLeft(row.jaula, 3) + blanks(3) +
           fitLeft(row.anilla.trimmed(), 10) + blanks(5) + fitLeft(row.conc, 2) + blanks(7) +
           fitLeft(row.coef, 10) + blanks(5) + fitLeft(row.propietario, 30);
}

QString printedProvinceRow(const ProvinceRow& row)
{
    return blanks(2) + QString::number(row.orden) + blanks(7) +
           formats::fitLeft(row.provincia.trimmed(), 25) + blanks(5) + formats::mask(row.puntos, 3);
}

Printout printout(const Listing& listing)
{
    const QStringList titles = outputTitles(listing);
    Printout pages;
    switch (listing.kind) {
    case ListingKind::Classification:
        pages = classificationPrintout(titles, listing.text, listing.unranked);
        break;
    case ListingKind::GroupD:
        pages = groupDPrintout(titles, listing.groupD, listing.unranked);
        break;
    case ListingKind::Province:
        pages = provincePrintout(titles, listing.provinces);
        break;
    }
    if (!pages.empty() && !listing.sello.isEmpty())
        pages.back().lines.push_back({records::sealLine(listing.sello)});
    return pages;
}

} // namespace listings
