// palomas-cli exportar-xlsx and hojas-jueces-xlsx as a user runs them: their count texts, their
// usage, and a folder that cannot be written.

#include "cli/cli_run.h"
#include "generator.h"
#include "store/database.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestCliExcel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    bench::Generated m_show;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        bench::ExhibitionSize size;
        size.cages = 120;
        size.jueces = size.judgesPerCage = 4;
        m_show = bench::generate(m_dir.path(), QStringLiteral("expo.mdb"), size);
    }

    void runs_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QStringList>("written");
        const QString expo = m_dir.filePath("expo.mdb");
        const QString clubs = m_dir.filePath("Club.mdb");
        const QString missing = m_dir.filePath("no-existe");
        QTest::newRow("export") << QStringList{"exportar-xlsx", expo, m_dir.filePath("r.xlsx"), "--clubs",
                                               clubs}
                                << 0 << "12 hojas grabadas\n"
                                << "" << QStringList{"r.xlsx"};
        QTest::newRow("export to a missing folder")
            << QStringList{"exportar-xlsx", expo, missing + "/r.xlsx", "--clubs", clubs} << 1 << ""
            << QString("No se ha podido grabar el archivo r.xlsx: la carpeta «%1» no existe.\n").arg(missing)
            << QStringList{};
        QTest::newRow("export without its output")
            << QStringList{"exportar-xlsx", expo} << 2 << ""
            << "Uso: palomas-cli exportar-xlsx EXPOSICION.mdb SALIDA.xlsx [--clubs CLUB.mdb]\n"
            << QStringList{};
        QTest::newRow("export over the exhibition")
            << QStringList{"exportar-xlsx", expo, m_dir.path() + "/./expo.mdb", "--clubs", clubs} << 2 << ""
            << QString("«%1/./expo.mdb» es un archivo de la exposición: el libro necesita otro nombre.\n")
                   .arg(m_dir.path())
            << QStringList{};
        QTest::newRow("export over the clubs")
            << QStringList{"exportar-xlsx", expo, clubs, "--clubs", clubs} << 2 << ""
            << QString("«%1» es un archivo de la exposición: el libro necesita otro nombre.\n").arg(clubs)
            << QStringList{};
        QTest::newRow("judges' workbooks")
            << QStringList{"hojas-jueces-xlsx", expo, m_dir.path()} << 0 << "4 libros grabados\n"
            << "" << QStringList{"Juez 1.xlsx", "Juez 2.xlsx", "Juez 3.xlsx", "Juez 4.xlsx"};
        QTest::newRow("judges' workbooks in a missing folder")
            << QStringList{"hojas-jueces-xlsx", expo, missing} << 1 << ""
            << QString("La carpeta «%1» no existe.\n").arg(missing) << QStringList{};
        QTest::newRow("judges' workbooks without a folder")
            << QStringList{"hojas-jueces-xlsx", expo} << 2 << ""
            << "Uso: palomas-cli hojas-jueces-xlsx EXPOSICION.mdb CARPETA\n"
            << QStringList{};
    }
    void runs()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QStringList, written);
        for (const QString& name : written)
            QFile::remove(m_dir.filePath(name));
        const CliResult run = runCli(args);
        QCOMPARE(run.err, err);
        QCOMPARE(run.out, out);
        QCOMPARE(run.exitCode, exitCode);
        for (const QString& name : written)
            QVERIFY2(QFileInfo(m_dir.filePath(name)).size() > 0, qPrintable(name));
        QVERIFY(!QFileInfo::exists(m_dir.filePath("no-existe")));
        // Whatever the command did, the show and its clubs are still what they were.
        QVERIFY(store::Database::open(m_show.exhibition, store::schema::exhibition()).isOpen());
        QVERIFY(store::Database::open(m_dir.filePath("Club.mdb"), store::schema::clubs()).isOpen());
    }
};

QTEST_GUILESS_MAIN(TestCliExcel)
#include "test_cli_excel.moc"
