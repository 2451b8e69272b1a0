// Getting a listing out of its window: the TXT document where the path box says, the
// no-printer fallback to a PDF (a real one, checked with poppler's tools), the preview, and
// "Exportar todos los listados" from the menu.

#include "listing_exhibition.h"
#include "listings/listabc_window.h"
#include "listings/listadocl_window.h"
#include "listings/listados_window.h"
#include "listings/printout.h"
#include "listings/text_document.h"
#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "support/fixtures.h"
#include "support/gui_test.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
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

QString run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& path)
{
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {path}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

} // namespace

class TestListingOutput : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }

    // Group A males: birds scored by three judges, so that each block has 14 lines.
    void addScoredBirds(int count)
    {
        store::Transaction transaction(m_state->mainDb);
        for (int cage = 1; cage <= count; ++cage) {
            fixtures::addBird(
                m_state->mainDb, cage, "A", "M",
                {{"anilla", "12345"}, {"año", "2005"}, {"nombre", "José Muñoz"}, {"club", "1"}});
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(m_state->mainDb, QString::number(cage), juez, 80.0 + cage % 10);
        }
        transaction.commit();
    }

    std::unique_ptr<ListabcWindow> openListabc()
    {
        m_state->selGrupo = "A";
        m_state->selCateg = "";
        m_state->selSexo = "M";
        auto window = std::make_unique<ListabcWindow>(*m_state);
        window->load();
        guitest::showActive(window.get());
        return window;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        listingtest::openExhibition(*m_state, m_dir->path(), "Sin Nombre");
        guitest::startScripting();
    }

    void cleanup() { VERIFY_SCRIPTED(); }

    void documentGoesWhereThePathBoxSays_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written"); // inside the program folder
        QTest::newRow("empty box: drive A") << ""
                                            << "Unidades/A/Grupo A Machos.txt";
        QTest::newRow("A:\\") << "A:\\"
                              << "Unidades/A/Grupo A Machos.txt";
        QTest::newRow("folder with its final /") << "@/salida/"
                                                 << "salida/Grupo A Machos.txt";
    }
    void documentGoesWhereThePathBoxSays()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QDir(m_dir->path()).mkpath("salida");
        addScoredBirds(2);
        auto window = openListabc();
        auto* frame = child<QGroupBox>(window.get(), "Frame1");
        child<QPushButton>(window.get(), "Command4")->click();
        QVERIFY(frame->isVisible());
        auto* box = child<QLineEdit>(window.get(), "Text2");
        QTRY_VERIFY(box->hasFocus());
        box->setText(QString(typed).replace("@", m_dir->path()));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "Command1")->click();

        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text, "EL Archivo Grupo A Machos.txt ha sido Grabado");
        QVERIFY(!frame->isVisible());
        const QByteArray bytes = readAll(path(written));
        QCOMPARE(bytes, listings::documentBytes(window->shown()));
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines[4], QByteArray(40, ' ') + "Grupo A Machos\r");
        QCOMPARE(lines[8].left(18), QByteArray("* 1     0012345-05"));
    }

    void unwritableDocumentIsReportedAndTheWindowStaysUsable()
    {
        addScoredBirds(1);
        auto window = openListabc();
        child<QPushButton>(window.get(), "Command4")->click();
        child<QLineEdit>(window.get(), "Text2")->setText(path("no/such/folder/"));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "Command1")->click();
        QVERIFY2(Messages::last().text.contains("no existe"), qPrintable(Messages::last().text));
        QVERIFY(!Messages::last().text.contains("ha sido Grabado"));
        QVERIFY(child<QGroupBox>(window.get(), "Frame1")->isVisible());
        QVERIFY(!QFileInfo::exists(path("no")));

        child<QPushButton>(window.get(), "Command5")->click();
        QVERIFY(!child<QGroupBox>(window.get(), "Frame1")->isVisible());
        QCOMPARE(Messages::shown().size(), 1);
    }

    void groupDDocumentSelectsTheFirstRowAgain()
    {
        for (int cage = 1; cage <= 3; ++cage)
            fixtures::addBird(m_state->mainDb, cage, "D", "H",
                              {{"categ", "C"}, {"conc", cage}, {"coef", 1.5}, {"nombre", QString(40, 'x')}});
        m_state->selGrupo = "D";
        m_state->selCateg = "C";
        m_state->selSexo = "";
        ListadosWindow window(*m_state);
        window.load();
        QVERIFY(guitest::showActive(&window));
        auto* list = child<QTreeWidget>(&window, "ListView1");
        list->setCurrentItem(list->topLevelItem(2));
        child<QPushButton>(&window, "Command4")->click();
        child<QLineEdit>(&window, "Text1")->setText(m_dir->path() + "/");
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(&window, "Command1")->click();
        QCOMPARE(Messages::last().text, "EL Archivo sport DCategC.txt ha sido Grabado");
        QCOMPARE(list->currentItem(), list->topLevelItem(0));
        const QList<QByteArray> lines = readAll(path("sport DCategC.txt")).split('\n');
        QCOMPARE(lines.size(), 8 + 3 + 1);
        QCOMPARE(lines[8].size(), 88 + 1); // and its CR
        QVERIFY(lines[8].startsWith("  1       3  "));
        QVERIFY(lines[8].endsWith(QByteArray(30, 'x') + "\r"));
    }

    void printingWithoutPrinterOffersAPdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("This machine has a default printer: the fallback is not reached.");
        addScoredBirds(4); // 4 blocks of 14 lines and the last piece: 57 body lines, 2 pages
        auto window = openListabc();
        Messages::script(Messages::Answer::Yes);
        FileDialogs::scriptFileName(path("listado"));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "Command3")->click();

        QCOMPARE(Messages::shown()[0].text,
                 "No hay ninguna impresora instalada. ¿Desea guardar el listado como PDF?");
        QCOMPARE(Messages::last().text,
                 "El listado se ha guardado en " + QDir::toNativeSeparators(path("listado.pdf")));
        QCOMPARE(pdfPages(path("listado.pdf")), 2);
        const QString text = run("pdftotext", {"-layout", path("listado.pdf"), "-"});
        QVERIFY2(text.contains("Grupo A Machos"), qPrintable(text.left(400)));
        QVERIFY(text.contains("Clasificación General"));
        QVERIFY(text.contains("0012345-05"));
        QVERIFY(text.contains("José Muñoz"));
        QCOMPARE(text.count("Puntuacion de los Jueces"), 4);
        QCOMPARE(text.count("Grupo A Machos"), 2); // the title block of each page
        QVERIFY(run("pdfinfo", {path("listado.pdf")}).contains("A4"));
    }

    void declinedPdfWritesNothing()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("This machine has a default printer: the fallback is not reached.");
        ListadoClWindow window(*m_state);
        window.load();
        QVERIFY(guitest::showActive(&window));
        Messages::script(Messages::Answer::No);
        child<QPushButton>(&window, "Command3")->click();
        QCOMPARE(Messages::shown().size(), 1);
        QCOMPARE(QDir(m_dir->path()).entryList({"*.pdf"}), QStringList());
    }

    void previewShowsThePages()
    {
        addScoredBirds(4);
        auto window = openListabc();
        int pages = -1;
        guitest::whenShown<QPrintPreviewDialog>([&pages](QPrintPreviewDialog* preview) {
            pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
            preview->reject();
        });
        child<QPushButton>(window.get(), "CommandVistaPrevia")->click();
        QCOMPARE(pages, int(listings::printout(window->shown()).size()));
        QCOMPARE(pages, 2);
    }

    void exportAllWritesWhatEachWindowWrites()
    {
        addScoredBirds(2);
        fixtures::addBird(m_state->mainDb, 50, "D", "M", {{"categ", "B"}, {"conc", 3}, {"coef", 2.5}});
        auto window = openListabc(); // its own document, to compare with
        child<QPushButton>(window.get(), "Command4")->click();
        child<QLineEdit>(window.get(), "Text2")->setText(m_dir->path() + "/");
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "Command1")->click();
        window.reset();

        QDir(m_dir->path()).mkpath("todos");
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        FileDialogs::scriptFileName(path("todos"));
        Messages::script(Messages::Answer::Ok);
        main.findChild<QAction*>("actionExportarListados")->trigger();

        // Group A males, the five group D categories and the provinces; the empty
        // classifications of groups A to C have no document.
        QCOMPARE(Messages::last().text,
                 "7 documentos grabados en " + QDir::toNativeSeparators(path("todos")));
        const QDir out(path("todos"));
        QCOMPARE(out.entryList({"*.txt"}, QDir::Files, QDir::Name),
                 (QStringList{"Clasificación Por Provincia.txt", "Grupo A Machos.txt", "sport DCategA.txt",
                              "sport DCategB.txt", "sport DCategC.txt", "sport DCategD.txt",
                              "sport DCategE.txt"}));
        QCOMPARE(out.entryList({"*.pdf"}).size(), 7);
        QCOMPARE(readAll(out.filePath("Grupo A Machos.txt")), readAll(path("Grupo A Machos.txt")));
        QCOMPARE(pdfPages(out.filePath("sport DCategE.pdf")), 1);
    }
};

QTEST_MAIN(TestListingOutput)
#include "test_listing_output.moc"
