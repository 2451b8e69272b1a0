// "Exportar a Excel" and the judges' workbooks, written for generated exhibitions and read back
// through the real reader process: the sheets, their titles, headers and rows as the listings
// rank them, numbers as numbers; the judges' workbooks filled in by openpyxl and imported back
// through the real score import; a workbook that cannot be replaced is left as it was.

#include "generator.h"
#include "output/text_document.h"
#include "output/xlsx/export_xlsx.h"
#include "output/xlsx/judge_workbooks.h"
#include "rules/import/score_import.h"
#include "rules/import/workbook_reader.h"
#include "rules/import/worksheet.h"
#include "store/database.h"
#include "support/fixtures.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using imports::Cell;
using imports::SheetCells;

namespace
{

Cell cellOf(const SheetCells& sheet, int row, int column)
{
    for (const auto& [key, cell] : sheet.cells)
        if (key == SheetCells::cellKey(row, column))
            return cell;
    return {};
}

QStringList rowTexts(const SheetCells& sheet, int row, int columns)
{
    QStringList texts;
    for (int c = 1; c <= columns; ++c)
        texts << cellOf(sheet, row, c).toText();
    return texts;
}

const QStringList sheetNames = {"Grupo A Machos",  "Grupo A Hembras", "Grupo B Machos",
                                "Grupo B Hembras", "Grupo C Machos",  "Grupo C Hembras",
                                "sport DCategA",   "sport DCategB",   "sport DCategC",
                                "sport DCategD",   "sport DCategE",   "Clasificación Por Provincia"};
const QStringList classificationHeaders = {"Puesto",      "Jaula", "Anilla",    "Color", "Licencia",
                                           "Propietario", "Club",  "Provincia", "Puntos"};
const QStringList groupDHeaders = {"Puesto", "Jaula", "Anilla", "Concursos", "Coeficiente", "Propietario"};
const QStringList provinceHeaders = {"Puesto", "Provincia", "Puntos"};
constexpr int headerRow = 4;

} // namespace

