// The start window's "Nuevo" and "Existente"; the main window and the configuration from it; each
// menu item opens its window, which fits a laptop's screen and opens where it was left.

#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "kit/window_placement.h"
#include "rules/records/closing.h"
#include "support/window_fixture.h"
#include "windows/clubs/club_search_window.h"
#include "windows/config/config_window.h"
#include "windows/listings/listabc_window.h"
#include "windows/reception/reception_window.h"
#include "windows/shell/startup_window.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>

using guitest::child;

namespace
{

// The screen of the test (pantalla.json, given by the test's environment): 1366 x 768 less a panel.
const QRect available(0, 0, 1366, 720);

// A window manager's frame, which the offscreen platform does not draw: room is left for it.
const QMargins managerFrame(4, 24, 4, 4);

// Where the window does not fit, or a visible button of it lies outside it; empty when all is well.
QString misfit(const QWidget* window)
{
    QStringList problems;
    const auto size = [](QSize s) { return QString("%1x%2").arg(s.width()).arg(s.height()); };
    const QRect framed = window->geometry().marginsAdded(managerFrame);
    if (!available.contains(framed))
        problems << QString("con su marco, %1,%2 %3 fuera de la pantalla")
                        .arg(framed.x())
                        .arg(framed.y())
                        .arg(size(framed.size()));
    const QSize least = window->minimumSizeHint();
    if (window->width() < least.width() || window->height() < least.height())
        problems << size(window->size()) + " por debajo de su mínimo " + size(least);
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QRect at(button->mapTo(window, QPoint()), button->size());
        if (button->isVisible() && !window->rect().contains(at))
            problems << QString("botón «%1» fuera de la ventana").arg(button->text());
    }
    return problems.join("; ");
}

} // namespace

class TestShellWindows : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    std::unique_ptr<WindowFixture<QWidget>> m_f; // expo.mdb, "Regional de Castilla", in its folder
    QStringList m_opened;                        // the name shown by each main window that opened

    QString label(const char* name) const { return w<QLabel>(name)->text(); }
    template <class T> T* w(const char* name) const { return guitest::child<T>(m_f->main.get(), name); }

    // Every main window that opens notes the exhibition's name, then is closed.
    void closeMainWindowsWhenShown()
    {
        guitest::whenShown<MainWindow>([this](MainWindow* main) {
            m_opened << child<QLabel>(main, "Label1")->text();
            main->close();
            closeMainWindowsWhenShown();
        });
    }

    void existente(const QString& chosen) const
    {
        FileDialogs::scriptFileName(chosen);
        m_f->w<QAction>("actionExistente")->trigger();
    }

    // The program as it starts: no show open yet, the start window shown.
    void startup()
    {
        m_f->state = AppState{};
        m_f->state.programFolder = m_f->dir.path();
        m_f->window = std::make_unique<StartupWindow>(m_f->state);
        QVERIFY(guitest::showActive(m_f->window.get()));
        m_opened.clear();
        closeMainWindowsWhenShown();
    }

    // Six cages scored by three judges, and the main window over them, which fits too.
    void openOverSixCages()
    {
        for (int cage = 1; cage <= 6; ++cage) {
            fixtures::addBird(m_f->db(), cage, "A", "M");
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(m_f->db(), QString::number(cage), juez, 87 + (cage + juez) % 8);
        }
        m_f->openMain();
        QCOMPARE(misfit(m_f->main.get()), QString());
    }

