// palomas-cli listados as a user runs it: what it writes, its count, --pdf, and bad input.

#include "cli/cli_run.h"
#include "listings/openings.h"
#include "listings/text_document.h"
#include "support/fixtures.h"

#include <QDir>

class TestListadosCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }

    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        store::Database db = store::Database::create(path("expo.mdb"), store::schema::exhibition());
        fixtures::setConfig(db, 3, true);
        fixtures::addBird(db, 1, "A", "M", {{"club", "1"}, {"anilla", "12345"}, {"año", "2005"}});
        fixtures::addBird(db, 2, "C", "H", {{"club", "2"}});
        for (int juez = 1; juez <= 3; ++juez)
            fixtures::addScore(db, "1", juez, 88.0);
        store::Database clubs = store::Database::create(path("Club.mdb"), store::schema::clubs());
        fixtures::addClub(clubs, "1", "Club Uno", "Toledo");
        fixtures::addClub(clubs, "2", "Club Dos", "Cuenca");
        QDir(m_dir->path()).mkpath("out");
    }

    void writesTheDocumentsOfTheListingsWithBirds()
    {
        const CliResult result =
            runCli({"listados", path("expo.mdb"), path("out"), "--clubs", path("Club.mdb")});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out.trimmed(),
                 "8 documentos grabados"); // A males, C females, 5 of group D, provinces
        const QDir out(path("out"));
        QCOMPARE(out.entryList({"*.txt"}).size(), 8);
        QVERIFY(out.entryList({"*.pdf"}).isEmpty());
        QVERIFY(!out.exists("Grupo A Hembras.txt"));

        // The same bytes as the windows' documents, scores brought up to date first.
        const store::Database db = store::Database::open(path("expo.mdb"), store::schema::exhibition());
        const listings::Listing machos = listings::openClassification(db, "Sin Nombre", "A", "", "M");
        QCOMPARE(readAll(out.filePath("Grupo A Machos.txt")), listings::documentBytes(machos));
        QVERIFY(readAll(out.filePath("Grupo A Machos.txt")).contains("88,00"));
        QCOMPARE(fixtures::column(db, "select * from lclub1 order by provincia", "provincia"),
                 "Cuenca,Toledo");
        QVERIFY(
            readAll(out.filePath(QString::fromUtf8("Clasificación Por Provincia.txt"))).contains("Toledo"));
    }

    void pdfOptionWritesThePrintoutsToo()
    {
        const CliResult result =
            runCli({"listados", path("expo.mdb"), path("out"), "--pdf", "--clubs", path("Club.mdb")});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out.trimmed(), "8 documentos grabados");
        const QDir out(path("out"));
        QStringList txt = out.entryList({"*.txt"}, QDir::Files, QDir::Name);
        QStringList pdf = out.entryList({"*.pdf"}, QDir::Files, QDir::Name);
        txt.replaceInStrings(".txt", "");
        pdf.replaceInStrings(".pdf", "");
        QCOMPARE(pdf, txt);
        QVERIFY(readAll(out.filePath("sport DCategA.pdf")).startsWith("%PDF"));
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder argument")
            << QStringList{"listados", "@/expo.mdb"} << 2 << "Uso: palomas-cli listados";
        QTest::newRow("unknown option")
            << QStringList{"listados", "@/expo.mdb", "@/out", "--pfd"} << 2 << "Opción desconocida: «--pfd»";
        QTest::newRow("clubs file missing")
            << QStringList{"listados", "@/expo.mdb", "@/out", "--clubs", "@/no.mdb"} << 1
            << "No se encuentra el archivo de clubes";
        QTest::newRow("exhibition missing")
            << QStringList{"listados", "@/nada.mdb", "@/out", "--clubs", "@/Club.mdb"} << 1
            << "No se encuentra el archivo";
        QTest::newRow("folder missing")
            << QStringList{"listados", "@/expo.mdb", "@/falta", "--clubs", "@/Club.mdb"} << 1 << "no existe";
    }
    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const CliResult result = runCli(args.replaceInStrings("@", m_dir->path()));
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(QDir(path("out")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestListadosCli)
#include "test_listados_cli.moc"
