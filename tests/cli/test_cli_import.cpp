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
    int m_shows = 0;

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

    // A problem of the whole sheet, or of the exhibition, is told once, stores nothing and ends
    // with 1; a new show made by crear has the three judges the main window gives it.
    void wholeSheetProblemsAreToldOnce_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("jueces"); // -1: no configuration row, as crear leaves it
        QTest::addColumn<QVariant>("b2");
        QTest::addColumn<bool>("rows"); // data from row 5 on
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err"); // or, with 0, the summary
        QTest::newRow("a new show: three judges")
            << "importar-puntuacion" << -1 << QVariant(3) << true << 0 << "2 Jaulas Pasadas\n";
        QTest::newRow("B2 beyond the three judges") << "importar-puntuacion" << -1 << QVariant(4) << true << 1
                                                    << "El número de juez debe ser un número entero del 1 al "
                                                       "3. El juez es el número de la celda B2; otro "
                                                       "se indica con --juez N.\n";
        QTest::newRow("a configuration without judges")
            << "importar-puntuacion" << 0 << QVariant(1) << true << 1
            << "La configuración no tiene número de jueces: indíquelo en Configuración.\n";
        const QString blank =
            "La hoja «Hoja1» no tiene datos desde la fila 5 (las filas de encima son los títulos): "
            "no hay nada que grabar.\n";
        QTest::newRow("scores from a sheet without data")
            << "importar-puntuacion" << 3 << QVariant(1) << false << 1 << blank;
        QTest::newRow("a census without data")
            << "importar-recepcion" << 3 << QVariant(1) << false << 1 << blank;
    }
    void wholeSheetProblemsAreToldOnce()
    {
        QFETCH(QString, command);
        QFETCH(int, jueces);
        QFETCH(QVariant, b2);
        QFETCH(bool, rows);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const QString name = QStringLiteral("Nueva%1").arg(++m_shows);
        const QString show = m_dir.filePath(name + ".mdb");
        QCOMPARE(runCli({"crear", m_dir.path(), name}).exitCode, 0);
        if (jueces >= 0) {
            const store::Database db = store::Database::open(show, store::schema::exhibition());
            fixtures::addRow(db, "Config",
                             {{"nombre", "X"}, {"jueces", jueces > 0 ? QVariant(jueces) : QVariant()}});
        }
        const QString sheet = m_dir.filePath("hoja.xls");
        workbooks::write(
            sheet, QList<workbooks::Row>{{2, {"Juez", b2}}} +
                       (rows ? QList<workbooks::Row>{{5, workbooks::scored(7)}, {6, workbooks::scored(8)}}
                             : QList<workbooks::Row>{{3, {"Jaula"}}}));
        const CliResult run = runCli({command, show, sheet});
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(exitCode == 0 ? run.out : run.err, err);
        QCOMPARE(fixtures::column(store::Database::open(show, store::schema::exhibition()),
                                  "select * from puntos", "jaula"),
                 exitCode == 0 ? "7,8" : "");
    }

    // A .csv with one byte that is not UTF-8: its row is refused with the reason, and the others
    // keep their letters.
    void oneBadByteSpoilsOneRow()
    {
        const QString show = m_dir.filePath("Censo.mdb");
        QCOMPARE(runCli({"crear", m_dir.path(), "Censo"}).exitCode, 0);
        const QString csv =
            QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath("workbooks/censo-un-byte-malo.csv");
        const CliResult run = runCli({"importar-recepcion", show, csv});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.section(u'\n', 0, 1), "4 Grabadas Palomas\n1 fila rechazada por datos no válidos");
        QCOMPARE(
            run.err.section(u'\n', 0, 0),
            "Fila 9: El valor «Se\uFFFDora Peñalver € ü» de «Propietario» lleva bytes que no se leen como "
            "letras (el archivo no es UTF-8 en esa fila): corríjalo y guarde el archivo en UTF-8.");
        QCOMPARE(fixtures::column(store::Database::open(show, store::schema::exhibition()),
                                  "select * from recepcion where jaula = 1", "nombre"),
                 "José Muñoz Peña");
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
