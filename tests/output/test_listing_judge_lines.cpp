// The listings of a large exhibition with varied scores, line by line against the stored rows:
// three to fourteen judges a bird and partial scores in thousandths, so that thousands of
// different scores pass through one listing. A fault that shows only on such data (a field read
// after the storage behind it moved) leaves a judge line with blanks where its scores belong.

#include "base/formats.h"
#include "generator.h"
#include "output/export_all.h"
#include "output/printout.h"
#include "output/text_document.h"
#include "rules/listings/openings.h"
#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace
{

// One row of Puntos, as the listing must show it.
struct StoredJudge {
    qint64 juez = 0;
    double puntos[5] = {};
    double puntost = 0;
};

// Where a judge line puts each field (counted from 0), five characters each.
constexpr int scoreColumns[6] = {4, 23, 45, 65, 77, 87};
constexpr int judgeLineWidth = 92;

QString expectedField(double value)
{
    return formats::fitRight(formats::score(value), 5);
}

// What is wrong with a judge line, or nothing: the judge's first digit, each score right-aligned
// in its column and read back as the stored value to the cent, blanks everywhere else.
QString judgeLineProblem(const QString& line, const StoredJudge& row)
{
    if (line.size() != judgeLineWidth)
        return QStringLiteral("%1 caracteres").arg(line.size());
    QString rest = line;
    if (line.mid(1, 1) != QString::number(row.juez).left(1))
        return QStringLiteral("juez %1").arg(row.juez);
    rest[1] = u' ';
    for (int i = 0; i < 6; ++i) {
        const double stored = i < 5 ? row.puntos[i] : row.puntost;
        const QString field = line.mid(scoreColumns[i], 5);
        const std::optional<double> shown = formats::parseNumber(field);
        if (field != expectedField(stored) || !shown || *shown != formats::roundScore(stored))
            return QStringLiteral("campo %1: «%2» en lugar de %3")
                .arg(i + 1)
                .arg(field)
                .arg(stored, 0, 'f', 3);
        rest.replace(scoreColumns[i], 5, QString(5, u' '));
    }
    if (!rest.trimmed().isEmpty())
        return QStringLiteral("texto fuera de sus columnas");
    return {};
}

} // namespace

class TestListingJudgeLines : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    bench::Generated m_files;
    QHash<qint64, std::vector<StoredJudge>> m_judges; // by cage, in the listing's order
    int m_judgedRows = 0;                             // rows of birds of groups A to C
    QString m_documents; // the documents as palomas-cli listados and "Exportar todos los listados" write them

    // Walks the bird blocks of a classification's lines: each bird line ("*"), then its judge
    // lines between the "_" line under the judges' heading and the "-" line that closes the
    // block. Returns the problems found, at most a few, and counts the lines checked.
    QStringList checkBlocks(const QStringList& lines, const QString& where, int& checked)
    {
        QStringList problems;
        const std::vector<StoredJudge>* rows = nullptr;
        qsizetype next = -1; // the index of the next judge line in rows; -1 outside the judges
        qint64 cage = 0;
        for (qsizetype i = 0; i < lines.size() && problems.size() < 8; ++i) {
            const QString& line = lines[i];
            if (line.startsWith(u'*')) {
                cage = line.mid(89).trimmed().toLongLong();
                rows = &m_judges[cage];
            } else if (line == QString(93, u'_')) {
                next = 0;
            } else if (line == QString(93, u'-')) {
                if (rows && next != qsizetype(rows->size()))
                    problems << QStringLiteral("%1, jaula %2: %3 líneas de jueces de %4")
                                    .arg(where)
                                    .arg(cage)
                                    .arg(next)
                                    .arg(rows->size());
                next = -1;
                rows = nullptr;
            } else if (next >= 0 && rows) {
                if (next >= qsizetype(rows->size())) {
                    problems
                        << QStringLiteral("%1, jaula %2: línea de más «%3»").arg(where).arg(cage).arg(line);
                } else if (const QString problem = judgeLineProblem(line, (*rows)[std::size_t(next)]);
                           !problem.isEmpty()) {
                    problems << QStringLiteral("%1, jaula %2, línea %3: %4\n«%5»")
                                    .arg(where)
                                    .arg(cage)
                                    .arg(next + 1)
                                    .arg(problem, line);
                }
                ++next;
                ++checked;
            }
        }
        return problems;
    }

