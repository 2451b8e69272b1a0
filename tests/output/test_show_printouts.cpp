// The four show-day printouts written as PDFs and read back as their readers would: every cage
// or bird once, in the rules' order, on pages named and numbered; the QR codes; long texts cut.

#include "generator.h"
#include "output/printouts/show_printouts.h"
#include "output/qr_code.h"
#include "output/text_document.h"
#include "rules/judging/score_ranges.h"
#include "support/fixtures.h"
#include "support/pdf_pages.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <map>

using printouts::Kind;

namespace
{

// The cages of birds, in their order.
QString cagesOf(const std::vector<const printouts::Bird*>& birds)
{
    QStringList cages;
    for (const printouts::Bird* bird : birds)
        cages << QString::number(bird->jaula);
    return cages.join(u',');
}

// The entries of a printout's text: each line that matches the heading starts one, "heading:",
// unless it repeats the last (a page that goes on), and the first capture of each line that
// matches the item is added to it.
QStringList listed(const QString& text, const QRegularExpression& heading, const QRegularExpression& item)
{
    QStringList seen;
    for (const QString& line : text.split(u'\n')) {
        if (const QRegularExpressionMatch m = heading.match(line); m.hasMatch()) {
            const QString name = m.capturedTexts().mid(1).join(u' ');
            if (seen.isEmpty() || seen.last().section(u':', 0, 0) != name)
                seen << name + u':';
        } else if (const QRegularExpressionMatch i = item.match(line); i.hasMatch() && !seen.isEmpty()) {
            seen.last() += (seen.last().endsWith(u':') ? " " : ",") + i.captured(1);
        }
    }
    return seen;
}

} // namespace

class TestShowPrintouts : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    printouts::Show m_show;              // the generated show of 999 birds, three judges
    std::map<Kind, QStringList> m_pages; // each printout's pages as text
    std::map<Kind, int> m_counted;       // the page count writePdf gave

    // A small show of its own for a test, written as the printout of the kind; its pages.
    struct Small {
        QTemporaryDir dir;
        store::Database db = store::Database::create(dir.filePath("expo.mdb"), store::schema::exhibition());
        store::Database clubs = store::Database::create(dir.filePath("Club.mdb"), store::schema::clubs());
        Small() { fixtures::setConfig(db, 2, true); }
        QStringList pages(Kind kind, const printouts::Options& options = {}) const
        {
            printouts::writePdf(kind, printouts::readShow(db, &clubs), options, dir.filePath("p.pdf"));
            return pdfpages::pageTexts(dir.filePath("p.pdf"));
        }
    };

