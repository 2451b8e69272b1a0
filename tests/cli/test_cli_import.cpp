// palomas-cli importar-recepcion and importar-puntuacion as a user runs them: the count texts,
// the refused rows, the judge given on the command line, and the workbooks that cannot be read.

#include "cli/cli_run.h"
#include "import/workbooks.h"
#include "store/database.h"
#include "support/fixtures.h"

#include <QTemporaryDir>

using workbooks::Row;

class TestCliImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_expo;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    QString stored(const QString& query, const QString& field) const
    {
        return fixtures::column(store::Database::open(m_expo, store::schema::exhibition()), query, field);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_expo = path("Expo.mdb");
        store::Database::create(m_expo, store::schema::exhibition());
    }

    void receptionPrintsTheCountAndRefusedRows()
    {
        workbooks::write(path("censo.xls"), {Row{5, {1, "b", "m", 11, "Ana", "CLUB1", 2021, 1001}},
                                             Row{6, {"x", "A", "M", 12, "Eva", "C2", 2022, 1002}},
                                             Row{7, {3, "C", "H", 13, "Luis", "C3", 2023, 1003}}});
        const CliResult first = runCli({"importar-recepcion", m_expo, path("censo.xls")});
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(first.out, "2 Grabadas Palomas\n1 fila rechazada por datos no válidos\n");
        QVERIFY2(first.err.contains("Fila 6: El número de jaula «x» no es válido"), qPrintable(first.err));
        QCOMPARE(stored("select * from recepcion order by jaula", "grupo"), "B,C");
        QCOMPARE(stored("select * from recepcion order by jaula", "club"), "CLUB,C3");

        const CliResult again = runCli({"importar-recepcion", m_expo, path("censo.xls")});
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.out.startsWith("0 Grabadas Palomas\n"), qPrintable(again.out));
    }

    void scoresTakeB2OrTheJudgeGiven()
    {
        workbooks::write(path("juez.xls"),
                         {Row{2, {"Juez", 3}},
                          Row{5, {7, "A", "M", {}, {}, {}, {}, {}, 8, 9, 18, 28, 28.5, 91.5}},
                          Row{6, {8, "B", "H", {}, {}, {}, {}, {}, 8, "SP", 18, 28, 28, 82}}});
        const CliResult fromB2 = runCli({"importar-puntuacion", m_expo, path("juez.xls")});
        QCOMPARE(fromB2.exitCode, 0);
        QCOMPARE(fromB2.out, "1 Jaulas Pasadas\n");
        const CliResult given = runCli({"importar-puntuacion", m_expo, path("juez.xls"), "--juez", "2"});
        QCOMPARE(given.exitCode, 0);
        QCOMPARE(given.out, "1 Jaulas Pasadas\n");
        QCOMPARE(stored("select * from puntos order by juez", "juez"), "2,3");
        QCOMPARE(stored("select * from puntos order by juez", "puntost"), "91,5,91,5");
        const CliResult again = runCli({"importar-puntuacion", m_expo, path("juez.xls"), "--juez", "2"});
        QCOMPARE(again.out, "0 Jaulas Pasadas\n");
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args"); // EXPO and a workbook name in the temporary folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("reception: missing workbook")
            << QStringList{"importar-recepcion", "EXPO", "no-existe.xls"} << 1
            << "No se encuentra el archivo";
        QTest::newRow("reception: not a workbook") << QStringList{"importar-recepcion", "EXPO", "texto.xls"}
                                                   << 1 << "no es un libro de Excel (.xls)";
        QTest::newRow("scores: no sheet Hoja1")
            << QStringList{"importar-puntuacion", "EXPO", "hoja2.xls"} << 1 << "no tiene la hoja «Hoja1»";
        QTest::newRow("reception: not an exhibition")
            << QStringList{"importar-recepcion", "texto.xls", "hoja2.xls"} << 1 << "texto.xls";
        QTest::newRow("reception: missing argument")
            << QStringList{"importar-recepcion", "EXPO"} << 2
            << "Uso: palomas-cli importar-recepcion EXPOSICION.mdb HOJA.xls";
        QTest::newRow("scores: judge in letters")
            << QStringList{"importar-puntuacion", "EXPO", "hoja2.xls", "--juez", "dos"} << 2 << "«juez»";
        QTest::newRow("scores: --juez without a number")
            << QStringList{"importar-puntuacion", "EXPO", "hoja2.xls", "--juez"} << 2 << "[--juez N]";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        workbooks::write(path("hoja2.xls"), {Row{5, {1}}}, "Hoja2");
        QFile text(path("texto.xls"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("Jaula;Grupo\n");
        text.close();
        for (qsizetype i = 1; i < args.size(); ++i)
            if (args[i] != "--juez" && args[i - 1] != "--juez")
                args[i] = args[i] == "EXPO" ? m_expo : path(args[i]);

        const CliResult result = runCli(args);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QCOMPARE(result.out, "");
        QCOMPARE(stored("select * from recepcion", "jaula"), "");
        QCOMPARE(stored("select * from puntos", "jaula"), "");
    }
};

QTEST_GUILESS_MAIN(TestCliImport)
#include "test_cli_import.moc"