private slots:
    void initTestCase()
    {
        // The user's own settings stay untouched: the program's settings go to a folder of the test.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QCoreApplication::setOrganizationName(QStringLiteral("Palomas"));
        QCoreApplication::setApplicationName(QStringLiteral("Palomas"));
        QVERIFY2(QSettings().fileName().startsWith(m_settings.path()), qPrintable(QSettings().fileName()));
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), available);
        placement::installForApplication();
    }

    void init() { m_f = std::make_unique<WindowFixture<QWidget>>(5, true); }

    void cleanup() { m_f.reset(); }

    // The show's name, its file, the emblem when there is one; the shared results and settings
    // read; the day panel's date at every second click on it; "Acerca de".
    void mainWindow()
    {
        fixtures::addBird(m_f->db(), 10, "A", "M");
        fixtures::addBird(m_f->db(), 2, "A", "H");
        m_f->openMain();
        QCOMPARE(label("Label1") + "|" + label("Label2") + "|" + w<QLabel>("archivo")->toolTip(),
                 "Regional de Castilla|Castilla|" + QDir::toNativeSeparators(m_f->state.dbPath));
        QVERIFY(w<QLabel>("Picture1")->pixmap().isNull());
        const AppState& state = m_f->state;
        QCOMPARE(QString("%1 %2 %3")
                     .arg(state.receRs.recordCount())
                     .arg(state.receRs.value("jaula").toInt())
                     .arg(state.jueces()),
                 "2 2 5"); // birds, the first of them, judges
        QVERIFY(state.clubRs.isOpen());
        QStringList seen;
        for (const char* panel : {"dia", "dia", "texto", "dia", "dia"}) {
            QTest::mouseClick(w<QLabel>(panel), Qt::LeftButton);
            seen << (label("dia").count(u'/') == 2 ? "fecha" : "hora");
        }
        QCOMPARE(seen.join(u' '), "fecha hora hora hora fecha");
        Messages::script(Messages::Answer::Ok);
        w<QAction>("actionAcercaDe")->trigger();
        QCOMPARE(
            guitest::told(),
            "Acerca de: Programa para Exposiciones de Palomas Mensajeras<br>Versión " PALOMAS_PROJECT_VERSION
            "<br><br>Carpeta de los datos: " +
                QDir::toNativeSeparators(m_f->dir.path()));
        QVERIFY(m_f->main->isVisible());

        QFile gif(m_f->path("Talvorena1.gif")); // the smallest GIF: one transparent pixel
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.write(QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7"));
        gif.close();
        m_f->openMain();
        QVERIFY(!w<QLabel>("Picture1")->pixmap().isNull());
    }

    // "Configuracion" types nothing while browsing and stores what "&Modificar" typed, shown at
    // once behind it (the first steps' line gone) and read by every later window.
    void configurationStoredAndShownAtOnce()
    {
        m_f->db().execute("DELETE FROM Config");
        m_f->openMain();
        const auto pending = [this] {
            const auto* line = w<QLabel>("primerosPasos");
            return line->isVisible() ? line->text() : QString();
        };
        QCOMPARE(pending(), "Para empezar: 3 Configuracion (número de jueces y criterio); después 4 Club; "
                            "después 1 Recepcion.");
        QString shownBehind;
        guitest::whenShown<QDialog>([&](QDialog* config) {
            guitest::type(child<QLineEdit>(config, "Text1"), "Tecleado"); // browsing: not typed
            shownBehind = child<QLineEdit>(config, "Text1")->text() + "|";
            QTest::mouseClick(child<QPushButton>(config, "confModificar"), Qt::LeftButton);
            guitest::type(child<QLineEdit>(config, "Text1"), "Exposicion de Invierno");
            guitest::type(child<QLineEdit>(config, "Text3"), "Castilla");
            guitest::type(child<QLineEdit>(config, "Text6"), "4");
            child<QRadioButton>(config, "Option1")->click();
            QTest::mouseClick(child<QPushButton>(config, "ConfAceptar"), Qt::LeftButton);
            shownBehind += label("Label1") + "|" + label("Label2") + "|" + pending();
            config->reject();
        });
        w<QAction>("actionConfiguracion")->trigger();
        QCOMPARE(shownBehind, "Sin Nombre|Exposicion de Invierno|Castilla|");
        QCOMPARE(m_f->column("select * from config", "media") + '|' + QString::number(m_f->state.jueces()),
                 "Verdadero|4");
    }

    // A name typed creates the show and opens it; blanks create nothing; a name that cannot be
    // a show's is told, and nothing is created.
    void nuevo_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("message");
        QTest::newRow("a name") << "  Regional 2026 " << QString("Sin Nombre") << QString();
        QTest::newRow("blanks") << "   " << QString() << QString();
        QTest::newRow("the clubs' name")
            << "club" << QString()
            << "«club» no puede ser el nombre de una exposición: Club.mdb es la base de "
               "datos de los clubes del programa. Escriba otro nombre.";
    }
    void nuevo()
    {
        startup();
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const QDir folder(m_f->dir.path());
        const qsizetype before = folder.entryList(QDir::Files).size();
        m_f->w<QAction>("actionNuevo")->trigger();
        guitest::type(m_f->w("Text1"), typed);
        if (!message.isEmpty())
            Messages::script(Messages::Answer::Ok);
        m_f->w<QPushButton>("Command1")->click();
        QCOMPARE(guitest::told(), message.isEmpty() ? message : "Aviso: " + message);
        QTEST(m_opened.join(u','), "opened");
        QCOMPARE(folder.entryList(QDir::Files).size() - before, m_opened.size());
        if (!m_opened.isEmpty())
            QCOMPARE(QDir::cleanPath(m_f->state.dbPath), QDir::cleanPath(m_f->path("Regional 2026.mdb")));
        QCOMPARE(m_f->w<QGroupBox>("Frame1")->isVisible(), !message.isEmpty()); // typed again
    }

    // A cancelled dialog opens nothing; a file the program refuses is told (what it refuses, left
    // untouched, is the store's test); two exhibitions open one after the other in the same run.
    void existente()
    {
        startup();
        existente(QString());
        QFile jet(m_f->path("otro.mdb"));
        QVERIFY(jet.open(QIODevice::WriteOnly));
        jet.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00\x01", 21).leftJustified(4096, '\0'));
        jet.close();
        Messages::script(Messages::Answer::Ok);
        existente(m_f->path("otro.mdb"));
        QCOMPARE(guitest::told(),
                 "Aviso: El archivo «otro.mdb» no es una base de datos de este programa (puede "
                 "ser de otro programa o de una versión antigua).");
        store::Database other =
            store::Database::create(m_f->path("Segunda.mdb"), store::schema::exhibition());
        fixtures::addRow(other, "Config", {{"nombre", "Segunda"}, {"jueces", 5}});
        existente(m_f->path("expo.mdb"));
        existente(m_f->path("Segunda.mdb"));
        QCOMPARE(m_opened.join(u','), "Regional de Castilla,Segunda");
        QVERIFY(m_f->window->isVisible());
    }

    void menuItemOpensItsWindowAndItFits_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("window");    // its class; a printout's title
        QTest::addColumn<QString>("selection"); // SelGrupo/SelCateg/SelSexo handed to a listing
        const auto row = [](const char* action, const char* window, const char* selection = "C/x/M") {
            QTest::newRow(action) << action << window << selection;
        };
        row("actionRecepcion", "ReceptionWindow");
        row("actionPuntuacion", "JudgingWindow");
        row("actionConfiguracion", "ConfigWindow");
        row("actionClub", "ClubMaintenanceWindow");
        row("actionGrupoAMachos", "ListabcWindow", "A//M");
        row("actionGrupoBHembras", "ListabcWindow", "B//H");
        row("actionGrupoDCategoriaA", "ListadosWindow", "D/A/");
        row("actionListadoPorClub", "ListadoClWindow"); // the previous choice as it was
        row("actionImpRecepcion", "ReceptionImportWindow");
        row("actionImpPuntuacion", "ScoreImportWindow");
        row("actionEtiquetas", "Etiquetas de jaula");
        row("actionHojasJueces", "Hojas de los jueces");
        row("actionCatalogo", "Catálogo");
        row("actionResguardos", "Resguardos");
        row("actionRed", "NetworkWindow");
        row("actionCopias", "BackupsWindow");
    }
    void menuItemOpensItsWindowAndItFits()
    {
        QFETCH(QString, action);
        openOverSixCages();
        m_f->state.selGrupo = "C";
        m_f->state.selCateg = "x";
        m_f->state.selSexo = "M";
        QString shown = "ninguna ventana";
        guitest::whenShown<QDialog>([&](QDialog* window) {
            shown = QString::fromLatin1(window->metaObject()->className());
            if (shown == u"PrintoutWindow")
                shown = window->windowTitle();
            const QString problems = misfit(window);
            if (!problems.isEmpty())
                shown += ": " + problems;
            window->reject();
        });
        child<QAction>(m_f->main.get(), qPrintable(action))->trigger();
        QTEST(shown, "window");
        QTEST(QStringList({m_f->state.selGrupo, m_f->state.selCateg, m_f->state.selSexo}).join(u'/'),
              "selection");
    }

    // "Cerrar la exposición", "Reabrir" (the show closed first), and the entry windows of a closed
    // show, which refuse before they open; the status line says whether the show is closed.
    void closing_data()
    {
        QTest::addColumn<QString>("told");
        QTest::newRow("actionCerrar") << "Cerrar la exposición: Exposición cerrada. Sello: ";
        QStringList twelve;
        for (int cage = 1; cage <= 10; ++cage)
            twelve << QString("Jaula %1: 0 de 5 jueces").arg(cage);
        QTest::newRow("actionCerrar, twelve warnings, No")
            << "Cerrar la exposición: " + twelve.join('\n') +
                   "\n... y 2 avisos más: véalos en «Comprobar la exposición».\n\n¿Cerrar la exposición con 12 "
                   "avisos?";
        QTest::newRow("actionReabrir") << "Reabrir: Exposición reabierta";
        for (const char* action :
             {"actionRecepcion", "actionPuntuacion", "actionConfiguracion", "actionImpRecepcion", "actionImpPuntuacion"})
            QTest::newRow(action) << "Aviso: La exposición está cerrada";
    }
    void closing()
    {
        QFETCH(QString, told);
        const QString action = QString(QTest::currentDataTag()).section(',', 0, 0);
        if (QString(QTest::currentDataTag()).contains("twelve"))
            for (int cage = 1; cage <= 12; ++cage)
                fixtures::addBird(m_f->db(), cage, "A", "M", {{"anilla", QString::number(cage)}});
        else if (action != "actionCerrar")
            records::closeShow(m_f->db());
        m_f->openMain();
        if (action == "actionReabrir")
            Messages::scriptText("Jaula 3 mal puntuada");
        Messages::script(told.contains('?') ? Messages::Answer::No : Messages::Answer::Ok);
        bool opened = false;
        guitest::whenShown<QDialog>([&opened](QDialog* window) { opened = true, window->reject(); });
        w<QAction>(qPrintable(action))->trigger();
        const QString sello = records::closedSeal(m_f->db());
        QCOMPARE(guitest::told(), action == "actionCerrar" && !told.contains('?') ? told + sello : told);
        QVERIFY(!opened);
        QCOMPARE(label("texto"),
                 sello.isEmpty() ? "Programa para las Exposiciones Regionales" : "Cerrada. Sello: " + sello);
        QCOMPARE(sello.isEmpty(), action == "actionReabrir" || told.contains('?'));
        guitest::stopWaiting();
    }

    // The club search over reception (the club chosen handed back), a listing's print preview (a
    // page is taller than the screen) and the start window.
    void windowsOpenedFromWindowsFit()
    {
        openOverSixCages();
        QStringList problems;
        guitest::whenShown<ReceptionWindow>([&](ReceptionWindow* reception) {
            child<QAction>(reception, "p1")->trigger();
            child<QLineEdit>(reception, "Text8")->setFocus(Qt::TabFocusReason);
            guitest::whenShown<ClubSearchWindow>([&](ClubSearchWindow* search) {
                problems << "búsqueda: " + misfit(search);
                child<QTreeWidget>(search, "ListView1")->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            problems << "club " + child<QLineEdit>(reception, "Text8")->text();
            reception->reject();
        });
        child<QAction>(m_f->main.get(), "actionRecepcion")->trigger();
        guitest::whenShown<ListabcWindow>([&](ListabcWindow* listing) {
            guitest::whenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog* preview) {
                problems << "vista previa: " + misfit(preview);
                preview->reject();
            });
            child<QPushButton>(listing, "CommandVistaPrevia")->click();
            listing->reject();
        });
        child<QAction>(m_f->main.get(), "actionGrupoAMachos")->trigger();
        StartupWindow startup(m_f->state);
        QVERIFY(guitest::showActive(&startup));
        problems << "inicio: " + misfit(&startup);
        QCOMPARE(problems, (QStringList{"búsqueda: ", "club 1", "vista previa: ", "inicio: "}));
    }

    // Where the user left a window is where it opens in the next run; a place off the screen, or
    // a size larger than it (another screen then), is brought back within the screen.
    void rememberedBetweenRuns_data()
    {
        QTest::addColumn<QRect>("left");   // where the user left the window
        QTest::addColumn<QRect>("opened"); // where it opens the next time
        QTest::newRow("moved and resized") << QRect(100, 80, 700, 500) << QRect(100, 80, 700, 500);
        QTest::newRow("partly below the taskbar") << QRect(300, 500, 700, 500) << QRect();
        QTest::newRow("larger than the screen") << QRect(-40, -40, 2000, 1200) << QRect();
    }
    void rememberedBetweenRuns()
    {
        QFETCH(QRect, left);
        QFETCH(QRect, opened);
        auto* window = m_f->show<ConfigWindow>();
        window->setGeometry(left);
        QTRY_COMPARE(window->geometry(), left);
        window->close();
        window = m_f->show<ConfigWindow>(); // the next run's window
        if (!opened.isNull())
            QCOMPARE(window->geometry(), opened);
        QCOMPARE(misfit(window), QString());
    }
};

QTEST_MAIN(TestShellWindows)
#include "test_shell_windows.moc"
