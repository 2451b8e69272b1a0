// The classifications of a large exhibition with varied scores, judge line by judge line against
// the stored rows: three to fourteen judges a bird and partial scores in thousandths, so that
// thousands of different scores pass through one listing. A fault that shows only on such data
// (a field read after the storage behind it moved) leaves a judge line with blanks where its
// scores belong.

#include "base/formats.h"
#include "generator.h"
#include "output/export_all.h"
#include "output/printout.h"
#include "rules/listings/openings.h"
#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTest>

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

} // namespace

class TestListingJudgeLines : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    bench::Generated m_files;
    QHash<QString, QStringList> m_expected; // by cage, its judge lines in the listing's order
    int m_judgedRows = 0;                   // rows of birds of groups A to C

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
        m_files = bench::generate(m_dir.path(), "expo.mdb", size);
        store::Database db = store::Database::open(m_files.exhibition, store::schema::exhibition());
        // The judge's first digit, then each score right-aligned in its five columns: the order
        // of the listing is "order by juez, puntost desc", ties in store order.
        store::Statement rows = db.prepare(
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
        // Enough different scores that any cache of formatted fields grows many times over.
        QVERIFY2(distinct.size() > 5000, qPrintable(QString::number(distinct.size())));
        QVERIFY(m_judgedRows > 6000);
    }

    // The six documents of groups A to C, as palomas-cli listados and "Exportar todos los
    // listados" write them, read back from the files.
    void everyJudgeLineOfTheDocumentsShowsItsRow()
    {
        store::Database db = store::Database::open(m_files.exhibition, store::schema::exhibition());
        store::Database clubs = store::Database::open(m_files.clubs, store::schema::clubs());
        store::Recordset clubRs = clubs.openRecordset("select * from club ");
        const QString folder = m_dir.filePath("documentos");
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(listings::exportAll(db, clubRs, folder, false), 12);
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

    // The printouts are made from the same texts; their pages break inside the blocks.
    void everyJudgeLineOfThePrintoutsShowsItsRow()
    {
        store::Database db = store::Database::open(m_files.exhibition, store::schema::exhibition());
        store::Database clubs = store::Database::open(m_files.clubs, store::schema::clubs());
        store::Recordset clubRs = clubs.openRecordset("select * from club ");
        QStringList found;
        for (const listings::Listing& listing : listings::allListings(db, clubRs)) {
            // The text's lines are printed at 10 points; each page's titles, larger, come between.
            QStringList lines;
            for (const listings::PrintedPage& page : listings::printout(listing))
                for (const listings::PrintedLine& line : page.lines)
                    if (line.pointSize == 10 && listing.kind == listings::ListingKind::Classification)
                        lines << line.text;
            found << judgeLinesOf(lines);
        }
        QCOMPARE(found.size(), m_judgedRows);
        QCOMPARE(found, expectedFor(found));
    }
};

QTEST_GUILESS_MAIN(TestListingJudgeLines)
#include "test_listing_judge_lines.moc"
