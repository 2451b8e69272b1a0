// The documents and printouts of a large generated show read back as their readers would. Three
// to fourteen judges a bird, scores in thousandths: a field read after the storage behind it moved
// leaves a judge line with blanks where its scores belong. The printouts: every cage or bird once,
// in the rules' order, on pages named and numbered; the QR codes; long texts cut.

#include "base/formats.h"
#include "generator.h"
#include "output/export_all.h"
#include "output/printouts/show_printouts.h"
#include "output/qr_code.h"
#include "output/text_document.h"
#include "output/xlsx/export_xlsx.h"
#include "output/xlsx/judge_workbooks.h"
#include "output/xlsx/listing_sheets.h"
#include "rules/import/score_import.h"
#include "rules/import/workbook_reader.h"
#include "rules/import/worksheet.h"
#include "rules/judging/score_ranges.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/openings.h"
#include "rules/records/closing.h"
#include "rules/records/statuses.h"
#include "support/fixtures.h"
#include "support/pdf_pages.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <map>

using imports::Cell;
using printouts::Kind;

namespace
{

// Each judge line of a classification's text under its bird, as "cage: line": the lines between
// the "_" line under the judges' heading and the "-" line that closes the bird's block.
QStringList judgeLinesOf(const QStringList& lines)
{
    QStringList found;
    QString cage;
    bool judges = false;
    for (const QString& line : lines) {
        if (line.startsWith(u'*'))
            cage = line.mid(89).trimmed();
        else if (line == QString(93, u'_') || line == QString(93, u'-'))
            judges = line.startsWith(u'_');
        else if (judges)
            found << cage + ": " + line;
    }
    return found;
}

std::vector<imports::Worksheet> readBack(const QString& path)
{
    std::vector<imports::Worksheet> sheets;
    for (imports::SheetCells& sheet : imports::readWorkbook(path, imports::defaultReaderSetup()))
        sheets.emplace_back(std::move(sheet));
    return sheets;
}

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

class TestShowOutputs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    store::Database m_db; // 999 birds, three to fourteen judges each
    store::Database m_clubs;
    QHash<QString, QStringList> m_expected;   // by cage, its judge lines in the listing's order
    int m_judgedRows = 0;                     // rows of birds of groups A to C
    std::vector<imports::Worksheet> m_sheets; // "Exportar a Excel", read back
    printouts::Show m_show;
    std::map<Kind, QStringList> m_pages; // each printout's pages as text
    std::map<Kind, int> m_counted;       // the page count writePdf gave

