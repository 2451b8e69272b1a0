// The listing windows as the menu opens them, and their output: the document where the path box
// says or a clear message, a real PDF when no printer is installed, and palomas-cli listados,
// which writes the very documents the windows write.

#include "cli/cli_run.h"
#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "output/text_document.h"
#include "support/gui_test.h"
#include "support/open_show.h"
#include "windows/listings/listabc_window.h"
#include "windows/shell/main_window.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

using guitest::child;

namespace
{

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The standard output of one of poppler's tools.
QString poppler(const QString& tool, const QStringList& args)
{
    QProcess process;
    process.start(tool, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// What a listing window shows, "/" between: its captions, the output buttons it disables, then
// the start of its bird lines or its rows.
QString shownIn(QDialog* window)
{
    QStringList shown{window->windowTitle()}, disabled;
    for (const char* name : {"Label1", "Label2", "Label3"})
        if (auto* label = window->findChild<QLabel*>(name))
            shown << label->text();
    for (const char* name : {"Command3", "CommandVistaPrevia", "Command4"})
        if (!child<QPushButton>(window, name)->isEnabled())
            disabled << QString::fromLatin1(name);
    if (!disabled.isEmpty())
        shown << "disabled " + disabled.join(',');
    if (auto* text = window->findChild<QPlainTextEdit*>("Text1")) {
        for (const QString& line : text->toPlainText().split('\n'))
            if (line.startsWith(u'*'))
                shown << line.left(18);
    } else {
        auto* list = child<QTreeWidget>(window, "ListView1");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << list->topLevelItem(i)->text(c);
            shown << cells.join('|');
        }
    }
    return shown.join('/');
}

} // namespace

class TestListingWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<fixtures::OpenShow> m_show;
    AppState* m_state = nullptr;

    QString path(const QString& name) const { return m_show->path(name); }

    // Group A males scored by three judges: 14 preview lines each.
    void addScoredBirds(int count)
    {
        for (int cage = 1; cage <= count; ++cage) {
            fixtures::addBird(
                m_state->mainDb, cage, "A", "M",
                {{"anilla", "12345"}, {"año", "2005"}, {"nombre", "José Muñoz"}, {"club", "1"}});
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(m_state->mainDb, QString::number(cage), juez, 80.0 + cage);
        }
    }

    std::unique_ptr<ListabcWindow> openGroupAMales()
    {
        m_state->selGrupo = "A";
        m_state->selSexo = "M";
        auto window = std::make_unique<ListabcWindow>(*m_state);
        window->load();
        guitest::showActive(window.get());
        return window;
    }

private slots:
    void init()
    {
        m_show = std::make_unique<fixtures::OpenShow>(3);
        m_state = &m_show->state;
        guitest::startScripting();
    }

    void cleanup() { VERIFY_SCRIPTED(); }