private slots:
    void initTestCase()
    {
        bench::ExhibitionSize size;
        size.cages = 999;
        size.jueces = size.judgesPerCage = 3;
        const bench::Generated generated = bench::generate(m_dir.path(), "expo.mdb", size);
        store::Database clubs = store::Database::open(generated.clubs, store::schema::clubs());
        m_show = printouts::readShow(store::Database::open(generated.exhibition, store::schema::exhibition()), &clubs);
        for (Kind kind : {Kind::Etiquetas, Kind::HojasJueces, Kind::Catalogo, Kind::Resguardos}) {
            const QString pdf = m_dir.filePath(printouts::commandName(kind) + ".pdf");
            m_counted[kind] = printouts::writePdf(kind, m_show, {}, pdf);
            m_pages[kind] = pdfpages::pageTexts(pdf);
        }
    }

    // The painter never broke a page the layout did not: the file has the pages counted, each
    // names the show and says which it is (a sheet of labels has no margin: each label names it).
    void everyPageIsNamedAndNumbered()
    {
        QCOMPARE(m_counted[Kind::Etiquetas], (999 + 23) / 24); // 24 labels to a sheet
        for (const auto& [kind, texts] : m_pages) {
            QCOMPARE(int(texts.size()), m_counted[kind]);
            for (int i = 0; i < int(texts.size()); ++i) {
                const QString numbered = QString("Página %1 de %2").arg(i + 1).arg(texts.size());
                QVERIFY2(texts[i].contains(m_show.nombre), qPrintable(texts[i]));
                QVERIFY2(kind == Kind::Etiquetas || (texts[i].contains(m_show.region) && texts[i].contains(numbered) &&
                                                     texts[i].count(QRegularExpression("Página \\d+ de")) == 1),
                         qPrintable(texts[i]));
            }
        }
    }

    // Every cage once, in order; judging is blind: no owner, licence, club or ring on a label.
    void labelsHoldEveryCageOnceInOrderAndNoOwner()
    {
        const QString text = m_pages[Kind::Etiquetas].join('\n');
        QStringList cages;
        for (const QRegularExpressionMatch& m :
             QRegularExpression("(?<![\\w.,-])(\\d+)(?![\\w.,-])").globalMatch(text))
            cages << m.captured(1);
        std::vector<const printouts::Bird*> all;
        for (const printouts::Bird& bird : m_show.birds) {
            all.push_back(&bird);
            QVERIFY2(!text.contains(bird.nombre) && !text.contains(bird.anilla), qPrintable(bird.nombre));
        }
        QCOMPARE(cages.join(u','), cagesOf(all));
        QVERIFY(!text.contains("Club") && !text.contains("Licencia"));
    }

    void judgesSheetsListEveryJudgedCageOncePerJudge()
    {
        for (const QString& page : m_pages[Kind::HojasJueces])
            // Each page names the criteria and their ranges as the judging window does.
            for (const judging::Apartado& apartado : judging::apartados())
                QVERIFY2(page.contains(apartado.label + ' ' + apartado.rangeLabel), qPrintable(apartado.label));
        const QString judged = cagesOf(printouts::judgedBirds(m_show));
        QCOMPARE(listed(m_pages[Kind::HojasJueces].join('\n'),
                        QRegularExpression("Juez Nº (\\d+) +Firma del juez: _+"),
                        QRegularExpression("^ *(\\d+) +[A-Z]+ +(?:Macho|Hembra) +(?:\\[ +\\] *){6}$")),
                 QStringList({"1: " + judged, "2: " + judged, "3: " + judged}));
    }

    // Every bird once, in the class and order the rules give it (their own tests hold which); a
    // class over a page goes on under its heading "(…, continuación)".
    void catalogueListsEveryBirdOnceInItsClass()
    {
        QStringList expected;
        for (const printouts::CatalogueClass& c : printouts::catalogueClasses(m_show))
            expected << QString("%1 (%2 palomas): %3").arg(c.heading).arg(c.birds.size()).arg(cagesOf(c.birds));
        QCOMPARE(listed(m_pages[Kind::Catalogo].join('\n'),
                        QRegularExpression("^ *((?:Grupo .+|Otras palomas) \\(\\d+ palomas?\\)) *$"),
                        QRegularExpression("^ *(\\d+) +\\d{7}-\\d\\d ")),
                 expected);
        QVERIFY(m_pages[Kind::Catalogo].first().contains("999 palomas"));
    }

    // Each exhibitor's birds once, on a receipt of their own (going on over a page under the same
    // owner), counted.
    void receiptsHoldEachOwnersBirdsOnce()
    {
        std::map<QString, QString> expected;
        QStringList counts;
        for (const printouts::Exhibitor& owner : printouts::exhibitors(m_show)) {
            expected[owner.nombre + '|' + owner.licencia + '|' + owner.club] = cagesOf(owner.birds);
            counts << QString::number(owner.birds.size());
        }
        static const QRegularExpression owner("^Propietario: (.+?) +Licencia: (\\S*)$"), club("^Club: (\\S*)"),
            bird("^ +(\\d+) +\\d{7}-\\d\\d "), count("^ +Palomas entregadas: (\\d+)$");
        std::map<QString, QString> seen;
        QStringList said;
        QString current;
        for (const QString& line : m_pages[Kind::Resguardos].join('\n').split('\n')) {
            if (const QRegularExpressionMatch m = owner.match(line); m.hasMatch())
                current = m.captured(1) + '|' + m.captured(2);
            else if (const QRegularExpressionMatch k = club.match(line); k.hasMatch())
                current += '|' + k.captured(1);
            else if (const QRegularExpressionMatch b = bird.match(line); b.hasMatch())
                seen[current] += (seen[current].isEmpty() ? "" : ",") + b.captured(1);
            else if (const QRegularExpressionMatch c = count.match(line); c.hasMatch())
                said << c.captured(1);
        }
        QCOMPARE(seen, expected);
        QCOMPARE(said, counts);
    }

    // What the label's QR code opens: the address as given, with "http://" when it names no
    // scheme, blanks and final slashes left out.
    void scoringUrl_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("url");
        QTest::newRow("address and port") << "192.168.1.20:8080" << "http://192.168.1.20:8080/puntuar?jaula=7";
        QTest::newRow("named address") << "https://expo.local/" << "https://expo.local/puntuar?jaula=7";
        QTest::newRow("blanks and slashes around") << " https://expo:8443// " << "https://expo:8443/puntuar?jaula=7";
    }
    void scoringUrl()
    {
        QFETCH(QString, address);
        QTEST(printouts::scoringUrl(address, 7), "url");
    }

    // On two sheets of labels, the second partly filled, cages not consecutive: each label's code
    // read back by zbar as its own cage's page.
    void labelQrCodesOpenTheCagesScoringPage()
    {
        Small small;
        QStringList expected;
        for (int i = 0; i < 30; ++i) {
            fixtures::addBird(small.db, 1 + i * 33, i % 7 == 0 ? "D" : "A", i % 2 ? "M" : "H", {{"categ", "B"}});
            expected << printouts::scoringUrl("10.0.0.7:8080", 1 + i * 33);
        }
        printouts::Options options;
        options.networkAddress = "10.0.0.7:8080";
        QCOMPARE(small.pages(Kind::Etiquetas, options).size(), 2);
        QStringList codes = pdfpages::qrCodes(small.dir.filePath("p.pdf"));
        codes.sort();
        expected.sort();
        QCOMPARE(codes, expected);
        QVERIFY(output::qrCode(QString(3000, 'x')).isNull()); // too long for any code: none, not a wrong one
        // One pixel a module inside four white ones, which a phone needs when no label is around it.
        const QImage code = output::qrCode(expected.first());
        QVERIFY(code.pixelColor(3, 3) == Qt::white && code.pixelColor(4, 4) == Qt::black);
    }

    // The cells are placed on the paper: a margin moves every label by as much, in the PDF too.
    void labelsMoveWithTheSheetsMargins()
    {
        Small small;
        fixtures::addBird(small.db, 5, "A", "M");
        auto xOfCage = [&](double leftMm) {
            printouts::Options options;
            options.sheet.leftMm = leftMm;
            small.pages(Kind::Etiquetas, options);
            const QString boxes = pdfpages::run("pdftotext", {"-bbox", small.dir.filePath("p.pdf"), "-"});
            const QRegularExpressionMatch m = QRegularExpression("xMin=\"([0-9.]+)\"[^>]*>5</word>").match(boxes);
            return m.hasMatch() ? m.captured(1).toDouble() : -100.0;
        };
        QCOMPARE(qRound((xOfCage(10) - xOfCage(0)) * 10), qRound(10 / 25.4 * 72 * 10));
    }

    // A receipt around a page's room, where the count and signature fall at the page's end, and
    // over two pages: every page holding Lucía's birds or her count names her.
    void aReceiptOverAPageGoesOnUnderItsOwner_data()
    {
        QTest::addColumn<int>("birds");
        for (int birds : {54, 55, 56, 57, 58, 59, 60, 130})
            QTest::addRow("%d birds", birds) << birds;
    }
    void aReceiptOverAPageGoesOnUnderItsOwner()
    {
        QFETCH(int, birds);
        Small small;
        QList<int> expected;
        for (int cage = 1; cage <= birds; ++cage) {
            fixtures::addBird(small.db, cage, "A", "H", {{"nombre", "Lucía"}, {"licencia", "77"}, {"anilla", "5"}});
            expected << cage;
        }
        fixtures::addBird(small.db, 999, "B", "M", {{"nombre", "Zoilo"}, {"anilla", "6"}});
        QList<int> cages;
        static const QRegularExpression row("^ +(\\d+) +0000005-");
        for (const QString& page : small.pages(Kind::Resguardos))
            for (const QString& line : page.split('\n')) {
                const QRegularExpressionMatch m = row.match(line);
                if (m.hasMatch())
                    cages << m.captured(1).toInt();
                if (m.hasMatch() || line.contains(QString("Palomas entregadas: %1").arg(birds)))
                    QVERIFY2(page.contains("Propietario: Lucía"), qPrintable(page));
            }
        QCOMPARE(cages, expected);
    }

    // Colour, owner and club cut to their columns (16, 28 and 22 characters), each before the
    // next column begins; on the receipt the owner keeps 40 characters before the licence.
    void longTextsAreCutToTheirColumns()
    {
        Small small;
        const QString owner = "Propietario Con Un Nombre Larguísimo Que No Cabe X"; // 50
        const QString club = "Real Sociedad Colombófila de Palomas Mensajeras";
        fixtures::addClub(small.clubs, "7", club, "Toledo");
        fixtures::addBird(small.db, 417, "B", "M",
                          {{"nombre", owner}, {"color", "Azul Barrado Mosaico"}, {"club", "7"},
                           {"licencia", "12345"}, {"anilla", "1234567"}});
        const QStringList catalogue = small.pages(Kind::Catalogo).join('\n').split('\n');
        const QString heading = catalogue.filter("Provincia").value(0);
        const QString line = catalogue.filter(QRegularExpression("^  417  ")).value(0);
        QCOMPARE(line.mid(heading.indexOf("Provincia")).trimmed(), "Toledo");
        for (const auto& [text, width] : {std::pair{QString("Azul Barrado Mosaico"), 16}, {owner, 28}, {club, 22}})
            QVERIFY2(line.contains(text.left(width) + ' ') && !line.contains(text.left(width + 1)), qPrintable(line));
        const QString receipt = small.pages(Kind::Resguardos).join('\n').split('\n').filter("Propietario: ").value(0);
        QVERIFY2(receipt.contains(owner.left(40)) && receipt.endsWith("  Licencia: 12345"), qPrintable(receipt));
    }

    void nothingToPrintIsSaid_data()
    {
        QTest::addColumn<int>("birds"); // of group D
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message");
        for (Kind kind : {Kind::Etiquetas, Kind::HojasJueces, Kind::Catalogo, Kind::Resguardos})
            QTest::addRow("no birds, %s", qPrintable(printouts::commandName(kind)))
                << 0 << kind << "No hay ninguna paloma recibida en esta exposición: no hay nada que imprimir.";
        QTest::newRow("group D only")
            << 2 << Kind::HojasJueces
            << "No hay ninguna paloma de los grupos A, B o C: las del grupo D no se puntúan.";
    }
    void nothingToPrintIsSaid()
    {
        QFETCH(int, birds);
        QFETCH(Kind, kind);
        Small small;
        for (int jaula = 1; jaula <= birds; ++jaula)
            fixtures::addBird(small.db, jaula, "D", "M", {{"categ", "A"}});
        QString said = "(impreso)";
        try {
            small.pages(kind);
        } catch (const listings::OutputError& e) {
            said = e.message();
        }
        QTEST(said, "message");
        QVERIFY(!QFileInfo::exists(small.dir.filePath("p.pdf")));
    }
};

QTEST_MAIN(TestShowPrintouts)
#include "test_show_printouts.moc"
