// The page model of the three printouts: title blocks, sizes and bold states, the line counter
// and its page breaks, and the printed row lines.

#include "listings/printout.h"

#include <QTest>

using listings::Placement;
using listings::PrintedLine;
using listings::Printout;

Q_DECLARE_METATYPE(listings::GroupDRow)

namespace
{

listings::ListingTitles titles(listings::ListingKind kind)
{
    if (kind == listings::ListingKind::Province)
        return {"Listados", " Regional ", "", " Clasificación Por Provincia "};
    return {"caption", " Regional ", "Clasificación General", " Grupo A Machos "};
}

// A classification whose preview text has exactly n lines (the last without its line break),
// the marked ones where marked says so.
listings::Listing classification(
    int n, const std::function<bool(int)>& marked = [](int) { return false; })
{
    QStringList lines;
    for (int i = 1; i <= n; ++i)
        lines << (marked(i) ? QStringLiteral("* line %1").arg(i) : QStringLiteral("  line %1").arg(i));
    return {listings::ListingKind::Classification,
            titles(listings::ListingKind::Classification),
            lines.join("\r\n"),
            {},
            {}};
}

listings::GroupDRow groupDRow(int orden)
{
    return {orden, "05-1234567", "12", "3,46", "Pedro Martínez", QString::number(orden)};
}

listings::Listing groupD(int rows)
{
    listings::Listing listing{
        listings::ListingKind::GroupD, titles(listings::ListingKind::GroupD), {}, {}, {}};
    for (int i = 1; i <= rows; ++i)
        listing.groupD.push_back(groupDRow(i));
    return listing;
}

// "size/bold/placement" of each line, the text left out.
QStringList shapes(const std::vector<PrintedLine>& lines)
{
    QStringList out;
    for (const PrintedLine& line : lines)
        out << QStringLiteral("%1%2%3")
                   .arg(line.pointSize)
                   .arg(line.bold ? "b" : "")
                   .arg(line.placement == Placement::Centred        ? "c"
                        : line.placement == Placement::LeftOfCentre ? "s"
                                                                    : "");
    return out;
}

QStringList texts(const std::vector<PrintedLine>& lines)
{
    QStringList out;
    for (const PrintedLine& line : lines)
        out << line.text;
    return out;
}

} // namespace

class TestPrintout : public QObject
{
    Q_OBJECT

private slots:
    void classificationFirstPage()
    {
        const Printout pages = listings::printout(classification(3, [](int i) { return i == 2; }));
        QCOMPARE(pages.size(), std::size_t(1));
        const auto& lines = pages[0].lines;
        QCOMPARE(texts(lines), (QStringList{"", "", "Regional", "Clasificación General", "Grupo A Machos", "",
                                            "", "  line 1", "* line 2", "  line 3"}));
        QCOMPARE(shapes(lines),
                 (QStringList{"14b", "14b", "14bc", "12bc", "18bc", "18b", "18b", "10", "10b", "10"}));
    }

    void fiftyBodyLinesAPage_data()
    {
        QTest::addColumn<int>("bodyLines");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("lastPage"); // texts of the last page after its title block
        QTest::newRow("49 lines: one page") << 49 << 1 << QStringList{};
        QTest::newRow("50 lines: titles alone on page 2") << 50 << 2 << QStringList{};
        QTest::newRow("51 lines: the 51st on page 2") << 51 << 2 << QStringList{"  line 51"};
        QTest::newRow("101 lines: three pages") << 101 << 3 << QStringList{"  line 101"};
    }
    void fiftyBodyLinesAPage()
    {
        QFETCH(int, bodyLines);
        QFETCH(int, pages);
        QFETCH(QStringList, lastPage);
        const Printout printout = listings::printout(classification(bodyLines));
        QCOMPARE(int(printout.size()), pages);
        for (int p = 0; p + 1 < pages; ++p)
            QCOMPARE(int(printout[std::size_t(p)].lines.size()), 7 + 50);
        const auto& last = printout.back().lines;
        QCOMPARE(texts(last).mid(0, 7),
                 (QStringList{"", "", "Regional", "Clasificación General", "Grupo A Machos", "", ""}));
        if (pages == 1)
            QCOMPARE(int(last.size()) - 7, bodyLines);
        else
            QCOMPARE(texts(last).mid(7), lastPage);
    }

    void boldExactlyOnMarkedLines()
    {
        const QStringList body{"* 1     0012345-05", " * not a bird", "x*", "*", "", "Puntuacion *"};
        listings::Listing listing = classification(0);
        listing.text = body.join("\r\n");
        const Printout printout = listings::printout(listing);
        const auto& lines = printout[0].lines;
        QStringList bold;
        for (std::size_t i = 7; i < lines.size(); ++i)
            bold << (lines[i].bold ? "b" : "-");
        QCOMPARE(bold, (QStringList{"b", "-", "-", "b", "-", "-"}));
    }

