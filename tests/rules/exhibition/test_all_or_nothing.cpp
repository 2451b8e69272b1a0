// The bulk passes of every subsystem that promise "all or nothing", failed at each of their writes
// in turn, as a full disk would fail it: every failed run must tell the store's message and leave
// the exhibition exactly as it was, never half written. Creating the file: test_store_files.

#include "generator.h"
#include "rules/backups/keeper.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/judging/final_score.h"
#include "rules/listings/province_ranking.h"
#include "rules/reception/bird_entry.h"
#include "store/error.h"
#include "store/write_fault.h"
#include "support/failing_disk.h"
#include "support/workbooks.h"

#include <QTest>
#include <functional>

namespace
{

using Pass = std::function<void(store::Database& exhibition)>;

// The dump of the file and of its tables and indexes.
QString contents(const QString& path)
{
    store::Database db = store::Database::open(path, store::schema::exhibition());
    QStringList lines{failing_disk::dump(path)};
    store::Statement objects = db.prepare("SELECT type, name, sql FROM sqlite_master ORDER BY type, name");
    while (objects.step())
        lines << objects.text(0) + u' ' + objects.text(1) + u' ' + objects.text(2);
    return lines.join(u'\n');
}

// The pass run once on a copy of the file to count its writes, then once more for every one of
// those writes, each time on a fresh copy with that write failing: the problems, one a line.
QStringList failEachWrite(const QString& original, const Pass& pass, const QString& said, int* writes)
{
    QTemporaryDir dir;
    const QString copy =
        dir.filePath(QFileInfo(original).fileName()); // named as the file, as are the messages
    const QString before = contents(original);
    const auto run = [&](int nth, bool* fired) -> QString {
        QFile::remove(copy);
        QFile::copy(original, copy);
        store::WriteFault fault(nth);
        QString told;
        try {
            store::Database db = store::Database::open(copy, store::schema::exhibition());
            pass(db);
        } catch (const base::Error& e) {
            told = e.message();
        }
        *fired = fault.fired();
        if (nth > *writes)
            *writes = fault.writesSeen();
        return told;
    };
    bool fired = false;
    *writes = 0;
    QStringList problems;
    if (const QString told = run(1 << 30, &fired); !told.isEmpty() || contents(copy) == before)
        problems << "sin fallo forzado: «" + told + "», o la pasada no cambia nada";
    const QString diskFull =
        "No queda espacio en el disco para guardar «" + QFileInfo(copy).fileName() + "»." + said;
    for (int nth = 1; nth <= *writes; ++nth) {
        if (const QString told = run(nth, &fired); !fired || told != diskFull)
            problems << QString("escritura %1: se dijo «%2»").arg(nth).arg(told);
        if (contents(copy) != before)
            problems << QString("escritura %1: el archivo quedó a medias").arg(nth);
    }
    return problems;
}

} // namespace

Q_DECLARE_METATYPE(Pass)

class TestAllOrNothing : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    bench::Generated m_files;
    int m_scoredCage = 0; // a cage with its bird and judges' rows: its deletion writes to both tables
    std::vector<imports::ReceptionRow> m_census; // new birds
    imports::ScoreSheet m_judge;                 // rows of a judge who has scored nothing yet

private slots:
    void initTestCase()
    {
        bench::ExhibitionSize size;
        size.cages = 80;
        size.judgesPerCage = 3;
        size.maxJudgesPerCage = 6;
        size.jueces = 9; // judge 9 has scored nothing yet: the sheet is stored whole
        m_files = bench::generate(m_dir.path(), "expo.mdb", size);
        // Work tables as an earlier ranking left them, which the ranking replaces.
        store::Database db = store::Database::open(m_files.exhibition, store::schema::exhibition());
        db.execute("INSERT INTO lclub (puntos, grupo, categoria, club, provincia) VALUES (5, 'A', ' ', '1', "
                   "'Antigua')");
        db.execute("INSERT INTO lclub1 (provincia, puntos) VALUES ('Antigua', 6)");
        store::Statement scored = db.prepare("SELECT min(CAST(jaula AS INTEGER)) FROM Puntos");
        QVERIFY(scored.step());
        m_scoredCage = int(scored.int64(0));
        QVERIFY(reception::cageExists(db, m_scoredCage));
        workbooks::write(m_dir.filePath("censo.xls"),
                         {{5, workbooks::bird(101, 1)}, {6, workbooks::bird(102, 2)}});
        workbooks::write(m_dir.filePath("juez.xls"),
                         {{2, {"Juez", 9}}, {5, workbooks::scored(1)}, {6, workbooks::scored(2)}});
        m_census = imports::readReception(m_dir.filePath("censo.xls"));
        m_judge = imports::readScores(m_dir.filePath("juez.xls"));
    }

    void failedAtEachWrite_data()
    {
        QTest::addColumn<Pass>("pass");
        QTest::addColumn<QString>("said"); // what the pass adds to the store's message
        QTest::addColumn<int>("writes");   // at least: one write per statement step that changes the file
        const int cage = m_scoredCage;
        QTest::newRow("deleting a cage with its scores") << Pass([cage](store::Database& db) {
            backups::Keeper keeper;
            reception::deleteBird(db, keeper, {cage, 0});
        }) << QString() << 2;
        QTest::newRow("Borrar Todas") << Pass([](store::Database& db) {
            backups::Keeper keeper;
            reception::deleteAllCages(db, keeper);
        }) << QString() << 2;
        const auto census = m_census;
        QTest::newRow("storing an imported census")
            << Pass([census](store::Database& db) { imports::storeReception(db, census); }) << QString() << 2;
        const auto judge = m_judge;
        QTest::newRow("storing an imported judge's sheet")
            << Pass([judge](store::Database& db) { imports::storeScores(db, judge.rows, judge.juez); })
            << QString() << 2;
        QTest::newRow("the final scores of every cage")
            << Pass([](store::Database& db) { judging::recomputeFinalScores(db); })
            << " No se ha guardado ninguna puntuación." << 50;
        const QString clubs = m_files.clubs;
        QTest::newRow("the province ranking's work tables") << Pass([clubs](store::Database& db) {
            store::Database clubDb = store::Database::open(clubs, store::schema::clubs());
            store::Recordset clubRs = clubDb.openRecordset("select * from club ");
            listings::clasificacionPorProvincia(db, clubRs);
        }) << QString() << 20;
    }
    void failedAtEachWrite()
    {
        QFETCH(Pass, pass);
        QFETCH(QString, said);
        QFETCH(int, writes);
        int seen = 0;
        QCOMPARE(failEachWrite(m_files.exhibition, pass, said, &seen).join(u'\n'), QString());
        QVERIFY2(seen >= writes, qPrintable(QString::number(seen)));
    }
};

QTEST_GUILESS_MAIN(TestAllOrNothing)
#include "test_all_or_nothing.moc"
