// palomas-cli importar-recepcion and importar-puntuacion as a user runs them: the count texts,
// the refused rows, the judge given on the command line, and the runs that store nothing.

#include "cli/cli_run.h"
#include "import/workbooks.h"
#include "support/fixtures.h"

class TestCliImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_expo = m_dir.filePath("Expo.mdb");

    QString stored(const QString& table, const QString& field) const
    {
        return fixtures::column(store::Database::open(m_expo, store::schema::exhibition()),
                                "select * from " + table, field);
    }

private slots:
    void initTestCase() { store::Database::create(m_expo, store::schema::exhibition()); }

    void receptionPrintsTheCountAndTheRefusedRows()
    {
        const QString census = m_dir.filePath("censo.xls");
        workbooks::write(census,
                         {{5, workbooks::bird(1)}, {6, workbooks::bird("x")}, {7, workbooks::bird(0)}});
        const CliResult run = runCli({"importar-recepcion", m_expo, census});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, "1 Grabadas Palomas\n2 filas rechazadas por datos no válidos\n");
        QCOMPARE(run.err,
                 "Fila 6: El número de jaula «x» no es válido: debe ser un número entero del 1 al 999.\n"
                 "Fila 7: El número de jaula «0» no es válido: debe ser un número entero del 1 al 999.\n");
        const CliResult missing = runCli({"importar-recepcion", m_expo, m_dir.filePath("no-existe.xls")});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, "No se encuentra el archivo «" + m_dir.filePath("no-existe.xls") + "».\n");
        QCOMPARE(stored("recepcion", "jaula"), "1");
    }

    void scoresTakeB2OrTheJudgeGiven()
    {
        const QString sheet = m_dir.filePath("juez.xls");
        workbooks::write(sheet, {{2, {"Juez", 3}}, {5, workbooks::scored(7)}});
        const CliResult fromB2 = runCli({"importar-puntuacion", m_expo, sheet});
        QCOMPARE(fromB2.exitCode, 0);
        QCOMPARE(fromB2.out, "1 Jaulas Pasadas\n");
        QCOMPARE(runCli({"importar-puntuacion", m_expo, sheet, "--juez", "2"}).out, "1 Jaulas Pasadas\n");
        const CliResult badJudge = runCli({"importar-puntuacion", m_expo, sheet, "--juez", "dos"});
        QCOMPARE(badJudge.exitCode, 2);
        QCOMPARE(badJudge.err, "El campo «juez» solo admite números enteros, y «dos» no lo es.\n");
        QCOMPARE(stored("puntos", "juez"), "3,2");
    }
};

QTEST_GUILESS_MAIN(TestCliImport)
#include "test_cli_import.moc"
