// The checks before closing a show, and the checking of the scores against the judges' sheets.

#include "rules/records/checks.h"
#include "rules/records/paper_checks.h"
#include "support/scored_exhibition.h"

class TestShowChecks : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_file = 0;
    QString m_clubs;

    static QString texts(const std::vector<records::Warning>& warnings)
    {
        QStringList shown;
        for (const records::Warning& warning : warnings)
            shown << warning.text;
        return (shown << records::warningsCount(warnings.size())).join(u'|');
    }

    // Three birds of group A, club 0001 (Álava), each scored by three judges close together, all checked.
    store::Database completeShow()
    {
        store::Database db = store::Database::create(m_dir.filePath(QString("e%1.mdb").arg(++m_file)),
                                                     store::schema::exhibition());
        store::Transaction filling(db);
        fixtures::setConfig(db, 3, true);
        for (int cage = 1; cage <= 3; ++cage) {
            fixtures::addBird(db, cage, "A", "M",
                              {{"anilla", QString("12345%1").arg(cage)}, {"club", "0001"}});
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(db, QString::number(cage), juez, 80 + cage + 0.5 * juez);
        }
        for (int juez = 1; juez <= 3; ++juez)
            records::markChecked(db, records::uncheckedRows(db, juez));
        filling.commit();
        m_clubs = m_dir.filePath(QString("c%1.mdb").arg(m_file));
        fixtures::addClub(store::Database::create(m_clubs, store::schema::clubs()), "0001", "Vitoria",
                          "Álava");
        return db;
    }

private slots:
    void checks_data()
    {
        QTest::addColumn<QString>("changes"); // SQL, ";" between statements, "club:" on the clubs file
        QTest::addColumn<QString>("lines");   // the warnings, then the count, "|" between
        const char* const p2 = "UPDATE Puntos SET puntost = %1 WHERE jaula = '1' AND juez = 2";
        const char* const rows[][3] = {
            {"complete", "", "Sin avisos"},
            {"a judge missing", "DELETE FROM Puntos WHERE jaula = '2' AND juez = 3",
             "Jaula 2: 2 de 3 jueces|1 aviso"},
            {"an absent bird needs none",
             "DELETE FROM Puntos WHERE jaula = '2';INSERT INTO Estado VALUES (2, NULL, 'Ausente', NULL)",
             "Sin avisos"},
            {"86,25", p2, "Jaula 1: el juez 2 difiere 4,25 puntos de la media de los demás|1 aviso"},
            {"85", p2, "Jaula 1: el juez 2 difiere 3,00 puntos de la media de los demás|1 aviso"},
            {"84,99", p2, "Sin avisos"},
            {"no total: the five",
             "UPDATE Puntos SET puntost = NULL, puntos5 = 25 WHERE jaula = '1' AND juez = 2;"
             "INSERT INTO Comprobadas VALUES ('1', 2, 8, 8, 17, 27, 25)",
             "Jaula 1: el juez 2 difiere 3,00 puntos de la media de los demás|1 aviso"},
            {"two birds", "INSERT INTO Recepcion (jaula, anilla, grupo) VALUES (3, '9', 'A')",
             "Jaula 3: 2 palomas|1 aviso"},
            {"group D without category",
             "INSERT INTO Recepcion (jaula, anilla, grupo, categ) VALUES (4, 'X', 'D', ' ')",
             "Jaula 4: grupo D sin categoría|1 aviso"},
            {"no ring", "UPDATE Recepcion SET anilla = ' ' WHERE jaula = 2", "Jaula 2: sin anilla|1 aviso"},
            {"a club not in the file", "UPDATE Recepcion SET club = '0099' WHERE jaula = 1",
             "Jaula 1: el club 0099 no está en el fichero de clubes|1 aviso"},
            {"no clubs file", "UPDATE Recepcion SET club = '0099' WHERE jaula = 1;noclubs", "Sin avisos"},
            {"a judge repeats the cage before",
             "UPDATE Puntos SET puntos5 = 21.5 WHERE jaula = '2' AND juez = 1",
             "Jaula 2: el juez 1 repite las puntuaciones de la jaula 1|Juez 1: 1 puntuación sin comprobar|2 "
             "avisos"},
            {"unchecked", "DELETE FROM Comprobadas WHERE juez = 3",
             "Juez 3: 3 puntuaciones sin comprobar|1 aviso"},
            // A mark holds the row's five values: a changed value takes it off, a changed total does not.
            {"a criterion changed", "UPDATE Puntos SET puntos3 = 18 WHERE jaula = '1' AND juez = 2",
             "Juez 2: 1 puntuación sin comprobar|1 aviso"},
            {"the total changed", "UPDATE Puntos SET puntost = 82.5 WHERE jaula = '1' AND juez = 2",
             "Sin avisos"},
            {"provinces", "club:INSERT INTO club VALUES ('L', '0002', 'ALAVA'), ('G', '0003', 'Alava')",
             "Provincias que se confunden: Álava, ALAVA, Alava|1 aviso"},
            {"in the order of the checks",
             "DELETE FROM Puntos WHERE jaula = '3' AND juez = 1;UPDATE Recepcion SET anilla = '' WHERE jaula "
             "= 1",
             "Jaula 3: 2 de 3 jueces|Jaula 1: sin anilla|2 avisos"}};
        for (const auto& [name, changes, lines] : rows)
            QTest::newRow(name) << QString(changes).replace("%1", QString(name).replace(',', '.'))
                                << QString(lines);
    }
    void checks()
    {
        QFETCH(QString, changes);
        QFETCH(QString, lines);
        store::Database db = completeShow();
        store::Database clubs = store::Database::open(m_clubs, store::schema::clubs());
        for (const QString& sql : changes.split(u';', Qt::SkipEmptyParts))
            sql == "noclubs"          ? m_clubs.clear()
            : sql.startsWith("club:") ? clubs.execute(sql.mid(5))
                                      : db.execute(sql);
        QCOMPARE(texts(records::checkShow(db, m_clubs)), lines);
    }

    // The generated show: every seventh cage lacks its third judge; judge 1 has checked all his rows.
    void largeShow()
    {
        store::Database db = store::Database::open(
            fixtures::createScoredExhibition(m_dir.filePath("large.mdb"), 999), store::schema::exhibition());
        records::markChecked(db, records::uncheckedRows(db, 1));
        QStringList expected;
        for (int cage = 7; cage <= 999; cage += 7)
            expected << QString("Jaula %1: 2 de 3 jueces").arg(cage);
        const QStringList shown = texts(records::checkShow(db, {})).split(u'|');
        QCOMPARE(shown.filter(" de 3 jueces"), expected);
        QCOMPARE(shown.filter("Juez "),
                 QStringList({"Juez 2: 999 puntuaciones sin comprobar",
                              QString("Juez 3: %1 puntuaciones sin comprobar").arg(999 - expected.size())}));
    }
};

QTEST_GUILESS_MAIN(TestShowChecks)
#include "test_show_checks.moc"