    void menuOpensEachListing_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("shown");
        const QString titles = "/Regional de Castilla/Clasificación General/";
        QTest::newRow("Grupo A Machos") << "actionGrupoAMachos"
                                        << "Listado del Grupo A  Machos" + titles +
                                               "Grupo A Machos/* 1     0012345-05/* 2     0012345-05";
        QTest::newRow("Grupo C Hembras, empty")
            << "actionGrupoCHembras"
            << "Listado del Grupo C  Hembras" + titles +
                   "Grupo C Hembras/disabled Command3,CommandVistaPrevia,Command4";
        QTest::newRow("Grupo D Categoria C")
            << "actionGrupoDCategoriaC"
            << "Listado del Grupo D  Categoria C" + titles + "Grupo D  Categoria C/1|05-1234567|12|3,46||8";
        QTest::newRow("Listado Por Club")
            << "actionListadoPorClub"
            << "Listados/Regional de Castilla/Clasificación Por Provincia/1|Toledo|10/2| |6";
    }
    void menuOpensEachListing()
    {
        QFETCH(QString, action);
        QFETCH(QString, shown);
        addScoredBirds(2);
        fixtures::addBird(
            m_state->mainDb, 8, "D", "M",
            {{"categ", "C"}, {"conc", 12}, {"coef", 3.456}, {"anilla", "1234567"}, {"año", "2005"}});
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        QString seen;
        guitest::whenShown<QDialog>([&seen](QDialog* window) {
            seen = shownIn(window);
            window->reject();
        });
        main.findChild<QAction*>(action)->trigger();
        QCOMPARE(seen, shown);
    }

    void exportFromTheMenuWritesEveryListing()
    {
        addScoredBirds(2);
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        const QString folder = path("exportados");
        QDir().mkpath(folder);
        FileDialogs::scriptFileName(folder);
        Messages::script(Messages::Answer::Ok);
        main.findChild<QAction*>("actionExportarListados")->trigger();
        // Only group A males has birds among groups A to C; the five group D categories and the
        // provinces always have a document. Each document has its PDF.
        QCOMPARE(Messages::last().text, "7 documentos grabados en " + QDir::toNativeSeparators(folder));
        const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.filter(".txt").size(), 7);
        QCOMPARE(files.filter(".pdf").size(), 7);
        QVERIFY(files.contains("Grupo A Machos.txt") && files.contains("sport DCategE.pdf"));
    }

    // "Exportar a Excel": the name asked for (".xlsx" added when typed without it), the sheets
    // counted, a folder that does not exist told and nothing written, a cancel doing nothing.
    void exportToExcelFromTheMenu_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("message");
        QTest::newRow("named") << "libro.xlsx"
                               << "libro.xlsx"
                               << "12 hojas grabadas en %1";
        QTest::newRow("without its extension") << "resultados"
                                               << "resultados.xlsx"
                                               << "12 hojas grabadas en %1";
        QTest::newRow("missing folder")
            << "no-existe/libro.xlsx"
            << ""
            << "No se ha podido grabar el archivo libro.xlsx: la carpeta «%1» no existe.";
        QTest::newRow("cancelled") << ""
                                   << ""
                                   << "";
    }
    void exportToExcelFromTheMenu()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QString, message);
        addScoredBirds(2);
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        const qsizetype before = Messages::shown().size();
        FileDialogs::scriptFileName(typed.isEmpty() ? QString() : path(typed));
        if (!message.isEmpty())
            Messages::script(Messages::Answer::Ok);
        main.findChild<QAction*>("actionExportarExcel")->trigger();
        // The message names the workbook written, or the folder that does not exist.
        const QString named =
            QDir::toNativeSeparators(path(written.isEmpty() ? QStringLiteral("no-existe") : written));
        QCOMPARE(Messages::shown().size() == before ? QString() : Messages::last().text, message.arg(named));
        QCOMPARE(FileDialogs::titles().value(0), QStringLiteral("Exportar a Excel"));
        if (!written.isEmpty())
            QVERIFY(QFileInfo(path(written)).size() > 0);
        QVERIFY(!QFileInfo::exists(path("no-existe")));
    }

    // A workbook is never written over the show's own files, whatever path names them: the
    // exhibition and its clubs stay whole and in use.
    void excelNotWrittenOverTheShow_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("the exhibition") << "expo.mdb";
        QTest::newRow("the exhibition by another path") << "./sub/../expo.mdb";
        QTest::newRow("the clubs") << "Club.mdb";
    }
    void excelNotWrittenOverTheShow()
    {
        QFETCH(QString, typed);
        QVERIFY(QDir(m_show->dir.path()).mkdir("sub"));
        addScoredBirds(2);
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        FileDialogs::scriptFileName(path(typed));
        Messages::script(Messages::Answer::Ok);
        main.findChild<QAction*>("actionExportarExcel")->trigger();
        QCOMPARE(Messages::last().text,
                 "«" + path(typed) + "» es un archivo de la exposición: el libro necesita otro nombre.");
        QCOMPARE(fixtures::column(m_state->mainDb, "select * from recepcion order by jaula", "jaula"), "1,2");
        const store::Database clubs = store::Database::open(path("Club.mdb"), store::schema::clubs());
        QCOMPARE(fixtures::column(clubs, "select * from club", "codigo"), "1");
    }

    void documentGoesWhereThePathBoxSays()
    {
        addScoredBirds(1);
        auto window = openGroupAMales();
        auto* frame = child<QGroupBox>(window.get(), "Frame1");
        auto* box = child<QLineEdit>(window.get(), "Text2");
        child<QPushButton>(window.get(), "Command4")->click();
        box->setText(path("no/such/folder/"));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "Command1")->click();
        QCOMPARE(Messages::last().text, "No se ha podido grabar el archivo Grupo A Machos.txt: la carpeta «" +
                                            QDir::toNativeSeparators(path("no/such/folder")) +
                                            "» no existe.");
        QVERIFY(frame->isVisible());
        QVERIFY(!QFileInfo::exists(path("no")));

        box->setText(m_show->dir.path() + "/");
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "Command1")->click();
        QCOMPARE(Messages::last().text, "EL Archivo Grupo A Machos.txt ha sido Grabado");
        QVERIFY(!frame->isVisible());
        QCOMPARE(readAll(path("Grupo A Machos.txt")), listings::documentBytes(window->shown()));
    }

    void printingWithoutPrinterOffersAPdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("This machine has a default printer: the fallback is not reached.");
        addScoredBirds(4); // 57 preview lines: two pages
        auto window = openGroupAMales();
        Messages::script(Messages::Answer::Yes);
        FileDialogs::scriptFileName(path("listado"));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "Command3")->click();
        QCOMPARE(Messages::shown()[0].text,
                 "No hay ninguna impresora instalada. ¿Desea guardar el listado como PDF?");
        QCOMPARE(Messages::last().text,
                 "El listado se ha guardado en " + QDir::toNativeSeparators(path("listado.pdf")));
        const QString info = poppler("pdfinfo", {path("listado.pdf")});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+2\\n")) && info.contains("A4"),
                 qPrintable(info));
        const QString text = poppler("pdftotext", {"-layout", path("listado.pdf"), "-"});
        QCOMPARE(text.count("Grupo A Machos"), 2); // the title block of each page
        QCOMPARE(text.count("Puntuacion de los Jueces"), 4);
        QVERIFY2(text.contains("José Muñoz") && text.contains("0012345-05"), qPrintable(text.left(400)));
    }

    void cliWritesTheDocumentsOfTheWindows()
    {
        addScoredBirds(2);
        fixtures::addBird(m_state->mainDb, 9, "C", "H");
        auto window = openGroupAMales();
        QDir(m_show->dir.path()).mkpath("out");
        const CliResult result =
            runCli({"listados", path("expo.mdb"), path("out"), "--pdf", "--clubs", path("Club.mdb")});
        QCOMPARE(result.exitCode, 0);
        // Groups A and C, each of a sex, the five categories of group D and the provinces.
        QCOMPARE(result.out.trimmed(), "8 documentos grabados");
        const QDir out(path("out"));
        QCOMPARE(readAll(out.filePath("Grupo A Machos.txt")), listings::documentBytes(window->shown()));
        QStringList documents = out.entryList({"*.txt"}, QDir::Files, QDir::Name);
        QVERIFY(documents.contains("Grupo C Hembras.txt") && !documents.contains("Grupo A Hembras.txt"));
        QCOMPARE(out.entryList({"*.pdf"}, QDir::Files, QDir::Name),
                 documents.replaceInStrings(".txt", ".pdf"));
    }

    void cliRefusesBadInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // "@" stands for the test's folder
        const QString usage = "Uso: palomas-cli listados EXPOSICION.mdb CARPETA [--clubs CLUB.mdb] [--pdf]\n";
        QTest::newRow("no folder") << QStringList{"@/expo.mdb"} << 2 << usage;
        QTest::newRow("unknown option")
            << QStringList{"@/expo.mdb", "@", "--pfd"} << 2 << "Opción desconocida: «--pfd»\n" + usage;
        QTest::newRow("no clubs file")
            << QStringList{"@/expo.mdb", "@", "--clubs", "@/no.mdb"} << 1
            << "No se encuentra el archivo de clubes «@/no.mdb»; indíquelo con --clubs.\n";
        QTest::newRow("missing folder") << QStringList{"@/expo.mdb", "@/falta", "--clubs", "@/Club.mdb"} << 1
                                        << "La carpeta «@/falta» no existe.\n";
    }
    void cliRefusesBadInput()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        addScoredBirds(1);
        const CliResult result =
            runCli(QStringList{"listados"} + args.replaceInStrings("@", m_show->dir.path()));
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.err, QString(message).replace("@", m_show->dir.path()));
        QVERIFY(QDir(m_show->dir.path()).entryList({"*.txt"}).isEmpty());
    }
};

QTEST_MAIN(TestListingWindows)
#include "test_listing_windows.moc"
