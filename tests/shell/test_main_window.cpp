// The main window's opening sequence, its status bar and its menu.

#include "kit/messages.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/clubs/club_search_window.h"
#include "windows/reception/reception_window.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>

using guitest::child;

namespace
{

// The smallest GIF: one transparent pixel.
const QByteArray onePixelGif =
    QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7");

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }

    std::unique_ptr<MainWindow> openMain() { return guitest::openMain(m_state); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = AppState{};
        m_state.programFolder = m_dir->path();
        m_state.dbPath = path("expo.mdb");
        store::Database::create(m_state.dbPath, store::schema::exhibition());
        guitest::startScripting();
    }

    void cleanup() { VERIFY_SCRIPTED(); }

    void firstOpeningWritesOneDefaultConfigRow()
    {
        for (int opening = 0; opening < 2; ++opening) {
            auto main = openMain();
            QVERIFY(main);
            QCOMPARE(child<QLabel>(main.get(), "Label1")->text(), "Sin Nombre");
            QCOMPARE(child<QLabel>(main.get(), "Label2")->text(), " ");
        }
        store::Database db = store::Database::open(m_state.dbPath, store::schema::exhibition());
        QCOMPARE(db.openRecordset("select * from config").recordCount(), 1);
        QCOMPARE(m_state.jueces(), 3);
        QCOMPARE(m_state.media(), false);
    }

    void showsNameRegionCaptionStatusAndSharedResults()
    {
        {
            store::Database db = store::Database::open(m_state.dbPath, store::schema::exhibition());
            fixtures::addRow(db, "Config",
                             {{"nombre", "Exposición Regional"}, {"region", "Castilla"}, {"jueces", 5}});
            fixtures::addBird(db, 10, "A", "M");
            fixtures::addBird(db, 2, "A", "H");
        }
        auto main = openMain();
        QVERIFY(main);
        QCOMPARE(main->windowTitle(), "Programa para Exposiciones de Palomas Mensajeras");
        QCOMPARE(child<QLabel>(main.get(), "Label1")->text(), "Exposición Regional");
        QCOMPARE(child<QLabel>(main.get(), "Label2")->text(), "Castilla");
        QCOMPARE(child<QLabel>(main.get(), "texto")->text(), "Programa para las Exposiciones Regionales");
        QCOMPARE(m_state.receRs.recordCount(), 2);
        QCOMPARE(m_state.receRs.value("jaula").toInt(), 2); // numeric order
        QCOMPARE(m_state.jueces(), 5);
        QVERIFY(m_state.clubRs.isOpen());
    }

    void emblemShownWhenPresent()
    {
        {
            auto main = openMain();
            QVERIFY(child<QLabel>(main.get(), "Picture1")->pixmap().isNull());
        }
        QFile gif(path("Talvorena1.gif"));
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.write(onePixelGif);
        gif.close();
        auto main = openMain();
        QVERIFY(!child<QLabel>(main.get(), "Picture1")->pixmap().isNull());
    }

    void deletedClubsFileIsCreatedEmptyAgain()
    {
        {
            auto main = openMain();
            fixtures::addClub(m_state.clubDb, "7", "San Pedro", "Madrid");
        }
        m_state.clubDb = store::Database();
        m_state.clubRs = store::Recordset();
        QVERIFY(QFile::remove(path("Club.mdb")));
        auto main = openMain();
        QVERIFY(main);
        QCOMPARE(m_state.clubRs.recordCount(), 0);
    }

    void clubsSurviveAnotherExhibition()
    {
        {
            auto main = openMain();
            fixtures::addClub(m_state.clubDb, "7", "San Pedro", "Madrid");
        }
        m_state.dbPath = path("otra.mdb");
        store::Database::create(m_state.dbPath, store::schema::exhibition());
        auto main = openMain();
        QCOMPARE(m_state.clubRs.recordCount(), 1);
    }

    void dayPanelAlternatesBetweenDateAndTime()
    {
        auto main = openMain();
        auto* dia = child<QLabel>(main.get(), "dia");
        const auto isDate = [dia] { return dia->text().count(u'/') == 2; };
        QStringList seen;
        for (const char* panel : {"dia", "dia", "texto", "dia", "dia"}) {
            QTest::mouseClick(child<QLabel>(main.get(), panel), Qt::LeftButton);
            seen << (isDate() ? "fecha" : "hora");
        }
        // The switch flips at every click on any panel; the day panel shows the date only when
        // it was clicked and the switch is on.
        QCOMPARE(seen, (QStringList{"fecha", "hora", "hora", "hora", "fecha"}));
    }

    void f1InReceptionHandsTheChosenClubBack()
    {
        auto main = openMain();
        fixtures::addClub(m_state.clubDb, "10", "San Pedro", "Madrid");
        fixtures::addClub(m_state.clubDb, "7 ", "Paloma Blanca", "Cuenca");
        m_state.clubRs = m_state.clubDb.openRecordset("select * from club ");
        QString handedBack;
        guitest::whenShown<ReceptionWindow>([&](ReceptionWindow* reception) {
            child<QAction>(reception, "p1")->trigger(); // a new cage, so the club box is open
            auto* club = child<QLineEdit>(reception, "Text8");
            club->setFocus(Qt::TabFocusReason);
            guitest::whenShown<ClubSearchWindow>([](ClubSearchWindow* search) {
                // Listed by code as a number: 7 first. Enter chooses it.
                auto* list = child<QTreeWidget>(search, "ListView1");
                list->setFocus();
                QTest::keyClick(list, Qt::Key_Return);
            });
            QTest::keyClick(club, Qt::Key_F1);
            handedBack = club->text();
            reception->reject();
        });
        child<QAction>(main.get(), "actionRecepcion")->trigger();
        QCOMPARE(handedBack, "7 "); // the code as stored
    }

    void everyMenuItemOpensItsWindow_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("selection"); // SelGrupo/SelCateg/SelSexo handed to the listing
        QTest::newRow("Recepcion") << "actionRecepcion"
                                   << "ReceptionWindow"
                                   << "//";
        QTest::newRow("2 Puntuacion") << "actionPuntuacion"
                                      << "JudgingWindow"
                                      << "//";
        QTest::newRow("3 Configuracion") << "actionConfiguracion"
                                         << "ConfigWindow"
                                         << "//";
        QTest::newRow("4 Club") << "actionClub"
                                << "ClubMaintenanceWindow"
                                << "//";
        QTest::newRow("Grupo A Machos") << "actionGrupoAMachos"
                                        << "ListabcWindow"
                                        << "A//M";
        QTest::newRow("Grupo B Hembras") << "actionGrupoBHembras"
                                         << "ListabcWindow"
                                         << "B//H";
        QTest::newRow("Grupo D Categoria E") << "actionGrupoDCategoriaE"
                                             << "ListadosWindow"
                                             << "D/E/";
        QTest::newRow("Listado Por Club") << "actionListadoPorClub"
                                          << "ListadoClWindow"
                                          << "C/x/M";
        QTest::newRow("Imp Recepcion") << "actionImpRecepcion"
                                       << "ReceptionImportWindow"
                                       << "//";
        QTest::newRow("Imp Puntuacion") << "actionImpPuntuacion"
                                        << "ScoreImportWindow"
                                        << "//";
        QTest::newRow("Copias de seguridad") << "actionCopias"
                                             << "BackupsWindow"
                                             << "//";
    }
    void everyMenuItemOpensItsWindow()
    {
        QFETCH(QString, action);
        QFETCH(QString, window);
        QFETCH(QString, selection);
        auto main = openMain();
        // "Listado Por Club" leaves the previous choice as it was.
        m_state.selGrupo = "C";
        m_state.selCateg = "x";
        m_state.selSexo = "M";
        QString shown;
        guitest::whenShown<QDialog>([&shown](QDialog* dialog) {
            shown = QString::fromLatin1(dialog->metaObject()->className());
            dialog->reject();
        });
        child<QAction>(main.get(), action.toLatin1().constData())->trigger();
        QCOMPARE(shown, window);
        if (selection != u"//")
            QCOMPARE(QStringList({m_state.selGrupo, m_state.selCateg, m_state.selSexo}).join(u'/'),
                     selection);
    }

    // "Acerca de" tells the version the package carries and where this program keeps its files.
    void aboutTellsVersionAndDataFolder()
    {
        auto main = openMain();
        Messages::script(Messages::Answer::Ok);
        child<QAction>(main.get(), "actionAcercaDe")->trigger();
        QCOMPARE(Messages::last().title, QStringLiteral("Acerca de"));
        QCOMPARE(Messages::last().text,
                 QStringLiteral(
                     "Programa para Exposiciones de Palomas Mensajeras<br>Versión " PALOMAS_PROJECT_VERSION
                     "<br><br>Carpeta de los datos: ") +
                     QDir::toNativeSeparators(m_dir->path()));
        QVERIFY(main->isVisible());
    }

    void menuCaptionsAndClosing()
    {
        auto main = openMain();
        QStringList titles;
        for (QAction* action : child<QMenuBar>(main.get(), "menubar")->actions())
            titles << action->text();
        QCOMPARE(titles.join(u','), "1 Recepcion,2 Puntuacion,3 Configuracion,4 Club,5 Listados,6 Importar "
                                    "de PDA,Impresos,7 Salir,Acerca de,Red de la Exposición");
        QStringList impresos;
        for (QAction* action : child<QMenu>(main.get(), "menuImpresos")->actions())
            impresos << action->text();
        QCOMPARE(impresos,
                 (QStringList{"Etiquetas de jaula", "Hojas de los jueces", "Catálogo", "Resguardos"}));
        QStringList listados;
        for (QAction* action : child<QMenu>(main.get(), "menuListados")->actions())
            listados << (action->isSeparator() ? "-" : action->text());
        QCOMPARE(listados.mid(0, 9),
                 (QStringList{"Grupo A Machos", "Grupo A Hembras", "-", "Grupo B Machos", "Grupo B Hembras",
                              "-", "Grupo C Machos", "Grupo C Hembras", "-"}));
        QCOMPARE(listados.mid(9, 7),
                 (QStringList{"Grupo D Categoria A", "Grupo D Categoria B", "Grupo D Categoria C",
                              "Grupo D Categoria D", "Grupo D Categoria E", "-", "Listado Por Club"}));
        QSignalSpy closed(main.get(), &MainWindow::closed);
        child<QAction>(main.get(), "actionSalirRecepcion")->trigger();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!main->isVisible());
    }

    // The name and region stored in the configuration window are shown at once, behind it, and the
    // line that says what a new show needs first goes; the open file's path is in the status bar.
    void configurationShownAtOnceAndThePath()
    {
        auto main = openMain();
        QCOMPARE(child<QLabel>(main.get(), "archivo")->toolTip(), QDir::toNativeSeparators(m_state.dbPath));
        const auto pending = [&main] {
            const auto* line = child<QLabel>(main.get(), "primerosPasos");
            return line->isVisible() ? line->text() : QString();
        };
        QCOMPARE(pending(), "Para empezar: 3 Configuracion (número de jueces y criterio); después 4 Club; "
                            "después 1 Recepcion.");
        QString shownBehind;
        guitest::whenShown<QDialog>([&](QDialog* config) {
            QTest::mouseClick(child<QPushButton>(config, "confModificar"), Qt::LeftButton);
            guitest::type(child<QLineEdit>(config, "Text1"), "Exposicion de Invierno");
            guitest::type(child<QLineEdit>(config, "Text3"), "Castilla");
            child<QRadioButton>(config, "Option1")->click();
            QTest::mouseClick(child<QPushButton>(config, "ConfAceptar"), Qt::LeftButton);
            shownBehind = child<QLabel>(main.get(), "Label1")->text() + "|" +
                          child<QLabel>(main.get(), "Label2")->text() + "|" + pending();
            config->reject();
        });
        child<QAction>(main.get(), "actionConfiguracion")->trigger();
        QCOMPARE(shownBehind, "Exposicion de Invierno|Castilla|");
        QCOMPARE(main->windowTitle(), "Programa para Exposiciones de Palomas Mensajeras");
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