private slots:
    void initTestCase()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        bench::ExhibitionSize size;
        size.cages = 999;
        size.judgesPerCage = 3;
        size.maxJudgesPerCage = 14;
        size.jueces = 14;
        size.stepsPerPoint = 1000;
        size.seed = 11;
        m_files = bench::generate(m_dir->path(), QStringLiteral("expo.mdb"), size);

        // The order of the listing: "order by juez ,puntost desc", ties in store order.
        store::Database db = store::Database::open(m_files.exhibition, store::schema::exhibition());
        store::Statement rows = db.prepare(QStringLiteral(
            "SELECT p.jaula, p.juez, p.puntos1, p.puntos2, p.puntos3, p.puntos4, p.puntos5, p.puntost "
            "FROM Puntos p JOIN Recepcion r ON r.jaula = CAST(p.jaula AS INTEGER) "
            "WHERE r.grupo IN ('A', 'B', 'C') ORDER BY p.juez, p.puntost DESC, p.rowid"));
        QSet<double> distinct;
        while (rows.step()) {
            StoredJudge judge;
            judge.juez = rows.int64(1);
            for (int i = 0; i < 5; ++i)
                distinct.insert(judge.puntos[i] = rows.real(2 + i));
            distinct.insert(judge.puntost = rows.real(7));
            m_judges[rows.text(0).toLongLong()].push_back(judge);
            ++m_judgedRows;
        }
        // Enough different scores that any cache of formatted fields grows many times over.
        QVERIFY2(distinct.size() > 5000, qPrintable(QString::number(distinct.size())));
        QVERIFY(m_judgedRows > 6000);

        m_documents = QDir(m_dir->path()).filePath(QStringLiteral("documentos"));
        QVERIFY(QDir().mkpath(m_documents));
        store::Database clubs = store::Database::open(m_files.clubs, store::schema::clubs());
        store::Recordset clubRs = clubs.openRecordset(QStringLiteral("select * from club "));
        QCOMPARE(listings::exportAll(db, clubRs, m_documents, false), 12);
    }

    // The six documents of groups A to C, read back from the files.
    void everyJudgeLineOfTheDocumentsShowsItsRow()
    {
        const QString folder = m_documents;
        int checked = 0;
        QStringList problems;
        for (const char* name : {"Grupo A Machos", "Grupo A Hembras", "Grupo B Machos", "Grupo B Hembras",
                                 "Grupo C Machos", "Grupo C Hembras"}) {
            QFile file(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".txt")));
            QVERIFY2(file.open(QIODevice::ReadOnly), name);
            // Windows-1252; the judge lines are plain ASCII, one byte a character.
            const QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
            problems << checkBlocks(lines, QString::fromLatin1(name), checked);
        }
        QCOMPARE(problems.join(u'\n'), QString());
        QCOMPARE(checked, m_judgedRows);
    }

    // The printout is made from the same text; its pages break inside the blocks.
    void everyJudgeLineOfThePrintoutsShowsItsRow()
    {
        store::Database db = store::Database::open(m_files.exhibition, store::schema::exhibition());
        store::Database clubs = store::Database::open(m_files.clubs, store::schema::clubs());
        store::Recordset clubRs = clubs.openRecordset(QStringLiteral("select * from club "));
        int checked = 0;
        QStringList problems;
        for (const listings::Listing& listing : listings::allListings(db, clubRs)) {
            if (listing.kind != listings::ListingKind::Classification)
                continue;
            // The text's lines are printed at 10 points; each page's titles, larger, come between.
            QStringList lines;
            for (const listings::PrintedPage& page : listings::printout(listing))
                for (const listings::PrintedLine& line : page.lines)
                    if (line.pointSize == 10)
                        lines << line.text;
            problems << checkBlocks(lines, listing.titles.label3, checked);
        }
        QCOMPARE(problems.join(u'\n'), QString());
        QCOMPARE(checked, m_judgedRows);
    }

    // The group D documents of the same exhibition: every bird of the category once, each row
    // with its own cage's ring, contests and coefficient.
    void everyGroupDRowShowsItsBird()
    {
        const QString folder = m_documents;
        store::Database db = store::Database::open(m_files.exhibition, store::schema::exhibition());
        for (const QChar categ : QStringLiteral("ABCDE")) {
            QHash<QString, QString> expected; // cage -> ring|contests|coefficient
            store::Statement birds = db.prepare(QStringLiteral(
                "SELECT jaula, anilla, \"año\", conc, coef FROM Recepcion WHERE grupo = 'D' AND "
                "categ = ?"));
            birds.bind(1, QString(categ));
            while (birds.step())
                expected.insert(birds.text(0),
                                QStringList{birds.text(2).mid(2, 2) + u'-' + birds.text(1),
                                            QString::number(birds.int64(3)), formats::score(birds.real(4))}
                                    .join(u'|'));
            QFile file(QDir(folder).filePath(QStringLiteral("sport DCateg%1.txt").arg(categ)));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
            const qsizetype heading = lines.indexOf(
                QStringLiteral(" Orden  Jaula      Anilla       Concursos    Coeficiente    Socio"));
            QVERIFY(heading > 0);
            QHash<QString, QString> listed;
            for (const QString& row : lines.mid(heading + 1, lines.size() - heading - 2))
                listed.insert(
                    row.mid(10, 3).trimmed(),
                    QStringList{row.mid(18, 10).trimmed(), row.mid(35, 2).trimmed(), row.mid(46, 6).trimmed()}
                        .join(u'|'));
            QVERIFY(expected.size() > 5);
            QCOMPARE(listed, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestListingJudgeLines)
#include "test_listing_judge_lines.moc"
