// palomas-cli importar-recepcion and importar-puntuacion as a user runs them: the count texts,
// the refused rows and the notes on stderr, the judge given on the command line, and the
// workbooks that cannot be read (damaged ones that crash the reader included), which store
// nothing.

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
    void initTestCase()
    {
        fixtures::setConfig(store::Database::create(m_expo, store::schema::exhibition()), 5, true);
    }

    void receptionPrintsTheCountTheRefusedRowsAndGroupD()
    {
        const QString census = m_dir.filePath("censo.xls");
        QVariantList groupD = workbooks::bird(2, "D2"), longCage = workbooks::bird(QString(500, u'9'));
        groupD[1] = "D";
        workbooks::write(census, {{5, workbooks::bird(1)},
                                  {6, workbooks::bird("x")},
                                  {7, longCage},
                                  {8, groupD},
                                  {9, workbooks::bird(3, QVariantMap{{"n", "inf"}})}});
        const CliResult run = runCli({"importar-recepcion", m_expo, census});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, "2 Grabadas Palomas\n3 filas rechazadas por datos no válidos\n"
                          "1 paloma del grupo D sin categoría: complétela en Recepción\n");
        QCOMPARE(run.err,
                 "Fila 6: El número de jaula «x» no es válido: debe ser un número entero del 1 al 999.\n"
                 "Fila 7: El número de jaula «" +
                     QString(40, u'9') +
                     "… (500 caracteres)» no es válido: debe ser un número entero del 1 al 999.\n"
                     "Fila 9: El valor de «Paloma» es infinito: no se puede guardar.\n"
                     "1 paloma del grupo D sin categoría: complétela en Recepción\n");
        const CliResult missing = runCli({"importar-recepcion", m_expo, m_dir.filePath("no-existe.xls")});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, "No se encuentra el archivo «" + m_dir.filePath("no-existe.xls") + "».\n");
        QCOMPARE(stored("recepcion", "jaula"), "1,2");
    }

    void scoresTakeB2OrTheJudgeGivenWithinTheConfiguration()
    {
        const QString sheet = m_dir.filePath("juez.xls");
        workbooks::write(sheet, {{2, {"Juez", 3}}, {5, workbooks::scored(7)}, {6, workbooks::scored(8, 20)}});
        const CliResult fromB2 = runCli({"importar-puntuacion", m_expo, sheet});
        QCOMPARE(fromB2.exitCode, 0);
        QCOMPARE(fromB2.out, "1 Jaulas Pasadas\n1 fila rechazada por datos no válidos\n");
        QCOMPARE(fromB2.err, "Fila 6: La puntuación 20 de Puntos3 no está entre 17 y 19.\n");
        QCOMPARE(runCli({"importar-puntuacion", m_expo, sheet, "--juez", "2"}).out,
                 "1 Jaulas Pasadas\n1 fila rechazada por datos no válidos\n");
        const CliResult badJudge = runCli({"importar-puntuacion", m_expo, sheet, "--juez", "dos"});
        QCOMPARE(badJudge.exitCode, 2);
        QCOMPARE(badJudge.err, "El campo «juez» solo admite números enteros, y «dos» no lo es.\n");
        for (const QString judge : {"6", "-1", "0"}) {
            const CliResult outside = runCli({"importar-puntuacion", m_expo, sheet, "--juez", judge});
            QCOMPARE(outside.exitCode, 2);
            QCOMPARE(outside.err, "El número de juez debe ser un número entero del 1 al 5.\n");
        }
        QCOMPARE(stored("puntos", "juez"), "3,2");
    }

    // Workbooks are read by palomas-lector alone: a damaged one can crash it, never palomas-cli.
    // palomas-cli writes the Excel workbooks.
    void onlyTheReaderLinksFreexl()
    {
        if (!QFile::exists("/usr/bin/ldd"))
            QSKIP("no ldd here");
        const QString lector = QFileInfo(QStringLiteral(PALOMAS_CLI)).dir().filePath("palomas-lector");
        for (const QString& program : {QStringLiteral(PALOMAS_CLI), lector}) {
            QProcess ldd;
            ldd.start("/usr/bin/ldd", {program});
            QVERIFY(ldd.waitForFinished(60000) && ldd.exitCode() == 0);
            const QString libraries = QString::fromUtf8(ldd.readAllStandardOutput());
            QCOMPARE(libraries.contains("libfreexl"), program == lector);
            // QuaZip and libxlsxwriter carry minizip functions of the same names: in one process the
            // writer's calls would reach QuaZip's and crash. Each stays on its own side.
            QCOMPARE(libraries.contains("libquazip"), program == lector);
            QCOMPARE(libraries.contains("libxlsxwriter"), program != lector);
        }
    }

    // A workbook that cannot be read stops the command with its message, and nothing is stored,
    // whatever it does to the reader.
    void unreadableWorkbooksStoreNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        const QDir data(qEnvironmentVariable("PALOMAS_TEST_DATA"));
        const QDir damaged(data.filePath("damaged"));
        for (const QString& crash : damaged.entryList({"*.xls"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(crash))
                << damaged.filePath(crash) << "El libro «" + crash + "» está dañado o no se puede leer.";
        const QString filas = m_dir.filePath("filas.xls");
        QCOMPARE(QProcess::execute("/usr/bin/python3", {data.filePath("make_workbook.py"), "dimensions",
                                                        filas, "4294967295", "256"}),
                 0);
        QTest::newRow("absurd dimensions") << filas
                                           << "La hoja «Hoja1» del libro «filas.xls» dice tener "
                                              "4.294.967.295 filas y 256 columnas, más de las "
                                              "que caben en una hoja: el libro está dañado.";
    }
    void unreadableWorkbooksStoreNothing()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        const QString before = stored("recepcion", "jaula") + ' ' + stored("puntos", "jaula");
        for (const char* command : {"importar-recepcion", "importar-puntuacion"}) {
            const CliResult run = runCli({command, m_expo, path});
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.out, "");
            QCOMPARE(run.err, message + '\n');
        }
        QCOMPARE(stored("recepcion", "jaula") + ' ' + stored("puntos", "jaula"), before);
    }
};

QTEST_GUILESS_MAIN(TestCliImport)
#include "test_cli_import.moc"
