// The documents of a large show read back: the judge lines against the stored rows, "Exportar a
// Excel" cell for cell, the judges' workbooks filled in by openpyxl and imported. Thousands of
// different scores pass through one listing: a field read after the storage behind it moved
// leaves a judge line with blanks where its scores belong.

#include "base/formats.h"
#include "generator.h"
#include "output/export_all.h"
#include "output/xlsx/export_xlsx.h"
#include "output/xlsx/judge_workbooks.h"
#include "output/xlsx/listing_sheets.h"
#include "rules/import/score_import.h"
#include "rules/import/workbook_reader.h"
#include "rules/import/worksheet.h"
#include "rules/listings/openings.h"
#include "support/fixtures.h"

#include <QDir>
#include <QHash>
#include <QProcess>
#include <QTest>

using imports::Cell;

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

} // namespace

class TestShowDocuments : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    bench::Generated m_show;
    store::Database m_db;
    store::Database m_clubs;
    QHash<QString, QStringList> m_expected; // by cage, its judge lines in the listing's order
    int m_judgedRows = 0;                   // rows of birds of groups A to C
    std::vector<imports::Worksheet> m_sheets; // "Exportar a Excel", read back

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

private slots:
    void initTestCase()
    {
        bench::ExhibitionSize size;
        size.cages = 999;
        size.judgesPerCage = 3;
        size.maxJudgesPerCage = size.jueces = 14;
        size.stepsPerPoint = 1000;
        size.seed = 11;
        m_show = bench::generate(m_dir.path(), "expo.mdb", size);
        m_db = store::Database::open(m_show.exhibition, store::schema::exhibition());
        m_clubs = store::Database::open(m_show.clubs, store::schema::clubs());
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

    // The rows of a classification are its birds, places 1, 2, 3... best score first, each with
    // its own ring, owner, club and the club's province.
    void classificationRowsAreTheBirds()
    {
        const imports::Worksheet& sheet = m_sheets.front(); // Grupo A Machos
        store::Recordset birds = m_db.openRecordset("select * from recepcion where grupo = 'A' and sexo = 'M'");
        QCOMPARE(sheet.rowCount() - 4, birds.recordCount());
        double previous = 1e9;
        QSet<double> cages;
        for (int r = 5; r <= sheet.rowCount(); ++r) {
            QCOMPARE(sheet.cell(r, 1).number, double(r - 4));
            QVERIFY2(sheet.cell(r, 9).number <= previous, qPrintable(QString::number(r)));
            previous = sheet.cell(r, 9).number;
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
        QVERIFY(QFile::copy(m_show.exhibition, expo));
        store::Database db = store::Database::open(expo, store::schema::exhibition());
        db.execute("DELETE FROM Puntos");
        QCOMPARE(output::writeJudgeWorkbooks(db, folder), 14);
        QVERIFY(QFile::exists(QDir(folder).filePath("Juez 14.xlsx")));
        QList<double> cages;
        store::Statement s = db.prepare("SELECT jaula FROM Recepcion WHERE grupo <> 'D' ORDER BY jaula");
        while (s.step())
            cages << s.real(0);
        QVERIFY(cages.size() > 800);

        // Judge j gives 8.5, 9, 17.5 + j / 2, 28, 28.5; the first bird gets "SP" from judge 2.
        const QString fill = R"(
import sys, openpyxl
path, judge = sys.argv[1], int(sys.argv[2])
book = openpyxl.load_workbook(path)
sheet = book["Hoja1"]
row = 5
while sheet.cell(row=row, column=1).value is not None:
    scores = [8.5, "SP" if judge == 2 and row == 5 else 9, 17.5 + judge / 2, 28, 28.5]
    for c, v in enumerate(scores + [91.5 + judge / 2]):
        sheet.cell(row=row, column=9 + c, value=v)
    row += 1
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
};

QTEST_GUILESS_MAIN(TestShowDocuments)
#include "test_show_documents.moc"
