// The output of a listing, without printer or window: the page model of the printouts and the
// TXT documents.

#include "output/printout.h"
#include "output/text_document.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using listings::ListingKind;

Q_DECLARE_METATYPE(listings::Listing)

namespace
{

// A listing of the kind with n rows (group D and provinces) or these preview lines. Its titles
// have 20, 21 and 14 characters.
listings::Listing listing(ListingKind kind, int n = 0, const QStringList& text = {})
{
    const QString label3 = kind == ListingKind::Classification ? " Grupo A Machos "
                           : kind == ListingKind::GroupD       ? "Grupo D  Categoria C"
                                                               : " Clasificación Por Provincia ";
    listings::Listing l{kind,
                        {"caption", "  Exposición de Toledo ",
                         kind == ListingKind::Province ? "" : "Clasificación General", label3},
                        text.join("\r\n"),
                        {},
                        {}};
    for (int i = 1; i <= n; ++i) {
        l.groupD.push_back({i, "05-1234567", "12", "3,46", "Pedro Martínez", QString::number(i)});
        l.provinces.push_back({i, " Toledo ", QString::number(100 - i)});
    }
    return l;
}

// Each printed line as its size, "b" when bold, "c" centred or "s" left of centre, "|" and its text.
QStringList render(const std::vector<listings::PrintedLine>& lines)
{
    QStringList out;
    for (const listings::PrintedLine& line : lines)
        out << QString::number(line.pointSize) + (line.bold ? "b" : "") +
                   QStringList{"", "c", "s"}.at(int(line.placement)) + "|" + line.text;
    return out;
}

// The title block of a classification page, plain or bold.
QStringList titleBlock(bool bold)
{
    QStringList lines{
        "14|", "14|", "14c|Exposición de Toledo", "12c|Clasificación General", "18c|Grupo A Machos",
        "18|", "18|"};
    if (bold)
        lines.replaceInStrings(QRegularExpression("^(\\d+)"), "\\1b");
    return lines;
}

} // namespace

class TestListingOutput : public QObject
{
    Q_OBJECT

private slots:
    // The pages of a listing: how many, and one page's lines from a line on to its end.
    void pages_data()
    {
        QTest::addColumn<listings::Listing>("listing");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("from");
        QTest::addColumn<QStringList>("lines");
        const auto lines = [](int count, int marked) {
            QStringList body;
            for (int i = 1; i <= count; ++i)
                body << (i == marked ? "* line " : "  line ") + QString::number(i);
            return listing(ListingKind::Classification, 0, body);
        };
        const QStringList line51{"10|  line 51"};
        QTest::newRow("49 lines: one page") << lines(49, 0) << 1 << 0 << 55 << QStringList{"10|  line 49"};
        QTest::newRow("50 lines: titles alone on page 2, bold as line 50") << lines(50, 50) << 2 << 1 << 0
                                                                             << titleBlock(true);
        QTest::newRow("51 lines: the 51st on page 2") << lines(51, 0) << 2 << 1 << 0 << titleBlock(false) + line51;
        QTest::newRow("51 lines, line 50 marked") << lines(51, 50) << 2 << 1 << 0 << titleBlock(true) + line51;
        QTest::newRow("bold exactly on marked lines")
            << listing(ListingKind::Classification, 0, {"* 1     0012345-05", " * not a bird", "*", "Puntuacion *", ""})
            << 1 << 0 << 0
            << titleBlock(true) + QStringList{"10b|* 1     0012345-05", "10| * not a bird", "10b|*", "10|Puntuacion *",
                                              "10|"};
        QTest::newRow("nothing to print") << listing(ListingKind::Classification) << 0 << -1 << 0 << QStringList();
        // Group D: fifty rows a page, the titles again on the next, its rows bold.
        const listings::Listing groupD = listing(ListingKind::GroupD, 101);
        QStringList second = render(listings::printout(listing(ListingKind::GroupD))[0].lines).mid(0, 6) +
                             QStringList(4, "10b|");
        for (int i = 50; i < 100; ++i)
            second << "10b|" + listings::printedGroupDRow(groupD.groupD[i]);
        QTest::newRow("group D, first page") << groupD << 3 << 0 << 60
                                             << QStringList{"10|" + listings::printedGroupDRow(groupD.groupD[49])};
        QTest::newRow("group D, second page") << groupD << 3 << 1 << 0 << second;
        // The provinces' one page: their titles left of centre, the heading and a row a province.
        const listings::Listing provinces = listing(ListingKind::Province, 1);
        QTest::newRow("provinces")
            << provinces << 1 << 0 << 3
            << QStringList{"14bs|Exposición de Toledo", "14bs|Clasificación Por Provincia"} + QStringList(5, "10b|") +
                   QStringList{"10b|" + listings::printedProvinceHeading(),
                               "10|" + listings::printedProvinceRow(provinces.provinces[0])};
    }
    void pages()
    {
        QFETCH(listings::Listing, listing);
        QFETCH(int, page);
        QFETCH(int, from);
        const listings::Printout printout = listings::printout(listing);
        QTEST(int(printout.size()), "pages");
        if (page >= 0)
            QTEST(render(printout[page].lines).mid(from), "lines");
    }