class TestExportXlsx : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    bench::Generated m_show;
    std::vector<SheetCells> m_sheets;

    static std::vector<SheetCells> readBack(const QString& path)
    {
        return imports::readWorkbook(path, imports::defaultReaderSetup());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        bench::ExhibitionSize size;
        size.cages = 999;
        size.jueces = size.judgesPerCage = 3;
        m_show = bench::generate(m_dir.path(), QStringLiteral("expo.mdb"), size);
        store::Database db = store::Database::open(m_show.exhibition, store::schema::exhibition());
        store::Database clubs = store::Database::open(m_show.clubs, store::schema::clubs());
        store::Recordset clubRs = clubs.openRecordset(QStringLiteral("select * from club "));
        const QString path = m_dir.filePath(QStringLiteral("Clasificaciones.xlsx"));
        QCOMPARE(output::exportXlsx(db, clubRs, path), 12);
        m_sheets = readBack(path);
    }

    void sheetsNamedLikeTheirDocumentsInTheListingsOrder()
    {
        QStringList names;
        for (const SheetCells& sheet : m_sheets)
            names << sheet.name;
        QCOMPARE(names, sheetNames);
    }

    void showNameInTheDocumentProperties()
    {
        // Unpacked by Python's zipfile: libxlsxwriter and QuaZip carry minizip functions of the same
        // names, so that no process of the program links both (QuaZip lives in palomas-lector).
        QProcess python;
        python.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1])"
                            ".read('docProps/core.xml'))"),
             m_dir.filePath(QStringLiteral("Clasificaciones.xlsx"))});
        QVERIFY(python.waitForFinished(60000));
        const QString xml = QString::fromUtf8(python.readAllStandardOutput());
        store::Database db = store::Database::open(m_show.exhibition, store::schema::exhibition());
        const QString nombre =
            fixtures::column(db, QStringLiteral("select * from config"), QStringLiteral("nombre"));
        QVERIFY(!nombre.isEmpty());
        QVERIFY2(xml.contains(QStringLiteral("<dc:title>%1</dc:title>").arg(nombre.toHtmlEscaped())),
                 qPrintable(xml));
    }

    void titlesAndHeaders_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("headers");
        const char* classifications[] = {"Grupo A Machos",  "Grupo A Hembras", "Grupo B Machos",
                                         "Grupo B Hembras", "Grupo C Machos",  "Grupo C Hembras"};
        for (int i = 0; i < 6; ++i)
            QTest::newRow(classifications[i])
                << i << QStringLiteral("Clasificación General - ") + QString::fromUtf8(classifications[i])
                << classificationHeaders;
        for (int i = 0; i < 5; ++i)
            QTest::newRow(qPrintable(sheetNames[6 + i]))
                << 6 + i << QStringLiteral("Clasificación General - Grupo D  Categoria ") + QChar(u'A' + i)
                << groupDHeaders;
        QTest::newRow("provinces") << 11 << QStringLiteral("Clasificación Por Provincia") << provinceHeaders;
    }
    void titlesAndHeaders()
    {
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(QStringList, headers);
        const SheetCells& sheet = m_sheets.at(std::size_t(index));
        store::Database db = store::Database::open(m_show.exhibition, store::schema::exhibition());
        QCOMPARE(cellOf(sheet, 1, 1).toText(),
                 fixtures::column(db, QStringLiteral("select * from config"), QStringLiteral("nombre")));
        QCOMPARE(cellOf(sheet, 2, 1).toText(), title);
        QCOMPARE(rowTexts(sheet, headerRow, int(headers.size())), headers);
        QVERIFY(sheet.rows > headerRow); // every listing of a show of 999 cages has rows
    }

    // Each classification: every bird of its group and sex once, places 1, 2, 3..., best score
    // first, each row the bird's own ring, owner, club and the club's province, the score a number.
    void classificationRows_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("grupo");
        QTest::addColumn<QString>("sexo");
        int i = 0;
        for (const char* grupo : {"A", "B", "C"})
            for (const char* sexo : {"M", "H"}) {
                QTest::newRow(qPrintable(sheetNames[i])) << i << grupo << sexo;
                ++i;
            }
    }
    void classificationRows()
    {
        QFETCH(int, index);
        QFETCH(QString, grupo);
        QFETCH(QString, sexo);
        const SheetCells& sheet = m_sheets.at(std::size_t(index));
        store::Database db = store::Database::open(m_show.exhibition, store::schema::exhibition());
        store::Database clubs = store::Database::open(m_show.clubs, store::schema::clubs());
        store::Recordset birds =
            db.openRecordset(QStringLiteral("select * from recepcion where grupo = %1 and sexo = %2")
                                 .arg(store::quote(grupo), store::quote(sexo)));
        QCOMPARE(sheet.rows - headerRow, birds.recordCount());
        double previous = 1e9;
        QSet<qint64> cages;
        for (int r = headerRow + 1; r <= sheet.rows; ++r) {
            QCOMPARE(cellOf(sheet, r, 1).kind, Cell::Kind::Number);
            QCOMPARE(cellOf(sheet, r, 1).number, double(r - headerRow));
            const Cell puntos = cellOf(sheet, r, 9);
            QCOMPARE(puntos.kind, Cell::Kind::Number);
            QVERIFY2(puntos.number <= previous, qPrintable(QStringLiteral("fila %1").arg(r)));
            previous = puntos.number;
            const qint64 jaula = qint64(cellOf(sheet, r, 2).number);
            cages.insert(jaula);
            QVERIFY(birds.findFirst(QStringLiteral("jaula = %1").arg(jaula)));
            QCOMPARE(puntos.number, birds.value(QStringLiteral("puntos")).toDouble());
            const QString anilla = birds.text(QStringLiteral("anilla")).trimmed();
            QCOMPARE(cellOf(sheet, r, 3).toText(), QString(7 - anilla.size(), u'0') + anilla + u'-' +
                                                       birds.text(QStringLiteral("año")).mid(2, 2));
            QCOMPARE(cellOf(sheet, r, 6).toText(), birds.text(QStringLiteral("nombre")).trimmed());
            const QString club = birds.text(QStringLiteral("club")).trimmed();
            QCOMPARE(cellOf(sheet, r, 7).toText(), club);
            QCOMPARE(cellOf(sheet, r, 8).toText(),
                     fixtures::column(
                         clubs, QStringLiteral("select * from club where codigo = ") + store::quote(club),
                         QStringLiteral("provincia"))
                         .trimmed());
        }
        QCOMPARE(cages.size(), qsizetype(birds.recordCount()));
    }

    // Group D: more contests first; at equal contests the higher coefficient first in categories
    // A and B, the lower first in C, D and E.
    void groupDRows_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("categ");
        QTest::addColumn<bool>("higherFirst");
        const char* categories = "ABCDE";
        for (int i = 0; i < 5; ++i)
            QTest::newRow(qPrintable(sheetNames[6 + i])) << 6 + i << QString(QChar(categories[i])) << (i < 2);
    }
    void groupDRows()
    {
        QFETCH(int, index);
        QFETCH(QString, categ);
        QFETCH(bool, higherFirst);
        const SheetCells& sheet = m_sheets.at(std::size_t(index));
        store::Database db = store::Database::open(m_show.exhibition, store::schema::exhibition());
        store::Recordset birds = db.openRecordset(
            QStringLiteral("select * from recepcion where grupo = 'D' and categ = ") + store::quote(categ));
        QCOMPARE(sheet.rows - headerRow, birds.recordCount());
        for (int r = headerRow + 2; r <= sheet.rows; ++r) {
            const double conc = cellOf(sheet, r, 4).number;
            const double before = cellOf(sheet, r - 1, 4).number;
            QCOMPARE(cellOf(sheet, r, 4).kind, Cell::Kind::Number);
            QCOMPARE(cellOf(sheet, r, 5).kind, Cell::Kind::Number);
            QVERIFY(conc <= before);
            if (conc == before) {
                const double coef = cellOf(sheet, r, 5).number;
                const double previous = cellOf(sheet, r - 1, 5).number;
                QVERIFY2(higherFirst ? coef <= previous : coef >= previous,
                         qPrintable(QStringLiteral("fila %1").arg(r)));
            }
            QVERIFY(birds.findFirst(QStringLiteral("jaula = %1").arg(qint64(cellOf(sheet, r, 2).number))));
            QCOMPARE(cellOf(sheet, r, 5).number, birds.value(QStringLiteral("coef")).toDouble());
        }
    }

    // The provinces as the province work table holds them after the export, best first.
    void provinceRows()
    {
        const SheetCells& sheet = m_sheets.back();
        store::Database db = store::Database::open(m_show.exhibition, store::schema::exhibition());
        store::Recordset totals =
            db.openRecordset(QStringLiteral("select * from lclub1 order by puntos desc"));
        QCOMPARE(sheet.rows - headerRow, totals.recordCount());
        int r = headerRow + 1;
        for (totals.moveFirst(); !totals.eof(); totals.moveNext(), ++r) {
            QCOMPARE(cellOf(sheet, r, 2).toText(), totals.text(QStringLiteral("provincia")).trimmed());
            QCOMPARE(cellOf(sheet, r, 3).kind, Cell::Kind::Number);
            QCOMPARE(cellOf(sheet, r, 3).number, totals.value(QStringLiteral("puntos")).toDouble());
        }
    }

    // A workbook already there stays as it was when the new one cannot replace it: here the name
    // is taken by a folder. (A missing folder is told by palomas-cli exportar-xlsx and the menu.)
    void aWorkbookThatCannotBeReplacedStaysAsItWas()
    {
        store::Database db = store::Database::open(m_show.exhibition, store::schema::exhibition());
        store::Database clubs = store::Database::open(m_show.clubs, store::schema::clubs());
        store::Recordset clubRs = clubs.openRecordset(QStringLiteral("select * from club "));
        const QString taken = m_dir.filePath(QStringLiteral("ocupado.xlsx"));
        QVERIFY(QDir().mkpath(QDir(taken).filePath(QStringLiteral("dentro"))));
        QVERIFY_THROWS_EXCEPTION(listings::OutputError, output::exportXlsx(db, clubRs, taken));
        QVERIFY(QFileInfo(QDir(taken).filePath(QStringLiteral("dentro"))).isDir());
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.tmp*"), QStringLiteral("*~")}),
                 QStringList());
    }

    // The judges' workbooks: one a judge, the birds of groups A to C in cage order; filled in by
    // openpyxl, as a steward's spreadsheet would be, and imported back by the score import.
    void judgeWorkbooksRoundTrip()
    {
        const QString folder = m_dir.filePath(QStringLiteral("jueces"));
        QVERIFY(QDir().mkpath(folder));
        const QString expo = m_dir.filePath(QStringLiteral("sin-puntos.mdb"));
        QVERIFY(QFile::copy(m_show.exhibition, expo));
        store::Database db = store::Database::open(expo, store::schema::exhibition());
        db.execute(QStringLiteral("DELETE FROM Puntos"));
        QCOMPARE(output::writeJudgeWorkbooks(db, folder), 3);
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
                 QStringList({"Juez 1.xlsx", "Juez 2.xlsx", "Juez 3.xlsx"}));

        store::Recordset birds =
            db.openRecordset(QStringLiteral("select * from recepcion where grupo <> 'D'"));
        QList<qint64> cages;
        for (birds.moveFirst(); !birds.eof(); birds.moveNext())
            cages << birds.value(QStringLiteral("jaula")).toLongLong();
        std::sort(cages.begin(), cages.end());
        QVERIFY(cages.size() > 800);

        // Scores: judge j gives 8.5, 9, 17.5 + j / 2, 28, 28.5; the first bird gets "SP" from judge 2.
        const QString fill = QStringLiteral(R"(
import sys, openpyxl
path, judge = sys.argv[1], int(sys.argv[2])
book = openpyxl.load_workbook(path)
sheet = book["Hoja1"]
row = 5
while sheet.cell(row=row, column=1).value is not None:
    scores = [8.5, 9, 17.5 + judge / 2, 28, 28.5]
    if judge == 2 and row == 5:
        scores[1] = "SP"
    for c, v in enumerate(scores):
        sheet.cell(row=row, column=9 + c, value=v)
    sheet.cell(row=row, column=14, value=91.5 + judge / 2)
    row += 1
book.save(path)
)");
        for (int judge = 1; judge <= 3; ++judge) {
            const QString path = QDir(folder).filePath(QStringLiteral("Juez %1.xlsx").arg(judge));
            const std::vector<SheetCells> written = readBack(path);
            QCOMPARE(written.size(), std::size_t(1));
            QCOMPARE(written[0].name, QStringLiteral("Hoja1"));
            QCOMPARE(cellOf(written[0], 2, 2).number, double(judge));
            QCOMPARE(written[0].rows - 4, int(cages.size()));
            for (int i = 0; i < cages.size(); ++i)
                QCOMPARE(cellOf(written[0], 5 + i, 1).number, double(cages[i]));
            QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/python3"),
                                       {QStringLiteral("-c"), fill, path, QString::number(judge)}),
                     0);
            const imports::ScoreSheet sheet = imports::readScores(path);
            QCOMPARE(sheet.juez, QString::number(judge));
            const imports::StoreCounts counts = imports::storeScores(db, sheet.rows, sheet.juez);
            QCOMPARE(counts.stored, int(cages.size()) - (judge == 2 ? 1 : 0));
        }
        auto count = [&](const QString& sql) {
            store::Statement rows = db.prepare(sql);
            return rows.step() ? rows.value(0).toLongLong() : -1;
        };
        const QString first = QString::number(cages.first());
        store::Statement third =
            db.prepare(QStringLiteral("SELECT puntos3 FROM Puntos WHERE jaula = ? AND juez = 3"));
        third.bind(1, first);
        QVERIFY(third.step());
        QCOMPARE(third.value(0).toDouble(), 19.0);
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Puntos WHERE jaula = '%1'").arg(first)), 2);
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Puntos")), 3 * cages.size() - 1);
    }
};

QTEST_GUILESS_MAIN(TestExportXlsx)
#include "test_export_xlsx.moc"
