// The checks before closing a show, and the checking of the scores against the judges' sheets.

#include "rules/records/checks.h"
#include "rules/records/paper_checks.h"
#include "support/scored_exhibition.h"

#include <QTest>

class TestShowChecks : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_file = 0;

    static void markAll(store::Database& db, int juez)
    {
        records::markChecked(db, records::uncheckedRows(db, juez));
    }

    // Three present birds of group A, each scored by its three judges close to one another, every
    // row checked; clubs 0001 of Álava.
    store::Database completeShow(QString& clubsPath)
    {
        const QString path = m_dir.filePath(QStringLiteral("e%1.mdb").arg(++m_file));
        store::Database db = store::Database::create(path, store::schema::exhibition());
        store::Transaction filling(db);
        fixtures::setConfig(db, 3, true);
        for (int cage = 1; cage <= 3; ++cage) {
            fixtures::addBird(db, cage, "A", "M", {{"anilla", QStringLiteral("12345%1").arg(cage)}, {"club", "0001"}});
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(db, QString::number(cage), juez, 80 + cage + 0.5 * juez);
        }
        for (int juez = 1; juez <= 3; ++juez)
            markAll(db, juez);
        filling.commit();
        clubsPath = m_dir.filePath(QStringLiteral("c%1.mdb").arg(m_file));
        fixtures::addClub(store::Database::create(clubsPath, store::schema::clubs()), "0001", "Vitoria", "Álava");
        return db;
    }

