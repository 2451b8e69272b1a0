// The passes that promise "all or nothing", failed at each of their writes in turn: every failed
// run must say so and leave the exhibition exactly as it was, never half written.

#include "generator.h"
#include "rules/backups/keeper.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/listings/province_ranking.h"
#include "rules/reception/bird_entry.h"
#include "support/all_or_nothing.h"

#include <QTest>

namespace
{

store::Database openExhibition(const QString& path)
{
    return store::Database::open(path, store::schema::exhibition());
}

imports::ReceptionRow censusRow(int cage)
{
    imports::ReceptionRow row;
    row.sheetRow = 4 + cage;
    row.jaula = QString::number(cage);
    row.grupo = QStringLiteral("b");
    row.sexo = QStringLiteral("H");
    row.licencia = QStringLiteral("123");
    row.nombre = QStringLiteral("Ana Ruiz");
    row.club = QStringLiteral("7");
    row.anyo = QStringLiteral("2024");
    row.anilla = QString::number(1000000 + cage);
    return row;
}

imports::ScoreRow judgeRow(int cage)
{
    imports::ScoreRow row;
    row.sheetRow = 4 + cage;
    row.jaula = QString::number(cage);
    row.grupo = QStringLiteral("A");
    row.sexo = QStringLiteral("m");
    const double scores[5] = {8.5, 8.75, 18, 28.25, 27.5};
    for (std::size_t k = 0; k < 5; ++k)
        row.puntos[k] = {QString::number(scores[k]), scores[k], scores[k], false};
    row.total = {QStringLiteral("91"), 91.0, 91.0, false};
    return row;
}

// Each pass by name, run on the file at path.
faults::Pass passNamed(const QString& name, const QString& clubsPath, int scoredCage)
{
    if (name == u"deleteCage")
        return [scoredCage](const QString& path) {
            store::Database db = openExhibition(path);
            backups::Keeper keeper;
            reception::deleteBird(db, keeper, {scoredCage, 0});
            return QString();
        };
    if (name == u"deleteAllCages")
        return [](const QString& path) {
            store::Database db = openExhibition(path);
            backups::Keeper keeper;
            reception::deleteAllCages(db, keeper);
            return QString();
        };
    if (name == u"storeReception")
        return [](const QString& path) {
            store::Database db = openExhibition(path);
            imports::storeReception(db, {censusRow(101), censusRow(102), censusRow(103)});
            return QString();
        };
    if (name == u"storeScores")
        return [](const QString& path) {
            store::Database db = openExhibition(path);
            imports::storeScores(db, {judgeRow(1), judgeRow(2), judgeRow(3), judgeRow(4)},
                                 QStringLiteral("9"));
            return QString();
        };
    if (name == u"clasificacionPorProvincia")
        return [clubsPath](const QString& path) {
            store::Database clubs = store::Database::open(clubsPath, store::schema::clubs());
            store::Recordset clubRs = clubs.openRecordset(QStringLiteral("select * from club "));
            store::Database db = openExhibition(path);
            listings::clasificacionPorProvincia(db, clubRs);
            return QString();
        };
    return {};
}

} // namespace

class TestAllOrNothing : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    bench::Generated m_files;
    int m_scoredCage = 0; // a cage with its bird and judges' rows: its deletion writes to both tables

private slots:
    void initTestCase()
    {
        bench::ExhibitionSize size;
        size.cages = 80;
        size.judgesPerCage = 3;
        size.maxJudgesPerCage = 6;
        size.jueces = 9; // judge 9 has scored nothing yet: the sheet is stored whole
        m_files = bench::generate(m_dir.path(), QStringLiteral("expo.mdb"), size);
        // Work tables as an earlier ranking left them, which the ranking replaces.
        store::Database db = openExhibition(m_files.exhibition);
        db.execute(QStringLiteral("INSERT INTO lclub (puntos, grupo, categoria, club, provincia) VALUES "
                                  "(5, 'A', ' ', '1', 'Antigua')"));
        db.execute(QStringLiteral("INSERT INTO lclub1 (provincia, puntos) VALUES ('Antigua', 6)"));
        store::Statement scored =
            db.prepare(QStringLiteral("SELECT min(CAST(jaula AS INTEGER)) FROM Puntos"));
        QVERIFY(scored.step());
        m_scoredCage = int(scored.int64(0));
        QVERIFY(reception::cageExists(db, m_scoredCage));
    }

    void failedAtEachWrite_data()
    {
        QTest::addColumn<QString>("pass");
        QTest::addColumn<int>("writes"); // at least: one write per statement step that changes the file
        QTest::newRow("deleting a cage with its scores") << "deleteCage" << 2;
        QTest::newRow("Borrar Todas") << "deleteAllCages" << 2;
        QTest::newRow("storing an imported census") << "storeReception" << 3;
        QTest::newRow("storing an imported judge's sheet") << "storeScores" << 4;
        QTest::newRow("the province ranking's work tables") << "clasificacionPorProvincia" << 20;
    }
    void failedAtEachWrite()
    {
        QFETCH(QString, pass);
        QFETCH(int, writes);
        const faults::Outcome outcome = faults::failEachWrite(m_files.exhibition, store::schema::exhibition(),
                                                              passNamed(pass, m_files.clubs, m_scoredCage));
        QCOMPARE(outcome.problems.join(u'\n'), QString());
        QVERIFY2(outcome.writes >= writes, qPrintable(QString::number(outcome.writes)));
    }

    // Database::create: a file whose tables could not all be written is not left behind, so
    // that "Nuevo" can be tried again with the same name.
    void creationFailedAtEachWriteLeavesNoFile()
    {
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("nueva.mdb"));
        int writes = 0;
        {
            store::WriteFault counter(1 << 30);
            store::Database::create(path, store::schema::exhibition());
            writes = counter.writesSeen();
        }
        QVERIFY(QFile::remove(path));
        QVERIFY(writes >= 5); // one table each, at least
        for (int nth = 1; nth <= writes; ++nth) {
            store::WriteFault fault(nth);
            QVERIFY_THROWS_EXCEPTION(base::Error, store::Database::create(path, store::schema::exhibition()));
            QVERIFY(fault.fired());
            QVERIFY2(!QFileInfo::exists(path), qPrintable(QString::number(nth)));
            QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
        }
    }
};

QTEST_GUILESS_MAIN(TestAllOrNothing)
#include "test_all_or_nothing.moc"
