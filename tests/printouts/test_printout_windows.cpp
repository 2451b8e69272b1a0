// The "Impresos" menu and its windows: each item opens its printout's window; "PDF" writes the
// printout where the user says and tells how many pages; nothing to print is said before any
// dialog; without a printer "Imprimir" offers the PDF; the labels take the network address the
// show is served at; every button is reached and pressed from the keyboard.

#include "cli/cli_run.h"
#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "support/pdf_pages.h"
#include "support/gui_test.h"
#include "support/open_show.h"
#include "windows/printouts/printout_window.h"
#include "windows/shell/main_window.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSettings>

using guitest::child;
using printouts::Kind;

class TestPrintoutWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<fixtures::OpenShow> m_show;
    AppState* m_state = nullptr;
    QTemporaryDir m_settings;

    QString path(const QString& name) const { return m_show->path(name); }

    void addBirds(int count)
    {
        for (int cage = 1; cage <= count; ++cage)
            fixtures::addBird(m_state->mainDb, cage, cage % 5 == 0 ? "D" : "B", cage % 2 ? "M" : "H",
                              {{"categ", "C"},
                               {"nombre", QString("Socio %1").arg(cage % 4)},
                               {"club", "1"},
                               {"anilla", QString::number(1000 + cage)},
                               {"año", "2025"}});
    }

    std::unique_ptr<PrintoutWindow> open(Kind kind)
    {
        auto window = std::make_unique<PrintoutWindow>(*m_state, kind);
        guitest::showActive(window.get());
        return window;
    }