    // Titles of 20, 21 and 14 characters: 37.5 blanks go to 38, 40.5 to 40.
    void classificationDocument()
    {
        const QStringList body{" Clasf  Nº Anilla", "* 1     0012345-05", ""};
        const QByteArray bytes = listings::documentBytes(listing(ListingKind::Classification, 0, body));
        const QByteArray blank(95, ' ');
        QCOMPARE(
            bytes.split('\n'),
            (QList<QByteArray>{blank + "\r", blank + "\r", QByteArray(38, ' ') + "Exposici\xf3n de Toledo\r",
                               QByteArray(37, ' ') + "Clasificaci\xf3n General\r",
                               QByteArray(40, ' ') + "Grupo A Machos\r", blank + "\r",
                               " Clasf  N\xba Anilla\r", "* 1     0012345-05\r", "\r", ""}));
    }

    // The printed group D row cuts the owner at 30; the document's rows cut each field to its column.
    void rowLines()
    {
        QCOMPARE(listings::printedGroupDRow({7, " 05-12", "12", "3,46", QString(40, 'n'), "7"}),
                 "     7      7     05-12          12       3,46           " + QString(30, 'n'));
        QCOMPARE(listings::documentGroupDRow(
                     {1, " 05-1234567X", "123", "1.234,56", "Francisco Javier Fernández de la Rosa", "12"}),
                 "  1       12       05-123456       12         1.234,      Francisco Javier Fernández de ");
        QCOMPARE(listings::documentProvinceRow({1, " Toledo ", "16"}),
                 "  1         Toledo                         16");
    }

    // The characters of bytes 0x80 to 0x9F in the order of their bytes; the five bytes the code
    // page leaves undefined stand here as the control characters of those numbers, which, as
    // any character outside the code page, are written "?".
    void windows1252()
    {
        const QString high = QString::fromUtf16(u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021"
                                                u"\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
                                                u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
                                                u"\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178");
        QByteArray bytes;
        for (int b = 0x80; b <= 0x9F; ++b)
            bytes += QList<int>{0x81, 0x8D, 0x8F, 0x90, 0x9D}.contains(b) ? '?' : char(b);
        QCOMPARE(listings::toWindows1252(high + QString::fromUtf8("óñÁº Ωx")),
                 bytes + "\xf3\xf1\xc1\xba ?x");
    }

    // The typed folder with the file's name put after it; an empty box or "A:\" is the drive A:.
    void documentPath_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // inside the program folder, before the file's name
        QTest::newRow("empty box") << "" << "Unidades/A/";
        QTest::newRow("A:\\") << "A:\\" << "Unidades/A/";
        QTest::newRow("folder without its final \\") << "C:\\listados" << "Unidades/C/listados";
    }
    void documentPath()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const QString folder = QDir::tempPath();
        QCOMPARE(listings::documentPath(typed, "Grupo A Machos.txt", folder),
                 QDir(folder).filePath(expected + "Grupo A Machos.txt"));
    }
};

QTEST_GUILESS_MAIN(TestListingOutput)
#include "test_listing_output.moc"