    // The judge lines the stored rows give, for the birds in the order the lines list them.
    QStringList expectedFor(const QStringList& found) const
    {
        QStringList expected;
        QString last;
        for (const QString& line : found)
            if (const QString cage = line.section(u':', 0, 0); cage != last)
                expected << m_expected.value(last = cage);
        return expected;
    }

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
        size.judgesPerCage = 3;
        size.maxJudgesPerCage = size.jueces = 14;
        size.stepsPerPoint = 1000;
        size.seed = 11;
        const bench::Generated generated = bench::generate(m_dir.path(), "expo.mdb", size);
        m_db = store::Database::open(generated.exhibition, store::schema::exhibition());
        m_clubs = store::Database::open(generated.clubs, store::schema::clubs());
        // The judge's first digit, then each score right-aligned in its five columns: the order
        // of the listing is "order by juez, puntost desc", ties in store order.
        store::Statement rows = m_db.prepare(
            "SELECT p.jaula, p.juez, p.puntos1, p.puntos2, p.puntos3, p.puntos4, p.puntos5, p.puntost "
            "FROM Puntos p JOIN Recepcion r ON r.jaula = CAST(p.jaula AS INTEGER) "
            "WHERE r.grupo IN ('A', 'B', 'C') ORDER BY p.juez, p.puntost DESC, p.rowid");
        QSet<double> distinct;
        while (rows.step()) {
            QString line(92, u' ');
            line[1] = rows.text(1).at(0);
            const int columns[6] = {4, 23, 45, 65, 77, 87};
            for (int i = 0; i < 6; ++i) {
                distinct.insert(rows.real(2 + i));
                line.replace(columns[i], 5, formats::fitRight(formats::score(rows.real(2 + i)), 5));
            }
            m_expected[rows.text(0)] << rows.text(0) + ": " + line;
            ++m_judgedRows;
        }
        QVERIFY2(distinct.size() > 5000, qPrintable(QString::number(distinct.size()))); // caches overflow
        store::Recordset clubs = m_clubs.openRecordset("select * from club ");
        QCOMPARE(output::exportXlsx(m_db, clubs, m_dir.filePath("Clasificaciones.xlsx")), 12);
        m_sheets = readBack(m_dir.filePath("Clasificaciones.xlsx"));
        m_show = printouts::readShow(m_db, &m_clubs);
        for (Kind kind : {Kind::Etiquetas, Kind::HojasJueces, Kind::Catalogo, Kind::Resguardos}) {
            const QString pdf = m_dir.filePath(printouts::commandName(kind) + ".pdf");
            m_counted[kind] = printouts::writePdf(kind, m_show, {}, pdf);
            m_pages[kind] = pdfpages::pageTexts(pdf);
        }
    }

    // The six documents of groups A to C, as palomas-cli listados and "Exportar todos los
    // listados" write them, read back from the files.
    void everyJudgeLineOfTheDocumentsShowsItsRow()
    {
        store::Recordset clubs = m_clubs.openRecordset("select * from club ");
        const QString folder = m_dir.filePath("documentos");
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(listings::exportAll(m_db, clubs, folder, false), 12);
        QStringList found;
        for (const char* name : {"Grupo A Machos", "Grupo A Hembras", "Grupo B Machos", "Grupo B Hembras",
                                 "Grupo C Machos", "Grupo C Hembras"}) {
            QFile file(QDir(folder).filePath(QString::fromLatin1(name) + ".txt"));
            QVERIFY2(file.open(QIODevice::ReadOnly), name);
            // Windows-1252; the judge lines are plain ASCII, one byte a character.
            found << judgeLinesOf(QString::fromLatin1(file.readAll()).split("\r\n"));
        }
        QCOMPARE(found.size(), m_judgedRows);
        QCOMPARE(found, expectedFor(found));
    }

    // Each table as the listings give it: the show's name and the title above the headers, and
    // every value in its cell, a number as a number.
    void everyTableCellForCell()
    {
        store::Recordset clubs = m_clubs.openRecordset("select * from club ");
        const std::vector<output::xlsx::ListingSheet> tables = output::xlsx::listingSheets(m_db, clubs);
        QCOMPARE(m_sheets.size(), tables.size());
        for (std::size_t i = 0; i < tables.size(); ++i) {
            const imports::Worksheet& sheet = m_sheets[i];
            const output::xlsx::ListingSheet& table = tables[i];
            QCOMPARE(sheet.cell(1, 1).toText(), listings::exhibitionName(m_db));
            QCOMPARE(sheet.cell(2, 1).toText(), table.title);
            QCOMPARE(sheet.rowCount(), 4 + int(table.rows.size()));
            QVERIFY2(table.rows.size() > 5, qPrintable(table.name));
            for (int c = 0; c < int(table.headers.size()); ++c)
                QCOMPARE(sheet.cell(4, c + 1).toText(), table.headers[c]);
            for (int r = 0; r < int(table.rows.size()); ++r)
                for (int c = 0; c < int(table.rows[r].size()); ++c) {
                    const QVariant& value = table.rows[r][c];
                    const Cell cell = sheet.cell(5 + r, c + 1);
                    const bool number = value.typeId() == QMetaType::Double;
                    QCOMPARE(cell.kind, number ? Cell::Kind::Number
                                               : value.toString().isEmpty() ? Cell::Kind::Empty : Cell::Kind::Text);
                    QCOMPARE(number ? QVariant(cell.number) : QVariant(cell.text), value);
                }
        }
    }

    // One absent bird, the last of its classification: every document and table is the show's,
    // but for the bird's block or row, which goes to the section after the ranking.
    void anAbsentBirdLeavesItsRankingForItsSection()
    {
        QVERIFY(QFile::copy(m_db.path(), m_dir.filePath("ausente.mdb")));
        store::Database db = store::Database::open(m_dir.filePath("ausente.mdb"), store::schema::exhibition());
        store::Recordset clubs = m_clubs.openRecordset("select * from club ");
        const std::vector<listings::Listing> before = listings::allListings(db, clubs);
        const std::vector<output::xlsx::ListingSheet> tables = output::xlsx::listingSheets(db, clubs);
        const int cage = listings::clasificacion(db, "A", "M").back().jaula.toInt();
        records::setStatus(db, cage, {}, records::Status::Ausente, {});
        const std::vector<listings::Listing> after = listings::allListings(db, clubs);
        QStringList expected = listings::documentLines(before[0]);
        const qsizetype last = expected.lastIndexOf(listings::birdHeading());
        expected.remove(last, expected.size() - 1 - last);
        QCOMPARE(after[0].unranked.size(), 1);
        QVERIFY(after[0].unranked[0].startsWith(QString::number(cage).rightJustified(5) + "  ") &&
                after[0].unranked[0].endsWith("  Ausente"));
        expected << QString(95, u' ') << QString(95, u' ') << "Ausentes y descalificadas" << QString(95, u' ')
                 << after[0].unranked[0];
        QCOMPARE(listings::documentLines(after[0]), expected);
        for (std::size_t i = 1; i < before.size(); ++i)
            QCOMPARE(listings::documentBytes(after[i]), listings::documentBytes(before[i]));
        const std::vector<output::xlsx::ListingSheet> tablesAfter = output::xlsx::listingSheets(db, clubs);
        QCOMPARE(tablesAfter[0].rows, std::vector(tables[0].rows.begin(), tables[0].rows.end() - 1));
        QCOMPARE(tablesAfter[0].unranked, after[0].unranked);
    }

    // The rows of a classification are its birds, places 1, 2, 3... (in the listings' order), each
    // with its own ring, owner, club and the club's province.
    void classificationRowsAreTheBirds()
    {
        const imports::Worksheet& sheet = m_sheets.front(); // Grupo A Machos
        store::Recordset birds = m_db.openRecordset("select * from recepcion where grupo = 'A' and sexo = 'M'");
        QCOMPARE(sheet.rowCount() - 4, birds.recordCount());
        QSet<double> cages;
        for (int r = 5; r <= sheet.rowCount(); ++r) {
            QCOMPARE(sheet.cell(r, 1).number, double(r - 4));
            cages.insert(sheet.cell(r, 2).number);
            QVERIFY(birds.findFirst(QStringLiteral("jaula = %1").arg(sheet.cell(r, 2).number)));
            const QString anilla = birds.text("anilla").trimmed();
            const QString club = birds.text("club").trimmed();
            QCOMPARE(QStringList({sheet.cell(r, 3).toText(), sheet.cell(r, 6).toText(), sheet.cell(r, 7).toText(),
                                  sheet.cell(r, 8).toText(), sheet.cell(r, 9).toText()}),
                     QStringList({QString(7 - anilla.size(), u'0') + anilla + u'-' + birds.text("año").mid(2, 2),
                                  birds.text("nombre").trimmed(), club,
                                  fixtures::column(m_clubs, "select * from club where codigo = " + store::quote(club),
                                                   "provincia").trimmed(),
                                  Cell::ofNumber(birds.value("puntos").toDouble()).toText()}));
        }
        QCOMPARE(cages.size(), qsizetype(birds.recordCount()));
    }

    // One workbook a judge, the birds of groups A to C in cage order; filled in by openpyxl, as
    // a steward's spreadsheet would be, and imported back by the score import.
    void judgeWorkbooksRoundTrip()
    {
        const QString folder = m_dir.filePath("jueces");
        QVERIFY(QDir().mkpath(folder));
        const QString expo = m_dir.filePath("sin-puntos.mdb");
        QVERIFY(QFile::copy(m_db.path(), expo));
        store::Database db = store::Database::open(expo, store::schema::exhibition());
        db.execute("DELETE FROM Puntos");
        QCOMPARE(output::writeJudgeWorkbooks(db, folder), 14);
        QList<double> cages;
        store::Statement s = db.prepare("SELECT jaula FROM Recepcion WHERE grupo <> 'D' ORDER BY jaula");
        while (s.step())
            cages << s.real(0);

        // Judge j gives 8.5, 9, 17.5 + j / 2, 28, 28.5; the first bird gets "SP" from judge 2.
        const QString fill = R"(
import sys, openpyxl
path, judge = sys.argv[1], int(sys.argv[2])
book = openpyxl.load_workbook(path)
sheet = book["Hoja1"]
for row in range(5, sheet.max_row + 1):
    for c, v in enumerate([8.5, "SP" if judge == 2 and row == 5 else 9, 17.5 + judge / 2, 28, 28.5, 91.5 + judge / 2]):
        sheet.cell(row=row, column=9 + c, value=v)
book.save(path)
)";
        for (int judge = 1; judge <= 3; ++judge) {
            const QString path = QDir(folder).filePath(QStringLiteral("Juez %1.xlsx").arg(judge));
            const imports::Worksheet written = readBack(path).at(0);
            QCOMPARE(written.cell(2, 2).number, double(judge));
            QList<double> listed;
            for (int r = 5; r <= written.rowCount(); ++r)
                listed << written.cell(r, 1).number;
            QCOMPARE(listed, cages);
            QCOMPARE(QProcess::execute("/usr/bin/python3", {"-c", fill, path, QString::number(judge)}), 0);
            const imports::ScoreSheet sheet = imports::readScores(path);
            QCOMPARE(sheet.juez, QString::number(judge));
            QCOMPARE(imports::storeScores(db, sheet.rows, sheet.juez).stored, int(cages.size()) - (judge == 2 ? 1 : 0));
        }
        const QString first = "select * from puntos where jaula = '" + QString::number(cages.first()) + "'";
        QCOMPARE(fixtures::column(db, first + " order by juez", "juez"), "1,3");
        QCOMPARE(fixtures::column(db, first + " and juez = 3", "puntos3"), "19");
        QCOMPARE(db.openRecordset("select * from puntos").recordCount(), 3 * cages.size() - 1);
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
        QStringList expected;
        for (int juez = 1; juez <= 14; ++juez)
            expected << QString::number(juez) + ": " + cagesOf(printouts::judgedBirds(m_show));
        QCOMPARE(listed(m_pages[Kind::HojasJueces].join('\n'),
                        QRegularExpression("Juez Nº (\\d+) +Firma del juez: _+"),
                        QRegularExpression("^ *(\\d+) +[A-Z]+ +(?:Macho|Hembra) +(?:\\[ +\\] *){6}$")),
                 expected);
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

    // On two sheets of labels, the second partly filled, cages not consecutive: each label's code
    // read back by zbar as its own cage's page, "http://" added to an address without it, blanks
    // and final slashes left out.
    void labelQrCodesOpenTheCagesScoringPage()
    {
        Small small;
        QStringList expected;
        for (int i = 0; i < 30; ++i) {
            fixtures::addBird(small.db, 1 + i * 33, i % 7 == 0 ? "D" : "A", i % 2 ? "M" : "H", {{"categ", "B"}});
            expected << QStringLiteral("http://10.0.0.7:8080/puntuar?jaula=%1").arg(1 + i * 33);
        }
        printouts::Options options;
        options.networkAddress = " 10.0.0.7:8080// ";
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

    // Closed (last: the show stays closed), every listing's document, printout and table, and every
    // printout but the labels, ends with the seal on a line of its own.
    void closedShowDocumentsEndWithTheSeal()
    {
        const QString line = "Sello: " + records::closeShow(m_db);
        store::Recordset clubs = m_clubs.openRecordset("select * from club ");
        for (const listings::Listing& listing : listings::allListings(m_db, clubs)) {
            QCOMPARE(listings::documentLines(listing).last(), line);
            if (listing.canBeSaved())
                QCOMPARE(listings::printout(listing).back().lines.back().text, line);
        }
        output::exportXlsx(m_db, clubs, m_dir.filePath("cerrada.xlsx"));
        for (const imports::Worksheet& sheet : readBack(m_dir.filePath("cerrada.xlsx")))
            QCOMPARE(sheet.cell(sheet.rowCount(), 1).toText(), line);
        for (Kind kind : {Kind::HojasJueces, Kind::Catalogo, Kind::Resguardos})
            QCOMPARE(printouts::build(kind, printouts::readShow(m_db, &m_clubs), {}).back().lines.back().text, line);
    }
};

QTEST_MAIN(TestShowOutputs)
#include "test_show_outputs.moc"
