// Every window fits a 1366 x 768 laptop screen with a panel, its buttons within reach, and
// comes back where the user left it in the previous run.

#include "kit/window_placement.h"
#include "rules/exhibition/exhibition.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/clubs/club_search_window.h"
#include "windows/config/config_window.h"
#include "windows/listings/listabc_window.h"
#include "windows/reception/reception_window.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"
#include "windows/shell/startup_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QScreen>
#include <QSettings>

using guitest::child;

namespace
{

// The screen of the test: 1366 x 768 less a panel of 48 pixels.
const QRect available(0, 0, 1366, 720);

// The frame of a window manager: a title bar and thin borders. The offscreen platform draws
// none, and a real one is known only once the window is on the screen, so the windows must leave
// room for it.
const QMargins managerFrame(4, 24, 4, 4);

// Where the window does not fit, or a visible button of it lies outside it; empty when all is well.
QString misfit(const QWidget* window)
{
    QStringList problems;
    const QRect framed = window->geometry().marginsAdded(managerFrame);
    if (!available.contains(framed))
        problems << QStringLiteral("con su marco, %1,%2 %3x%4 fuera de la pantalla")
                        .arg(framed.x())
                        .arg(framed.y())
                        .arg(framed.width())
                        .arg(framed.height());
    const QSize least = window->minimumSizeHint();
    if (window->width() < least.width() || window->height() < least.height())
        problems << QStringLiteral("%1x%2 por debajo de su mínimo %3x%4")
                        .arg(window->width())
                        .arg(window->height())
                        .arg(least.width())
                        .arg(least.height());
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QRect at(button->mapTo(window, QPoint()), button->size());
        if (button->isVisible() && !window->rect().contains(at))
            problems << QStringLiteral("botón «%1» fuera de la ventana").arg(button->text());
    }
    return problems.join(QStringLiteral("; "));
}

} // namespace

class TestWindowPlacement : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;

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

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        m_state->programFolder = m_dir->path();
        m_state->dbPath = exhibition::create(m_dir->path(), QStringLiteral("expo"), m_dir->path());
        {
            store::Database db = store::Database::open(m_state->dbPath, store::schema::exhibition());
            fixtures::setConfig(db, 3, true);
            for (int cage = 1; cage <= 6; ++cage) {
                fixtures::addBird(db, cage, "A", "M");
                for (int juez = 1; juez <= 3; ++juez)
                    fixtures::addScore(db, QString::number(cage), juez, 87 + (cage + juez) % 8);
            }
        }
        guitest::startScripting();
    }

    void cleanup()
    {
        m_state.reset();
        VERIFY_SCRIPTED();
    }

    // Each window as the menu opens it, over the main window, which fits too.
    void everyWindowFits_data()
    {
        QTest::addColumn<QString>("action");
        for (const char* action :
             {"actionRecepcion", "actionPuntuacion", "actionConfiguracion", "actionClub",
              "actionGrupoAMachos", "actionGrupoDCategoriaA", "actionListadoPorClub", "actionImpRecepcion",
              "actionImpPuntuacion", "actionEtiquetas", "actionCatalogo", "actionRed", "actionCopias"})
            QTest::newRow(action) << action;
    }
    void everyWindowFits()
    {
        QFETCH(QString, action);
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        fixtures::addClub(m_state->clubDb, "7", "San Pedro", "Madrid");
        m_state->clubRs = m_state->clubDb.openRecordset("select * from club ");
        QVERIFY(guitest::showActive(&main));
        QCOMPARE(misfit(&main), QString());
        QString shown;
        QString problems = QStringLiteral("ninguna ventana");
        guitest::whenShown<QDialog>([&](QDialog* window) {
            shown = QString::fromLatin1(window->metaObject()->className());
            problems = misfit(window);
            window->reject();
        });
        child<QAction>(&main, qPrintable(action))->trigger();
        QVERIFY(!shown.isEmpty());
        QVERIFY2(problems.isEmpty(), qPrintable(shown + ": " + problems));
    }

    // The windows that other windows open: the club search over reception, the print preview
    // over a listing (a page is taller than the screen).
    void windowsOpenedFromWindowsFit()
    {
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        fixtures::addClub(m_state->clubDb, "7", "San Pedro", "Madrid");
        m_state->clubRs = m_state->clubDb.openRecordset("select * from club ");
        QVERIFY(guitest::showActive(&main));
        QStringList problems;
        guitest::whenShown<ReceptionWindow>([&](ReceptionWindow* reception) {
            child<QAction>(reception, "p1")->trigger();
            child<QLineEdit>(reception, "Text8")->setFocus(Qt::TabFocusReason);
            guitest::whenShown<ClubSearchWindow>([&](ClubSearchWindow* search) {
                problems << QStringLiteral("búsqueda: ") + misfit(search);
                search->reject();
            });
            guitest::key(Qt::Key_F1);
            reception->reject();
        });
        child<QAction>(&main, "actionRecepcion")->trigger();
        guitest::whenShown<ListabcWindow>([&](ListabcWindow* listing) {
            guitest::whenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog* preview) {
                problems << QStringLiteral("vista previa: ") + misfit(preview);
                preview->reject();
            });
            child<QPushButton>(listing, "CommandVistaPrevia")->click();
            listing->reject();
        });
        child<QAction>(&main, "actionGrupoAMachos")->trigger();
        QCOMPARE(problems, (QStringList{"búsqueda: ", "vista previa: "}));
    }

    void startupWindowFits()
    {
        StartupWindow startup(*m_state);
        QVERIFY(guitest::showActive(&startup));
        QCOMPARE(misfit(&startup), QString());
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
        exhibition::open(*m_state, m_state->dbPath);
        {
            ConfigWindow window(*m_state);
            window.load();
            QVERIFY(guitest::showActive(&window));
            window.setGeometry(left);
            QTRY_COMPARE(window.geometry(), left);
            window.close();
        }
        ConfigWindow again(*m_state); // the next run's window
        again.load();
        QVERIFY(guitest::showActive(&again));
        if (!opened.isNull())
            QCOMPARE(again.geometry(), opened);
        QCOMPARE(misfit(&again), QString());
    }
};

int main(int argc, char* argv[])
{
    QTemporaryDir screens;
    const QString config = screens.filePath(QStringLiteral("pantalla.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 2;
    file.write(R"({"windowFrameMargins": false,
                   "screens": [{"name": "portatil", "x": 0, "y": 0, "width": 1366, "height": 720,
                                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestWindowPlacement test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_placement.moc"