private slots:
    void initTestCase()
    {
        // The program's settings of these tests, apart from the user's.
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QCoreApplication::setOrganizationName(QStringLiteral("Palomas"));
        QCoreApplication::setApplicationName(QStringLiteral("Palomas"));
    }

    void init()
    {
        QSettings().clear();
        m_show = std::make_unique<fixtures::OpenShow>(2);
        m_state = &m_show->state;
        guitest::startScripting();
    }

    void cleanup() { VERIFY_SCRIPTED(); }

    void eachItemOpensItsPrintout_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("sheet"); // the labels' margins and address shown
        QTest::newRow("labels") << "actionEtiquetas"
                                << "Etiquetas de jaula" << true;
        QTest::newRow("judges' sheets") << "actionHojasJueces"
                                        << "Hojas de los jueces" << false;
        QTest::newRow("catalogue") << "actionCatalogo"
                                   << "Catálogo" << false;
        QTest::newRow("receipts") << "actionResguardos"
                                  << "Resguardos" << false;
    }
    void eachItemOpensItsPrintout()
    {
        QFETCH(QString, action);
        QFETCH(QString, title);
        QFETCH(bool, sheet);
        addBirds(3);
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        QString seen;
        guitest::whenShown<PrintoutWindow>([&](PrintoutWindow* window) {
            seen = window->windowTitle();
            QCOMPARE(child<QWidget>(window, "FrameEtiquetas")->isVisible(), sheet);
            window->reject();
        });
        main.findChild<QAction*>(action)->trigger();
        QCOMPARE(seen, title);
    }

    void pdfIsWrittenWhereTheUserSays_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("name"); // as typed in the dialog
        QTest::addColumn<QString>("file");
        QTest::newRow("labels, .pdf added") << Kind::Etiquetas << "etiquetas"
                                            << "etiquetas.pdf";
        QTest::newRow("judges' sheets") << Kind::HojasJueces << "jueces.PDF"
                                        << "jueces.PDF";
        QTest::newRow("catalogue") << Kind::Catalogo << "catálogo.pdf"
                                   << "catálogo.pdf";
        QTest::newRow("receipts") << Kind::Resguardos << "resguardos"
                                  << "resguardos.pdf";
    }
    void pdfIsWrittenWhereTheUserSays()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, name);
        QFETCH(QString, file);
        addBirds(60);
        auto window = open(kind);
        FileDialogs::scriptFileName(path(name));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "CommandPdf")->click();
        const int pages = pdfpages::pageCount(path(file));
        QVERIFY(pages > 1);
        QCOMPARE(Messages::last().text, QString("El impreso se ha guardado en %1 (%2 páginas).")
                                            .arg(QDir::toNativeSeparators(path(file)))
                                            .arg(pages));
        QVERIFY(window->isVisible());
    }

    void nothingToPrintIsSaidBeforeAnyDialog_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("birds");
        QTest::addColumn<int>("jueces");
        QTest::addColumn<QString>("message");
        QTest::newRow("catalogue without birds")
            << Kind::Catalogo << 0 << 2
            << "No hay ninguna paloma recibida en esta exposición: no hay nada que imprimir.";
        QTest::newRow("judges' sheets without judges")
            << Kind::HojasJueces << 4 << 0 << "No Hay Jueces en la Configuración,debes poner al menos Uno";
    }
    void nothingToPrintIsSaidBeforeAnyDialog()
    {
        QFETCH(Kind, kind);
        QFETCH(int, birds);
        QFETCH(int, jueces);
        QFETCH(QString, message);
        addBirds(birds);
        fixtures::setConfig(m_state->mainDb, jueces, true);
        auto window = open(kind);
        for (const char* button : {"CommandPdf", "CommandVistaPrevia"}) {
            Messages::script(Messages::Answer::Ok);
            child<QPushButton>(window.get(), button)->click();
            QCOMPARE(Messages::last().text, message);
        }
        QCOMPARE(FileDialogs::titles(), QStringList());
        QVERIFY(QDir(m_show->dir.path()).entryList({"*.pdf"}, QDir::Files).isEmpty());
        QVERIFY(window->isVisible());
    }

    void aPdfThatCannotBeWrittenIsNotCalledSaved()
    {
        addBirds(3);
        auto window = open(Kind::Catalogo);
        FileDialogs::scriptFileName(path("no/existe/catálogo.pdf"));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "CommandPdf")->click();
        QCOMPARE(Messages::shown().size(), 1);
        QCOMPARE(Messages::last().text, "No se ha podido grabar el archivo catálogo.pdf: la carpeta «" +
                                            QDir::toNativeSeparators(path("no/existe")) + "» no existe.");
        QVERIFY(!QFileInfo::exists(path("no")));
        QVERIFY(window->isVisible());
    }

    void printingWithoutPrinterOffersThePdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("This machine has a default printer: the fallback is not reached.");
        addBirds(5);
        auto window = open(Kind::Resguardos);
        Messages::script(Messages::Answer::Yes);
        FileDialogs::scriptFileName(path("resguardos"));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "CommandImprimir")->click();
        QCOMPARE(Messages::shown()[0].text,
                 "No hay ninguna impresora instalada. ¿Desea guardar el impreso como PDF?");
        QCOMPARE(Messages::last().text, "El impreso se ha guardado en " +
                                            QDir::toNativeSeparators(path("resguardos.pdf")) +
                                            " (1 páginas).");
    }

    // While the show is served the labels take its address, over one typed before the server
    // started on another port; a different address typed asks first, and No prints nothing.
    void labelsTakeTheShowsNetworkAddress()
    {
        addBirds(2);
        auto window = open(Kind::Etiquetas);
        auto* address = child<QLineEdit>(window.get(), "Direccion");
        address->setText("http://10.0.0.1:8080");
        window->hide();
        m_state->setNetworkAddress("http://192.168.0.9:8080");
        window->show();
        QCOMPARE(address->text(), QString("http://192.168.0.9:8080"));
        FileDialogs::scriptFileName(path("etiquetas.pdf"));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "CommandPdf")->click();
        QStringList codes = pdfpages::qrCodes(path("etiquetas.pdf"));
        codes.sort();
        QCOMPARE(codes, QStringList({"http://192.168.0.9:8080/puntuar?jaula=1",
                                     "http://192.168.0.9:8080/puntuar?jaula=2"}));
        address->setText("http://10.0.0.1:8080");
        Messages::script(Messages::Answer::No);
        child<QPushButton>(window.get(), "CommandPdf")->click();
        QCOMPARE(Messages::last().text, "La exposición se sirve en http://192.168.0.9:8080, y las etiquetas "
                                        "llevarían «http://10.0.0.1:8080». ¿Desea imprimirlas así?");
        QCOMPARE(address->text(), QString("http://192.168.0.9:8080"));
        // Emptied, and Yes: the labels have no code.
        address->clear();
        Messages::script(Messages::Answer::Yes);
        FileDialogs::scriptFileName(path("sin.pdf"));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "CommandPdf")->click();
        QCOMPARE(pdfpages::qrCodes(path("sin.pdf")), QStringList());
    }

    // The labels' margins, set to fit the printer, are those of the next window and of the next
    // run of the program.
    void labelMarginsAreKept()
    {
        {
            auto window = open(Kind::Etiquetas);
            child<QDoubleSpinBox>(window.get(), "MargenSuperior")->setValue(-1.5);
            child<QDoubleSpinBox>(window.get(), "MargenIzquierdo")->setValue(2.5);
        }
        auto again = open(Kind::Etiquetas);
        QCOMPARE(child<QDoubleSpinBox>(again.get(), "MargenSuperior")->value(), -1.5);
        QCOMPARE(child<QDoubleSpinBox>(again.get(), "MargenIzquierdo")->value(), 2.5);
        QSettings().sync();
        QCOMPARE(QSettings(QSettings().fileName(), QSettings::NativeFormat)
                     .value("etiquetas/margenIzquierdo")
                     .toDouble(),
                 2.5);
    }

    // The judges' sheets also go out as workbooks, one for each judge, from a button of their
    // own that the keyboard reaches between "PDF" and "Salir"; a folder that is not there is told.
    void judgesWorkbooksFromTheirWindow()
    {
        addBirds(10);
        auto window = open(Kind::HojasJueces);
        child<QPushButton>(window.get(), "CommandPdf")->setFocus();
        guitest::key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("CommandExcel"));
        guitest::key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("CommandSalir"));

        FileDialogs::scriptFileName(path("libros"));
        Messages::script(Messages::Answer::Ok);
        QVERIFY(QDir(m_show->dir.path()).mkdir("libros"));
        child<QPushButton>(window.get(), "CommandExcel")->click();
        QCOMPARE(Messages::last().text,
                 QString("2 libros grabados en %1").arg(QDir::toNativeSeparators(path("libros"))));
        QCOMPARE(QDir(path("libros")).entryList(QDir::Files), QStringList({"Juez 1.xlsx", "Juez 2.xlsx"}));

        FileDialogs::scriptFileName(path("no-existe"));
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(window.get(), "CommandExcel")->click();
        QCOMPARE(Messages::last().text,
                 QString("La carpeta «%1» no existe.").arg(QDir::toNativeSeparators(path("no-existe"))));
        QVERIFY(!QFileInfo::exists(path("no-existe")));
        QCOMPARE(FileDialogs::titles().value(0), QString("Hojas de los jueces en Excel"));
        QVERIFY(window->isVisible());
    }

    void cliWritesThePrintout_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"etiquetas", "hojas-jueces", "catalogo", "resguardos"})
            QTest::newRow(kind) << kind;
    }
    void cliWritesThePrintout()
    {
        QFETCH(QString, kind);
        addBirds(70);
        const QString pdf = path(kind + ".pdf");
        const CliResult result = runCli(
            {"impreso", kind, path("expo.mdb"), pdf, "--clubs", path("Club.mdb"), "--url", "10.1.1.1"});
        QCOMPARE(result.exitCode, 0);
        const int pages = pdfpages::pageCount(pdf);
        QVERIFY(pages > 1);
        QCOMPARE(result.out, QString("%1 paginas grabadas\n").arg(pages));
        QVERIFY(pdfpages::pageTexts(pdf).join('\n').contains("Regional de Castilla"));
    }

    void cliRefusesBadInput_data()
    {
        const QString usage = "Uso: palomas-cli impreso {etiquetas|hojas-jueces|catalogo|resguardos} "
                              "EXPOSICION.mdb SALIDA.pdf [--clubs CLUB.mdb] [--url URL]";
        QTest::addColumn<QStringList>("args"); // @ is the test's folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("too few") << QStringList{"impreso", "catalogo", "@/expo.mdb"} << 2 << usage;
        QTest::newRow("unknown printout") << QStringList{"impreso", "sobres", "@/expo.mdb", "@/x.pdf"} << 2
                                          << "Impreso desconocido: «sobres»\n" + usage;
        QTest::newRow("unknown option")
            << QStringList{"impreso", "catalogo", "@/expo.mdb", "@/x.pdf", "--pdf"} << 2
            << "Opción desconocida: «--pdf»\n" + usage;
        QTest::newRow("--url without its value")
            << QStringList{"impreso", "etiquetas", "@/expo.mdb", "@/x.pdf", "--url"} << 2 << usage;
        QTest::newRow("clubs file missing")
            << QStringList{"impreso", "catalogo", "@/expo.mdb", "@/x.pdf", "--clubs", "@/Otro.mdb"} << 1
            << "No se encuentra el archivo de clubes «@/Otro.mdb»; indíquelo con --clubs.";
        QTest::newRow("no birds")
            << QStringList{"impreso", "resguardos", "@/expo.mdb", "@/x.pdf"} << 1
            << "No hay ninguna paloma recibida en esta exposición: no hay nada que imprimir.";
        QTest::newRow("the PDF over the exhibition")
            << QStringList{"impreso", "catalogo", "@/expo.mdb", "@/./expo.mdb"} << 2
            << "«@/./expo.mdb» es un archivo de la exposición: el PDF necesita otro nombre.";
        QTest::newRow("the PDF over the clubs")
            << QStringList{"impreso", "catalogo", "@/expo.mdb", "@/Club.mdb", "--clubs", "@/Club.mdb"} << 2
            << "«@/Club.mdb» es un archivo de la exposición: el PDF necesita otro nombre.";
        QTest::newRow("folder missing")
            << QStringList{"impreso", "catalogo", "@/expo.mdb", "@/no/x.pdf"} << 1 << "(filled in below)";
    }
    void cliRefusesBadInput()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        if (err.startsWith("(filled")) {
            addBirds(1);
            err = "No se ha podido grabar el archivo x.pdf: la carpeta «" +
                  QDir::toNativeSeparators(path("no")) + "» no existe.";
        }
        args.replaceInStrings("@", m_show->dir.path());
        const CliResult result = runCli(args);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.out, QString());
        QVERIFY2(result.err.endsWith(QString(err).replace("@", m_show->dir.path()) + '\n'),
                 qPrintable(result.err));
        QVERIFY(!QFileInfo::exists(path("x.pdf")));
        // The exhibition and its clubs are still what they were.
        QVERIFY(store::Database::open(path("expo.mdb"), store::schema::exhibition()).isOpen());
        QVERIFY(store::Database::open(path("Club.mdb"), store::schema::clubs()).isOpen());
    }
};

QTEST_MAIN(TestPrintoutWindows)
#include "test_printout_windows.moc"