private slots:
    void checks_data()
    {
        QTest::addColumn<QString>("changes"); // SQL, ";" between statements
        QTest::addColumn<bool>("clubs");
        QTest::addColumn<QStringList>("lines"); // the warnings, then the count
        const auto row = [](const char* name, const char* sql, QStringList lines, bool clubs = true) {
            QTest::newRow(name) << QString::fromUtf8(sql) << clubs << lines;
        };
        row("complete", "", {"Sin avisos"});
        row("a judge missing", "DELETE FROM Puntos WHERE jaula = '2' AND juez = 3",
            {"Jaula 2: 2 de 3 jueces", "1 aviso"});
        row("an absent bird needs no judges",
            "DELETE FROM Puntos WHERE jaula = '2';INSERT INTO Estado VALUES (2, '123452', 'Ausente', NULL)",
            {"Sin avisos"});
        row("group D is not judged", "INSERT INTO Recepcion (jaula, anilla, grupo, categ, club) VALUES (4, 'X', 'D', 'G', '0001')",
            {"Sin avisos"});
        row("a judge 4,25 from the others", "UPDATE Puntos SET puntost = 86.25 WHERE jaula = '1' AND juez = 2",
            {"Jaula 1: el juez 2 difiere 4,25 puntos de la media de los demás", "1 aviso"});
        row("3 points is too far", "UPDATE Puntos SET puntost = 85 WHERE jaula = '1' AND juez = 2",
            {"Jaula 1: el juez 2 difiere 3,00 puntos de la media de los demás", "1 aviso"});
        row("2,99 is not", "UPDATE Puntos SET puntost = 84.99 WHERE jaula = '1' AND juez = 2", {"Sin avisos"});
        row("a row without total counts its criteria",
            "UPDATE Puntos SET puntost = NULL, puntos5 = 25 WHERE jaula = '1' AND juez = 2;"
            "DELETE FROM Comprobadas WHERE jaula = '1' AND juez = 2;"
            "INSERT INTO Comprobadas SELECT jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5 FROM Puntos "
            "WHERE jaula = '1' AND juez = 2",
            {"Jaula 1: el juez 2 difiere 3,00 puntos de la media de los demás", "1 aviso"});
        row("two birds in a cage", "INSERT INTO Recepcion (jaula, anilla, grupo, club) VALUES (3, '999', 'A', '0001')",
            {"Jaula 3: 2 palomas", "1 aviso"});
        row("group D without category", "INSERT INTO Recepcion (jaula, anilla, grupo, categ, club) VALUES (4, 'X', 'D', ' ', '0001')",
            {"Jaula 4: grupo D sin categoría", "1 aviso"});
        row("no ring", "UPDATE Recepcion SET anilla = ' ' WHERE jaula = 2", {"Jaula 2: sin anilla", "1 aviso"});
        row("a club not in the file", "UPDATE Recepcion SET club = '0099' WHERE jaula = 1",
            {"Jaula 1: el club 0099 no está en el fichero de clubes", "1 aviso"});
        row("no clubs file, no club checks", "UPDATE Recepcion SET club = '0099' WHERE jaula = 1", {"Sin avisos"}, false);
        row("a judge repeats the cage before",
            "UPDATE Puntos SET puntos5 = (SELECT puntos5 FROM Puntos WHERE jaula = '1' AND juez = 1) "
            "WHERE jaula = '2' AND juez = 1",
            {"Jaula 2: el juez 1 repite las puntuaciones de la jaula 1", "Juez 1: 1 puntuación sin comprobar",
             "2 avisos"});
        row("unchecked rows", "DELETE FROM Comprobadas WHERE juez = 3",
            {"Juez 3: 3 puntuaciones sin comprobar", "1 aviso"});
        row("provinces that split in two", "club:INSERT INTO club VALUES ('Llodio', '0002', 'ALAVA');"
            "club:INSERT INTO club VALUES ('Laguardia', '0003', 'Alava')",
            {"Provincias que se confunden: Álava, ALAVA, Alava", "1 aviso"});
        row("in the order of the checks", "DELETE FROM Puntos WHERE jaula = '3' AND juez = 1;"
            "UPDATE Recepcion SET anilla = '' WHERE jaula = 1;club:INSERT INTO club VALUES ('Llodio', '0002', ' Á lava')",
            {"Jaula 3: 2 de 3 jueces", "Jaula 1: sin anilla", "Provincias que se confunden: Álava,  Á lava",
             "3 avisos"});
    }
    void checks()
    {
        QFETCH(QString, changes);
        QFETCH(bool, clubs);
        QFETCH(QStringList, lines);
        QString clubsPath;
        store::Database db = completeShow(clubsPath);
        store::Database clubDb = store::Database::open(clubsPath, store::schema::clubs());
        for (const QString& sql : changes.split(u';', Qt::SkipEmptyParts))
            sql.startsWith(u"club:") ? clubDb.execute(sql.mid(5)) : db.execute(sql);
        QStringList shown;
        const auto warnings = records::checkShow(db, clubs ? clubsPath : QString());
        for (const records::Warning& warning : warnings)
            shown << warning.text;
        QCOMPARE((shown << records::warningsCount(warnings.size())).join(u'|'), lines.join(u'|'));
    }

    // A mark holds the row's five values: a changed value takes the mark off, a changed total
    // does not.
    void paperChecks_data()
    {
        QTest::addColumn<QString>("change"); // after marking judge 2's first row
        QTest::addColumn<QString>("cages");  // judge 2's unchecked rows
        QTest::addColumn<QString>("counts"); // judge:count
        QTest::newRow("marked") << "" << "2,3" << "1:3,2:2,3:3";
        QTest::newRow("a criterion changed") << "UPDATE Puntos SET puntos3 = 18 WHERE jaula = '1' AND juez = 2"
                                             << "1,2,3" << "1:3,2:3,3:3";
        QTest::newRow("the total changed") << "UPDATE Puntos SET puntost = 90 WHERE jaula = '1' AND juez = 2"
                                           << "2,3" << "1:3,2:2,3:3";
    }
    void paperChecks()
    {
        QFETCH(QString, change);
        QFETCH(QString, cages);
        QFETCH(QString, counts);
        QString clubsPath;
        store::Database db = completeShow(clubsPath);
        db.execute(QStringLiteral("DELETE FROM Comprobadas"));
        records::markChecked(db, records::uncheckedRows(db, 2).front());
        if (!change.isEmpty())
            db.execute(change);
        QStringList left, perJudge;
        for (const records::PaperRow& row : records::uncheckedRows(db, 2))
            left << row.jaula;
        for (const records::UncheckedCount& judge : records::uncheckedCounts(db))
            perJudge << QStringLiteral("%1:%2").arg(judge.juez).arg(judge.count);
        QCOMPARE(left.join(u','), cages);
        QCOMPARE(perJudge.join(u','), counts);
    }

    // The generated show: every seventh cage lacks its third judge; once judge 1's rows are all
    // checked, only the others' are counted.
    void largeShow()
    {
        store::Database db = store::Database::open(
            fixtures::createScoredExhibition(m_dir.filePath(QStringLiteral("large.mdb")), 999), store::schema::exhibition());
        markAll(db, 1);
        QStringList missing, expected;
        for (int cage = 7; cage <= 999; cage += 7)
            expected << QStringLiteral("Jaula %1: 2 de 3 jueces").arg(cage);
        QStringList counts;
        for (const records::Warning& warning : records::checkShow(db, {})) {
            if (warning.text.endsWith(QLatin1String(" de 3 jueces")))
                missing << warning.text;
            if (warning.text.startsWith(QLatin1String("Juez ")))
                counts << warning.text;
        }
        QCOMPARE(missing, expected);
        QCOMPARE(counts, QStringList({"Juez 2: 999 puntuaciones sin comprobar",
                                      QStringLiteral("Juez 3: %1 puntuaciones sin comprobar").arg(999 - expected.size())}));
    }
};

QTEST_GUILESS_MAIN(TestShowChecks)
#include "test_show_checks.moc"
