// The listing windows' output: the document, a PDF without a printer, the menu's exports.

#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "output/text_document.h"
#include "support/pdf_pages.h"
#include "support/window_fixture.h"
#include "windows/listings/listabc_window.h"

#include <QAction>
#include <QGroupBox>
#include <QPrinterInfo>
#include <QPushButton>

using guitest::child;

class TestListingWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<ListabcWindow>> m_f;

    // Group A males scored by three judges: 14 preview lines each.
    void addScoredBirds(int count, int first = 1) const
    {
        for (int cage = first; cage < first + count; ++cage) {
            fixtures::addBird(
                m_f->db(), cage, "A", "M",
                {{"anilla", "12345"}, {"año", "2005"}, {"nombre", "José Muñoz"}, {"club", "1"}});
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(m_f->db(), QString::number(cage), juez, 80.0 + cage);
        }
    }

private slots:
    void init()
    {
        m_f = std::make_unique<WindowFixture<ListabcWindow>>();
        addScoredBirds(2);
        m_f->state.selGrupo = "A"; // the listing of group A males, unless a test says
        m_f->state.selSexo = "M";
    }

    void cleanup() { m_f.reset(); }

    void anEmptyListingOffersNoOutput()
    {
        m_f->state.selGrupo = "C";
        m_f->state.selSexo = "H";
        QCOMPARE(guitest::enabled(m_f->show(), {"Command3", "CommandVistaPrevia", "Command4"}), "000");
    }

    // The menu's exports (what each writes: the output's and the command line's tests), an Excel
    // one cancelled or refused over the show's own files, whatever path names them.
    void exportsFromTheMenu_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // "@" the folder
        const auto row = [](const char* name, const char* action, const char* typed, const char* message) {
            QTest::newRow(name) << action << typed << message;
        };
        row("listings", "actionExportarListados", "", "7 documentos grabados en @");
        row("without its extension", "actionExportarExcel", "resultados",
            "12 hojas grabadas en @/resultados.xlsx");
        row("cancelled", "actionExportarExcel", "", "");
        row("the exhibition by another path", "actionExportarExcel", "./sub/../expo.mdb",
            "«@/./sub/../expo.mdb» es un archivo de la exposición: el libro necesita otro nombre.");
    }
    void exportsFromTheMenu()
    {
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QVERIFY(QDir(m_f->dir.path()).mkdir("sub"));
        MainWindow* main = m_f->openMain();
        FileDialogs::scriptFileName(message.isEmpty() ? QString() : m_f->path(typed));
        if (!message.isEmpty())
            Messages::script(Messages::Answer::Ok);
        child<QAction>(main, qPrintable(action))->trigger();
        QCOMPARE(Messages::shown().isEmpty() ? QString() : Messages::last().text,
                 message.replace("@", QDir::toNativeSeparators(m_f->dir.path())));
        QCOMPARE(m_f->column("select * from recepcion order by jaula", "jaula"), "1,2"); // the show whole
    }

    void documentGoesWhereThePathBoxSays()
    {
        ListabcWindow* window = m_f->show();
        auto* box = m_f->w("Text2");
        m_f->w<QPushButton>("Command4")->click();
        box->setText(m_f->path("no/such/folder/"));
        Messages::script(Messages::Answer::Ok);
        m_f->w<QPushButton>("Command1")->click();
        QCOMPARE(Messages::last().text, "No se ha podido grabar el archivo Grupo A Machos.txt: la carpeta «" +
                                            QDir::toNativeSeparators(m_f->path("no/such/folder")) +
                                            "» no existe.");
        QVERIFY(m_f->w<QGroupBox>("Frame1")->isVisible() && !QFileInfo::exists(m_f->path("no")));

        box->setText(m_f->dir.path() + "/");
        Messages::script(Messages::Answer::Ok);
        m_f->w<QPushButton>("Command1")->click();
        QCOMPARE(Messages::last().text, "EL Archivo Grupo A Machos.txt ha sido Grabado");
        QVERIFY(!m_f->w<QGroupBox>("Frame1")->isVisible());
        QCOMPARE(
            fixtures::fingerprint(m_f->path("Grupo A Machos.txt")),
            QCryptographicHash::hash(listings::documentBytes(window->shown()), QCryptographicHash::Sha256));
    }

    void printingWithoutPrinterOffersAPdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("This machine has a default printer: the fallback is not reached.");
        addScoredBirds(2, 3); // four birds: 57 preview lines, two pages
        m_f->show();
        Messages::script(Messages::Answer::Yes);
        FileDialogs::scriptFileName(m_f->path("listado"));
        Messages::script(Messages::Answer::Ok);
        m_f->w<QPushButton>("Command3")->click();
        QCOMPARE(Messages::shown()[0].text,
                 "No hay ninguna impresora instalada. ¿Desea guardar el listado como PDF?");
        QCOMPARE(Messages::last().text,
                 "El listado se ha guardado en " + QDir::toNativeSeparators(m_f->path("listado.pdf")));
        QCOMPARE(pdfpages::pageCount(m_f->path("listado.pdf")), 2);
    }
};

QTEST_MAIN(TestListingWindows)
#include "test_listing_windows.moc"
