// Each menu item opens its window, which fits a laptop's screen and opens where it was left.

#include "kit/window_placement.h"
#include "support/window_fixture.h"
#include "windows/clubs/club_search_window.h"
#include "windows/config/config_window.h"
#include "windows/listings/listabc_window.h"
#include "windows/reception/reception_window.h"
#include "windows/shell/startup_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QPrintPreviewDialog>
#include <QPushButton>
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

class TestWindowPlacement : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    std::unique_ptr<WindowFixture<ConfigWindow>> m_f;

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

    // Six cages scored by three judges, and the main window over them, which fits too.
    void init()
    {
        m_f = std::make_unique<WindowFixture<ConfigWindow>>();
        for (int cage = 1; cage <= 6; ++cage) {
            fixtures::addBird(m_f->db(), cage, "A", "M");
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(m_f->db(), QString::number(cage), juez, 87 + (cage + juez) % 8);
        }
        m_f->openMain();
        QCOMPARE(misfit(m_f->main.get()), QString());
    }

    void cleanup() { m_f.reset(); }

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

    // The club search over reception (the club chosen handed back), a listing's print preview (a
    // page is taller than the screen) and the start window.
    void windowsOpenedFromWindowsFit()
    {
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
        m_f->main.reset();
        ConfigWindow* window = m_f->show();
        window->setGeometry(left);
        QTRY_COMPARE(window->geometry(), left);
        window->close();
        window = m_f->show(); // the next run's window
        if (!opened.isNull())
            QCOMPARE(window->geometry(), opened);
        QCOMPARE(misfit(window), QString());
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "test_window_placement.moc"
