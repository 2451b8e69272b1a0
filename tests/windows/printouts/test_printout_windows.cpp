// The printouts' window: the PDF, nothing to print, no printer, the labels, the workbooks.

#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "support/pdf_pages.h"
#include "support/window_fixture.h"
#include "windows/printouts/printout_window.h"

#include <QDoubleSpinBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSettings>

using printouts::Kind;

class TestPrintoutWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<PrintoutWindow>> m_f;
    QTemporaryDir m_settings;

    QString path(const QString& name) const { return m_f->path(name); }
    QString native(const QString& name) const { return QDir::toNativeSeparators(path(name)); }

    void addBirds(int count) const
    {
        for (int cage = 1; cage <= count; ++cage)
            fixtures::addBird(m_f->db(), cage, cage % 5 == 0 ? "D" : "B", cage % 2 ? "M" : "H",
                              {{"categ", "C"},
                               {"nombre", QString("Socio %1").arg(cage % 4)},
                               {"club", "1"},
                               {"anilla", QString::number(1000 + cage)},
                               {"año", "2025"}});
    }

    // "PDF", the file's name given to the dialog, the box that tells it written answered.
    void pdf(const QString& name) const
    {
        FileDialogs::scriptFileName(path(name));
        Messages::script(Messages::Answer::Ok);
        m_f->press("CommandPdf");
    }

private slots:
    void initTestCase()
    {
        // The program's settings of these tests, apart from the user's.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QCoreApplication::setOrganizationName(QStringLiteral("Palomas"));
        QCoreApplication::setApplicationName(QStringLiteral("Palomas"));
    }

    void init()
    {
        QSettings().clear();
        m_f = std::make_unique<WindowFixture<PrintoutWindow>>(2);
    }

    void cleanup() { m_f.reset(); }

    // The PDF written where the user says and its pages told, or the cause told and nothing
    // called saved; the window stays.
    void pdfIsWrittenWhereTheUserSays_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("name"); // as typed in the dialog
        QTest::addColumn<QString>("told"); // %1 the file written, %2 its pages
        QTest::newRow("labels, .pdf added") << Kind::Etiquetas << "etiquetas"
                                            << "El impreso se ha guardado en %1/etiquetas.pdf (%2 páginas).";
        QTest::newRow("judges' sheets") << Kind::HojasJueces << "jueces.PDF"
                                        << "El impreso se ha guardado en %1/jueces.PDF (%2 páginas).";
        QTest::newRow("a folder not there") << Kind::Catalogo << "no/existe/catálogo.pdf"
                                            << "No se ha podido grabar el archivo catálogo.pdf: la carpeta "
                                               "«%1/no/existe» no existe.";
    }
    void pdfIsWrittenWhereTheUserSays()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, name);
        QFETCH(QString, told);
        addBirds(60);
        m_f->show(kind);
        pdf(name);
        const QString written = path(name.endsWith(".pdf", Qt::CaseInsensitive) ? name : name + ".pdf");
        const int pages = pdfpages::pageCount(written);
        QCOMPARE(Messages::shown().size(), 1);
        QCOMPARE(Messages::last().text, QDir::toNativeSeparators(told.arg(m_f->dir.path()).arg(pages)));
        QVERIFY(told.startsWith("No") ? !QFileInfo::exists(path("no")) : pages > 1);
        QVERIFY(m_f->window->isVisible());
    }

    // The judges' sheets without judges (what each printout lacks is the printouts' rule).
    void nothingToPrintIsSaidBeforeAnyDialog()
    {
        addBirds(4);
        fixtures::setConfig(m_f->db(), 0, true);
        m_f->show(Kind::HojasJueces);
        for (const char* button : {"CommandPdf", "CommandVistaPrevia"}) {
            Messages::script(Messages::Answer::Ok);
            m_f->press(button);
            QCOMPARE(Messages::last().text, "No Hay Jueces en la Configuración,debes poner al menos Uno");
        }
        QCOMPARE(FileDialogs::titles(), QStringList());
        QVERIFY(QDir(m_f->dir.path()).entryList({"*.pdf"}, QDir::Files).isEmpty());
    }

    void printingWithoutPrinterOffersThePdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("This machine has a default printer: the fallback is not reached.");
        addBirds(5);
        m_f->show(Kind::Resguardos);
        Messages::script(Messages::Answer::Yes);
        FileDialogs::scriptFileName(path("resguardos"));
        Messages::script(Messages::Answer::Ok);
        m_f->press("CommandImprimir");
        QCOMPARE(Messages::shown()[0].text,
                 "No hay ninguna impresora instalada. ¿Desea guardar el impreso como PDF?");
        QCOMPARE(Messages::last().text,
                 "El impreso se ha guardado en " + native("resguardos.pdf") + " (1 páginas).");
    }

    // While the show is served the labels take its address over one typed before; another address
    // typed asks first, and No prints nothing.
    void labelsTakeTheShowsNetworkAddress()
    {
        addBirds(2);
        PrintoutWindow* window = m_f->show(Kind::Etiquetas);
        auto* address = m_f->w("Direccion");
        address->setText("http://10.0.0.1:8080");
        window->hide();
        m_f->state.setNetworkAddress("http://192.168.0.9:8080");
        window->show();
        QCOMPARE(address->text(), "http://192.168.0.9:8080");
        pdf("etiquetas.pdf");
        QStringList codes = pdfpages::qrCodes(path("etiquetas.pdf"));
        codes.sort();
        QCOMPARE(codes, QStringList({"http://192.168.0.9:8080/puntuar?jaula=1",
                                     "http://192.168.0.9:8080/puntuar?jaula=2"}));
        address->setText("http://10.0.0.1:8080");
        Messages::script(Messages::Answer::No);
        m_f->press("CommandPdf");
        QCOMPARE(Messages::last().text, "La exposición se sirve en http://192.168.0.9:8080, y las etiquetas "
                                        "llevarían «http://10.0.0.1:8080». ¿Desea imprimirlas así?");
        QCOMPARE(address->text(), "http://192.168.0.9:8080");
    }

    // The labels' margins, set to fit the printer, are those of the next window (the next run's).
    void labelMarginsAreKept()
    {
        m_f->show(Kind::Etiquetas);
        m_f->w<QDoubleSpinBox>("MargenSuperior")->setValue(-1.5);
        m_f->w<QDoubleSpinBox>("MargenIzquierdo")->setValue(2.5);
        m_f->show(Kind::Etiquetas);
        QCOMPARE(m_f->w<QDoubleSpinBox>("MargenSuperior")->value() * 10 +
                     m_f->w<QDoubleSpinBox>("MargenIzquierdo")->value(),
                 -12.5);
    }

    // The judges' sheets as workbooks, one for each judge (a folder not there is the output's test).
    void judgesWorkbooksFromTheirWindow()
    {
        addBirds(10);
        m_f->show(Kind::HojasJueces);
        QVERIFY(QDir(m_f->dir.path()).mkdir("libros"));
        FileDialogs::scriptFileName(path("libros"));
        Messages::script(Messages::Answer::Ok);
        m_f->press("CommandExcel");
        QCOMPARE(Messages::last().text, "2 libros grabados en " + native("libros"));
        QCOMPARE(QDir(path("libros")).entryList(QDir::Files), QStringList({"Juez 1.xlsx", "Juez 2.xlsx"}));
    }
};

QTEST_MAIN(TestPrintoutWindows)
#include "test_printout_windows.moc"
