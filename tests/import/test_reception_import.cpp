// The reception import on real workbooks: what each row stores, the rows skipped and refused,
// importing twice, and a failing store that leaves nothing behind.

#include "import/reception_import.h"
#include "import/workbooks.h"
#include "import/worksheet.h"
#include "store/error.h"
#include "support/fixtures.h"

using imports::ReceptionRow;
using imports::Verdict;
using workbooks::Row;

namespace
{

// A census row from column A to N: cage, group, sex, licence, name, club, year, ring, four
// columns not read, score.
QVariantList bird(const QVariant& jaula, const QVariant& anilla)
{
    return {jaula,  "A",        "M",        "12345",    "Juan Pérez", "C001",     2021,
            anilla, QVariant(), QVariant(), QVariant(), QVariant(),   QVariant(), 88.5};
}

QList<Row> headings()
{
    return {Row{1, {"Censo"}}, Row{3, {"Jaula", "Grupo", "Sexo"}}};
}

} // namespace

class TestReceptionImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    store::Database m_db;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::vector<ReceptionRow> readRows(const QList<Row>& rows)
    {
        const QString file = path(QStringLiteral("censo%1.xls").arg(++m_files));
        workbooks::write(file, headings() + rows);
        return imports::readReception(file);
    }

    QString stored(const QString& field) const
    {
        return fixtures::column(m_db, "select * from recepcion order by jaula", field);
    }

    int m_files = 0;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = store::Database::create(path("Expo.mdb"), store::schema::exhibition());
    }

    void tenRowsThenAnEmptyRow()
    {
        QList<Row> rows;
        for (int r = 5; r <= 14; ++r)
            rows.append(Row{r, bird(r, QString::number(1000 + r))});
        rows.append(Row{16, bird(99, "999")}); // after the empty row 15: not data
        const std::vector<ReceptionRow> read = readRows(rows);
        QCOMPARE(read.size(), 10u);
        QCOMPARE(read.front().sheetRow, 5);
        QCOMPARE(read.back().sheetRow, 14);
        QCOMPARE(imports::receptionSummary(imports::storeReception(m_db, read)), "10 Grabadas Palomas");
        QCOMPARE(stored("jaula"), "5,6,7,8,9,10,11,12,13,14");
    }

    void emptyA5AndA6GiveOneRowThatStoresNothing()
    {
        const std::vector<ReceptionRow> read = readRows({Row{7, bird(7, "700")}});
        QCOMPARE(read.size(), 1u);
        QCOMPARE(read[0].jaula, "");
        QCOMPARE(read[0].status.verdict, Verdict::Skip);
        QCOMPARE(imports::receptionSummary(imports::storeReception(m_db, read)), "0 Grabadas Palomas");
        QCOMPARE(stored("jaula"), "");
    }

    void previewTexts()
    {
        QVariantList cells = bird(" 12 ", "  4567 ");
        cells[13] = 1234.5;
        QVariantList noScore = bird(13, "4568");
        noScore[13] = QVariant();
        QVariantList textScore = bird(14, "4569");
        textScore[13] = "9,5";
        const std::vector<ReceptionRow> read = readRows({Row{5, cells}, Row{6, noScore}, Row{7, textScore}});
        QCOMPARE(read[0].jaula, "12");
        QCOMPARE(read[0].anilla, "4567");
        QCOMPARE(read[0].anyo, "2021");
        QCOMPARE(read[0].nombre, "Juan Pérez");
        QCOMPARE(read[0].puntos, "1.234,50");
        QCOMPARE(read[1].puntos, "0,00");
        QCOMPARE(read[2].puntos, "9,50");
    }

    void storedFields_data()
    {
        QTest::addColumn<int>("column"); // 0 for A
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("group in capitals") << 1 << QVariant("b") << "grupo"
                                           << "B";
        QTest::newRow("group: its first character") << 1 << QVariant("d ") << "grupo"
                                                    << "D";
        QTest::newRow("empty group") << 1 << QVariant() << "grupo"
                                     << " ";
        QTest::newRow("sex as written") << 2 << QVariant("m") << "sexo"
                                        << "m";
        QTest::newRow("sex: its first character") << 2 << QVariant("Hembra") << "sexo"
                                                  << "H";
        QTest::newRow("empty sex") << 2 << QVariant() << "sexo"
                                   << " ";
        QTest::newRow("club of five characters") << 5 << QVariant("ABCDE") << "club"
                                                 << "ABCD";
        QTest::newRow("empty club") << 5 << QVariant() << "club"
                                    << " ";
        QTest::newRow("empty licence") << 3 << QVariant() << "licencia"
                                       << " ";
        QTest::newRow("licence as a whole number") << 3 << QVariant(4321) << "licencia"
                                                   << "4321";
        QTest::newRow("empty name") << 4 << QVariant() << "nombre"
                                    << " ";
        QTest::newRow("name trimmed") << 4 << QVariant("  Ana Ruiz  ") << "nombre"
                                      << "Ana Ruiz";
        QTest::newRow("year as a whole number") << 6 << QVariant(2021) << "año"
                                                << "2021";
        QTest::newRow("year as text") << 6 << QVariant("2020") << "año"
                                      << "2020";
        QTest::newRow("empty year") << 6 << QVariant() << "año"
                                    << " ";
        QTest::newRow("ring as a whole number") << 7 << QVariant(12345) << "anilla"
                                                << "12345";
        QTest::newRow("cage written with a zero") << 0 << QVariant("007") << "jaula"
                                                  << "7";
        QTest::newRow("cage as text") << 0 << QVariant("12") << "jaula"
                                      << "12";
    }
    void storedFields()
    {
        QFETCH(int, column);
        QFETCH(QVariant, cell);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QVariantList cells = bird(20, "555");
        cells[column] = cell;
        const imports::StoreCounts counts = imports::storeReception(m_db, readRows({Row{5, cells}}));
        QCOMPARE(counts.stored, 1);
        QCOMPARE(stored(field), value);
    }

    void groupDBirdWithoutCategoryAndScoreNeverStored()
    {
        QVariantList cells = bird(31, "3100");
        cells[1] = "D";
        cells[13] = 93.25;
        const std::vector<ReceptionRow> read = readRows({Row{5, cells}});
        QCOMPARE(read[0].puntos, "93,25");
        imports::storeReception(m_db, read);
        store::Recordset rs = m_db.openRecordset("select * from recepcion");
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.text("grupo"), "D");
        QVERIFY(!rs.value("categ").isValid());
        QCOMPARE(rs.value("conc").toInt(), 0);
        QCOMPARE(rs.value("km").toInt(), 0);
        QCOMPARE(rs.value("coef").toDouble(), 0.0);
        QCOMPARE(rs.value("puntos").toDouble(), 0.0);
        QCOMPARE(rs.text("termina"), "N");
        QCOMPARE(rs.text("color"), " ");
    }

    void importingTwiceStoresOnce()
    {
        const std::vector<ReceptionRow> read = readRows({Row{5, bird(1, "100")}, Row{6, bird(2, "200")}});
        QCOMPARE(imports::receptionSummary(imports::storeReception(m_db, read)), "2 Grabadas Palomas");
        QCOMPARE(imports::receptionSummary(imports::storeReception(m_db, read)), "0 Grabadas Palomas");
        QCOMPARE(stored("anilla"), "100,200");
    }

    void sameCageOtherRingIsASecondBird()
    {
        fixtures::addBird(m_db, 8, "A", "M", {{"anilla", "ABC1"}});
        const std::vector<ReceptionRow> read =
            readRows({Row{5, bird(8, "abc1")},                              // the stored bird, other case
                      Row{6, bird(8, "XYZ2")}, Row{7, bird("008", "XYZ2")}, // the row above again
                      Row{8, bird(9, "ABC1")}});
        QCOMPARE(imports::storeReception(m_db, read).stored, 2);
        QCOMPARE(fixtures::column(m_db, "select * from recepcion where jaula = 8", "anilla"), "ABC1,XYZ2");
        QCOMPARE(fixtures::column(m_db, "select * from recepcion where jaula = 9", "anilla"), "ABC1");
    }

    void rowWithoutRingIsSkippedNotRefused()
    {
        const std::vector<ReceptionRow> read =
            readRows({Row{5, bird(1, QVariant())}, Row{6, bird("abc", "  ")}});
        QCOMPARE(read[0].status.verdict, Verdict::Skip);
        QCOMPARE(read[1].status.verdict, Verdict::Skip);
        const imports::StoreCounts counts = imports::storeReception(m_db, read);
        QCOMPARE(counts.stored, 0);
        QCOMPARE(counts.refused, 0);
    }

    void refusedValues_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QString>("reason");
        const QString cage = "debe ser un número entero del 1 al 999";
        QTest::newRow("cage in letters") << 0 << QVariant("abc") << cage;
        QTest::newRow("cage 0") << 0 << QVariant(0) << cage;
        QTest::newRow("cage 1000") << 0 << QVariant(1000) << cage;
        QTest::newRow("cage with decimals") << 0 << QVariant(12.5) << cage;
        QTest::newRow("cage typed with a comma") << 0 << QVariant("1,5") << cage;
        QTest::newRow("negative cage") << 0 << QVariant(-4) << cage;
        QTest::newRow("ring of eight") << 7 << QVariant("12345678") << "«anilla», que admite como máximo 7";
        QTest::newRow("ring as a long number") << 7 << QVariant(12345678) << "«anilla»";
        QTest::newRow("licence of six") << 3 << QVariant("123456") << "«licencia», que admite como máximo 5";
        QTest::newRow("year of five") << 6 << QVariant("20211") << "«año», que admite como máximo 4";
        QTest::newRow("name of 51") << 4 << QVariant(QString(51, u'x'))
                                    << "«nombre», que admite como máximo 50";
    }
    void refusedValues()
    {
        QFETCH(int, column);
        QFETCH(QVariant, cell);
        QFETCH(QString, reason);
        QVariantList bad = bird(2, "200");
        bad[column] = cell;
        const std::vector<ReceptionRow> read =
            readRows({Row{5, bird(1, "100")}, Row{6, bad}, Row{7, bird(3, "300")}});
        QCOMPARE(read[1].status.verdict, Verdict::Refuse);
        QVERIFY2(read[1].status.reason.contains(reason), qPrintable(read[1].status.reason));
        QCOMPARE(read[0].status.verdict, Verdict::Store);

        const imports::StoreCounts counts = imports::storeReception(m_db, read);
        QCOMPARE(imports::receptionSummary(counts),
                 "2 Grabadas Palomas\n1 fila rechazada por datos no válidos");
        QCOMPARE(stored("anilla"), "100,300");
    }

    void summaryCountsEveryRefusedRow()
    {
        const std::vector<ReceptionRow> read = readRows({Row{5, bird("x", "1")}, Row{6, bird("y", "2")}});
        QCOMPARE(imports::receptionSummary(imports::storeReception(m_db, read)),
                 "0 Grabadas Palomas\n2 filas rechazadas por datos no válidos");
    }

    void failingStoreLeavesNothing()
    {
        // The disk refusing the third bird's write, half-way through the pass.
        m_db.execute("CREATE TRIGGER refuse BEFORE INSERT ON Recepcion WHEN NEW.anilla = '300' "
                     "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
        const std::vector<ReceptionRow> read =
            readRows({Row{5, bird(1, "100")}, Row{6, bird(2, "200")}, Row{7, bird(3, "300")}});
        QVERIFY_THROWS_EXCEPTION(store::Error, imports::storeReception(m_db, read));
        QCOMPARE(stored("jaula"), "");
        m_db.execute("DROP TRIGGER refuse");
        QCOMPARE(imports::storeReception(m_db, read).stored, 3); // the file is still usable
    }
};

QTEST_GUILESS_MAIN(TestReceptionImport)
#include "test_reception_import.moc"