    void repeatedTitlesKeepTheLastBoldState_data()
    {
        QTest::addColumn<int>("markedLine");
        QTest::addColumn<QStringList>("secondPage");
        QTest::newRow("last line of page 1 plain")
            << 49 << QStringList{"14", "14", "14c", "12c", "18c", "18", "18", "10"};
        QTest::newRow("last line of page 1 marked")
            << 50 << QStringList{"14b", "14b", "14bc", "12bc", "18bc", "18b", "18b", "10"};
    }
    void repeatedTitlesKeepTheLastBoldState()
    {
        QFETCH(int, markedLine);
        QFETCH(QStringList, secondPage);
        const Printout printout =
            listings::printout(classification(51, [=](int i) { return i == markedLine; }));
        QCOMPARE(printout.size(), std::size_t(2));
        QCOMPARE(shapes(printout[1].lines), secondPage);
    }

    void emptyClassificationPrintsNothing() { QVERIFY(listings::printout(classification(0)).empty()); }

    void groupDEmptyListGivesTitlePageAndHeading()
    {
        const Printout printout = listings::printout(groupD(0));
        QCOMPARE(printout.size(), std::size_t(1));
        QCOMPARE(texts(printout[0].lines),
                 (QStringList{"", "", "", "Regional", "Clasificación General", "Grupo A Machos", "", "", "",
                              "", listings::printedGroupDHeading()}));
        QCOMPARE(shapes(printout[0].lines), (QStringList{"14b", "14b", "14b", "14bc", "12bc", "18bc", "10b",
                                                         "10b", "10b", "10b", "10b"}));
        QCOMPARE(listings::printedGroupDHeading().size(), 70);
    }

    void groupDPagesAfterTheFirstAreBold()
    {
        const Printout printout = listings::printout(groupD(101));
        QCOMPARE(printout.size(), std::size_t(3));
        const auto& first = printout[0].lines;
        QCOMPARE(int(first.size()), 11 + 50);
        QVERIFY(!first[11].bold);
        QVERIFY(!first.back().bold);
        QCOMPARE(first.back().text, listings::printedGroupDRow(groupDRow(50)));
        const auto& second = printout[1].lines;
        QCOMPARE(int(second.size()), 10 + 50);
        QCOMPARE(shapes(second).mid(0, 11), (QStringList{"14b", "14b", "14b", "14bc", "12bc", "18bc", "10b",
                                                         "10b", "10b", "10b", "10b"}));
        QCOMPARE(second[10].text, listings::printedGroupDRow(groupDRow(51)));
        QVERIFY(!texts(second).contains(listings::printedGroupDHeading()));
        QCOMPARE(texts(printout[2].lines).mid(10), QStringList{listings::printedGroupDRow(groupDRow(101))});
    }

    void groupDPrintedRowColumns_data()
    {
        QTest::addColumn<listings::GroupDRow>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");
        const listings::GroupDRow row = groupDRow(7);
        QTest::newRow("order") << row << 1 << "     7      7  ";
        QTest::newRow("ring trimmed at 19")
            << listings::GroupDRow{1, " 05-12", "9", "1,00", "Ana", "3"} << 16 << "   05-12          9 ";
        QTest::newRow("contests at 34") << row << 29 << "     12       3,46      ";
        QTest::newRow("owner at 58") << row << 53 << "     Pedro Martínez";
        QTest::newRow("owner cut at 30")
            << listings::GroupDRow{1, "x", "1", "1", QString(40, 'n'), "1"} << 58 << QString(30, 'n');
        QTest::newRow("two-digit order moves the line") << groupDRow(12) << 1 << "     12      12 ";
    }
    void groupDPrintedRowColumns()
    {
        QFETCH(listings::GroupDRow, row);
        QFETCH(int, column);
        QFETCH(QString, expected);
        const QString line = listings::printedGroupDRow(row);
        QCOMPARE(line.mid(column - 1, expected.size()), expected);
        QCOMPARE(line.size(), 86 + QString::number(row.orden).size());
    }

    void provincePrintout()
    {
        listings::Listing listing{
            listings::ListingKind::Province, titles(listings::ListingKind::Province), {}, {}, {}};
        for (int i = 1; i <= 70; ++i)
            listing.provinces.push_back({i, " Toledo ", QString::number(100 - i)});
        const Printout printout = listings::printout(listing);
        QCOMPARE(printout.size(), std::size_t(1)); // no page breaks of its own
        const auto& lines = printout[0].lines;
        QCOMPARE(texts(lines).mid(0, 11),
                 (QStringList{"", "", "", "Regional", "Clasificación Por Provincia", "", "", "", "", "",
                              listings::printedProvinceHeading()}));
        QCOMPARE(shapes(lines).mid(0, 12), (QStringList{"14b", "14b", "14b", "14bs", "14bs", "10b", "10b",
                                                        "10b", "10b", "10b", "10b", "10"}));
        QCOMPARE(lines[11].text, "  1       Toledo                         99");
        QCOMPARE(lines.back().text, "  70       Toledo                         30");
        QCOMPARE(listings::printedProvinceHeading().size(), 47);
    }
};

QTEST_GUILESS_MAIN(TestPrintout)
#include "test_printout.moc"
