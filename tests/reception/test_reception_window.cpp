// The reception flows through the real window: entering, modifying and deleting cages, the
// list and its reload, the toolbar's states, the refused entries and the search.

#include "reception/reception_window.h"
#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "support/fixtures.h"
#include "support/gui_test.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using guitest::child;

class TestReceptionWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<ReceptionWindow> m_window;
    store::Database m_db; // the exhibition, for the test's own rows

    QLineEdit* text(const char* name) const { return child<QLineEdit>(m_window.get(), name); }
    QAction* tool(const char* key) const { return child<QAction>(m_window.get(), key); }
    QTreeWidget* list() const { return child<QTreeWidget>(m_window.get(), "ListView1"); }
    QPushButton* aceptarButton() const { return child<QPushButton>(m_window.get(), "Command1"); }
    bool visible(const char* name) const { return child<QWidget>(m_window.get(), name)->isVisible(); }

    void open()
    {
        exhibition::open(*m_state, QDir(m_dir->path()).filePath("expo.mdb"));
        m_window = std::make_unique<ReceptionWindow>(*m_state);
        m_window->load();
        QVERIFY(guitest::showActive(m_window.get()));
    }

    QString listColumn(int column) const
    {
        QStringList values;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            values << list()->topLevelItem(i)->text(column);
        return values.join(u',');
    }

    QString toolStates() const
    {
        QString states;
        for (const char* key : {"p1", "p2", "p3", "p4", "p5", "p6"})
            states += tool(key)->isEnabled() ? u'1' : u'0';
        return states;
    }

    QString stored(const QString& field, const QString& where = "order by jaula") const
    {
        return fixtures::column(m_db, "select * from recepcion " + where, field);
    }

    // "Grabar", then the boxes typed in the order of the frame, leaving each one with Tab.
    void typeNewBird(const QString& jaula, const QString& grupo)
    {
        tool("p1")->trigger();
        guitest::type(text("Text1"), jaula);
        guitest::type(text("Text2"), "1234567");
        guitest::type(text("Text3"), "2024");
        guitest::type(text("Text5"), "Azul");
        guitest::type(text("Text7"), "Juan Garcia");
        guitest::type(text("Text9"), grupo);
        guitest::tab(text("Text9"));
    }

    void selectRow(int index) { list()->setCurrentItem(list()->topLevelItem(index)); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        m_state->programFolder = m_dir->path();
        m_db = store::Database::create(QDir(m_dir->path()).filePath("expo.mdb"), store::schema::exhibition());
        fixtures::setConfig(m_db, 3, true);
        guitest::startScripting();
    }

    void cleanup()
    {
        m_window.reset();
        VERIFY_SCRIPTED();
    }

    void openedFromTheMainMenu()
    {
        fixtures::addBird(m_db, 4, "A", "M");
        m_state->dbPath = QDir(m_dir->path()).filePath("expo.mdb");
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        QString listed;
        guitest::whenShown<ReceptionWindow>([&listed](ReceptionWindow* window) {
            listed = child<QTreeWidget>(window, "ListView1")->topLevelItem(0)->text(0);
            window->close();
        });
        child<QAction>(&main, "actionRecepcion")->trigger();
        QCOMPARE(listed, "4");
    }

    void listInNumericOrderAndGrabarProposesCountPlusOne()
    {
        for (int cage : {10, 2, 1, 40, 3, 4, 5, 6, 7, 8, 9, 30})
            fixtures::addBird(m_db, cage, "A", "M", {{"anilla", QString::number(cage * 100)}});
        open();
        QCOMPARE(m_window->windowTitle(), "Recepcion de Palomas ");
        QCOMPARE(listColumn(0), "1,2,3,4,5,6,7,8,9,10,30,40");
        QCOMPARE(listColumn(1), "100,200,300,400,500,600,700,800,900,1000,3000,4000");
        QCOMPARE(list()->currentItem()->text(0), "1");
        QVERIFY(!child<QGroupBox>(m_window.get(), "Frame1")->isEnabled());
        QVERIFY(!visible("Frame3"));

        tool("p1")->trigger();
        QCOMPARE(text("Text1")->text(), "13");
        QCOMPARE(child<QGroupBox>(m_window.get(), "Frame1")->title(), "Grabar Una Jaula");
        QCOMPARE(text("Text14")->text(), "0");
        QCOMPARE(text("Text2")->text(), QString());
        QVERIFY(visible("Frame3"));
        QVERIFY(!aceptarButton()->isEnabled()); // until the cage box has been left once
        QTRY_VERIFY(text("Text1")->hasFocus());
        guitest::tab(text("Text1"));
        QVERIFY(aceptarButton()->isEnabled());
    }

    void newBirdIsStoredAndListed()
    {
        fixtures::addBird(m_db, 1, "A", "M");
        open();
        typeNewBird("2", "b");
        QCOMPARE(text("Text9")->text(), "B"); // capitals on leaving the box
        child<QComboBox>(m_window.get(), "Combo1")->setCurrentText("Hembra");
        guitest::type(text("Text6"), "54321");
        guitest::type(text("Text8"), "7");
        aceptarButton()->click();

        QCOMPARE(stored("jaula"), "1,2");
        QCOMPARE(stored("sexo", "where jaula = 2"), "H");
        QCOMPARE(stored("grupo", "where jaula = 2"), "B");
        QCOMPARE(stored("categ", "where jaula = 2"), " ");
        QCOMPARE(stored("licencia", "where jaula = 2"), "54321");
        QCOMPARE(stored("club", "where jaula = 2"), "7");
        QCOMPARE(stored("nombre", "where jaula = 2"), "Juan Garcia");
        QCOMPARE(listColumn(0), "1,2");
        QCOMPARE(listColumn(3), "Macho,Hembra");
        QVERIFY(!visible("Frame3"));
        QVERIFY(!child<QGroupBox>(m_window.get(), "Frame1")->isEnabled());
        QCOMPARE(toolStates(), "111111");
    }

    void duplicateCageRefusedOnLeavingTheBox()
    {
        fixtures::addBird(m_db, 1, "A", "M");
        fixtures::addBird(m_db, 5, "A", "M");
        open();
        tool("p1")->trigger();
        QCOMPARE(text("Text1")->text(), "3");
        guitest::type(text("Text1"), "005"); // cage 5, however it is typed
        Messages::script(Messages::Answer::Ok);
        guitest::tab(text("Text1"));
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text, "Jaula Existente");
        QCOMPARE(text("Text1")->text(), "3");
        QTRY_VERIFY(text("Text1")->hasFocus());
        QCOMPARE(stored("jaula"), "1,5");
    }

    void modificationKeepsTheListPositionAndItsCage()
    {
        for (int cage = 1; cage <= 8; ++cage)
            fixtures::addBird(m_db, cage * 2, "A", "M", {{"anilla", "R" + QString::number(cage)}});
        fixtures::addScore(m_db, "10", 1, 90);
        open();
        selectRow(4);
        QCOMPARE(text("Text1")->text(), "10");
        tool("p3")->trigger();
        QCOMPARE(child<QGroupBox>(m_window.get(), "Frame1")->title(), "Modificar La Jaula");
        QVERIFY(text("Text1")->isReadOnly()); // a modification cannot address another cage
        QCOMPARE(toolStates(), "111111");
        guitest::tab(text("Text1"));
        guitest::type(text("Text2"), "NUEVA");
        guitest::type(text("Text9"), "c");
        guitest::tab(text("Text9"));
        aceptarButton()->click();

        QCOMPARE(stored("anilla"), "R1,R2,R3,R4,NUEVA,R6,R7,R8");
        QCOMPARE(stored("grupo", "where jaula = 10"), "C");
        QCOMPARE(m_db.openRecordset("select * from puntos").recordCount(), 1); // scores untouched
        QCOMPARE(list()->indexOfTopLevelItem(list()->currentItem()), 4);
        QCOMPARE(text("Text2")->text(), "NUEVA");
        QVERIFY(!text("Text1")->isReadOnly());
    }

    void groupDAsksForCategoryAndConditions()
    {
        open();
        typeNewBird("1", "d");
        QCOMPARE(text("Text9")->text(), "D");
        QVERIFY(visible("Frame4"));
        QTRY_VERIFY(text("Text4")->hasFocus());
        QTest::keyClicks(text("Text4"), "3");
        guitest::tab(text("Text4"));
        QCOMPARE(text("Text4")->text(), "C");
        QVERIFY(visible("Frame6"));
        QTRY_VERIFY(text("Text14")->hasFocus());
        guitest::type(text("Text14"), "12x");
        text("Text15")->clear();
        guitest::type(text("Text16"), "1,375");
        aceptarButton()->click();

        QCOMPARE(stored("grupo"), "D");
        QCOMPARE(stored("categ"), "C");
        QCOMPARE(stored("conc"), "12");
        QCOMPARE(stored("km"), "0");
        QCOMPARE(stored("coef"), "1,375");
        // A group D cage shows its category and conditions, and no scoring status.
        QVERIFY(visible("Frame4"));
        QVERIFY(visible("Frame6"));
        QCOMPARE(text("Text16")->text(), "1,375");
        QCOMPARE(child<QLabel>(m_window.get(), "Label12")->text(), QString());
    }

    void groupBStoredWithBlankAndZerosWhateverTheFrameShows()
    {
        open();
        typeNewBird("1", "D");
        QTRY_VERIFY(text("Text4")->hasFocus());
        QTest::keyClicks(text("Text4"), "A");
        guitest::tab(text("Text4"));
        guitest::type(text("Text14"), "9");
        guitest::type(text("Text15"), "450");
        guitest::type(text("Text9"), "B");
        guitest::tab(text("Text9"));
        QVERIFY(visible("Frame6")); // the frame still shows the numbers
        aceptarButton()->click();
        QCOMPARE(stored("grupo"), "B");
        QCOMPARE(stored("categ"), " ");
        QCOMPARE(stored("conc") + "/" + stored("km") + "/" + stored("coef"), "0/0/0");
    }

    void categoryOfAStoredCageBringsBackItsConditions()
    {
        fixtures::addBird(m_db, 4, "D", "M", {{"categ", "B"}, {"conc", 7}, {"km", 900}, {"coef", 2.5}});
        open();
        tool("p3")->trigger();
        guitest::type(text("Text14"), "1");
        guitest::type(text("Text4"), "2");
        guitest::tab(text("Text4"));
        QCOMPARE(text("Text4")->text(), "B");
        QCOMPARE(text("Text14")->text(), "7");
        QCOMPARE(text("Text15")->text(), "900");
        QCOMPARE(text("Text16")->text(), "2,5");
    }

    void badEntriesRefusedOnAceptar_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("named");
        QTest::newRow("cage 1000") << "Text1"
                                   << "1000"
                                   << "jaula «1000»";
        QTest::newRow("cage not a number") << "Text1"
                                           << "1a"
                                           << "jaula «1a»";
        QTest::newRow("ring too long") << "Text2"
                                       << "12345678"
                                       << "«Anilla»";
        QTest::newRow("year too long") << "Text3"
                                       << "20241"
                                       << "«Año»";
        QTest::newRow("licence too long") << "Text6"
                                          << "1234567"
                                          << "«Licencia»";
        QTest::newRow("owner too long") << "Text7" << QString(51, u'a') << "«Propietario»";
        QTest::newRow("colour too long") << "Text5" << QString(21, u'a') << "«Color»";
        QTest::newRow("club too long") << "Text8"
                                       << "12345"
                                       << "«Club»";
    }
    void badEntriesRefusedOnAceptar()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, named);
        open();
        typeNewBird("1", "A");
        QLineEdit* bad = child<QLineEdit>(m_window.get(), qPrintable(box));
        guitest::type(bad, typed);
        guitest::tab(bad);
        Messages::script(Messages::Answer::Ok);
        aceptarButton()->click();
        QCOMPARE(Messages::last().title, "Aviso");
        QVERIFY2(Messages::last().text.contains(named), qPrintable(Messages::last().text));
        QCOMPARE(m_db.openRecordset("select * from recepcion").recordCount(), 0);
        QVERIFY(visible("Frame3"));
        QVERIFY(child<QGroupBox>(m_window.get(), "Frame1")->isEnabled());
        QCOMPARE(bad->text(), typed);
        QTRY_VERIFY(bad->hasFocus());

        // Corrected, the same entry is stored.
        guitest::type(bad, box == "Text1" ? "1" : "12");
        aceptarButton()->click();
        QCOMPARE(m_db.openRecordset("select * from recepcion").recordCount(), 1);
    }

    void deleteOneCageWithItsScores()
    {
        fixtures::addBird(m_db, 3, "A", "M");
        fixtures::addBird(m_db, 7, "A", "M");
        fixtures::addBird(m_db, 9, "A", "M");
        for (int juez = 1; juez <= 3; ++juez) {
            fixtures::addScore(m_db, "3", juez, 88);
            fixtures::addScore(m_db, "7", juez, 89);
        }
        open();
        selectRow(1);
        Messages::script(Messages::Answer::No);
        tool("p2")->trigger();
        QCOMPARE(Messages::last().title, "Atención");
        QCOMPARE(Messages::last().text, "¿Desea Borrar la Jaula?");
        QCOMPARE(stored("jaula"), "3,7,9");
        QCOMPARE(list()->currentItem()->text(0), "7");

        Messages::script(Messages::Answer::Yes);
        tool("p2")->trigger();
        QCOMPARE(stored("jaula"), "3,9");
        QCOMPARE(fixtures::column(m_db, "select * from puntos", "jaula"), "3,3,3");
        QCOMPARE(listColumn(0), "3,9");
        QCOMPARE(list()->currentItem()->text(0), "9");
        QCOMPARE(text("Text1")->text(), "9");
        // The shared results hold every row again, so "Grabar" proposes the count plus one.
        QCOMPARE(m_state->receRs.recordCount(), 2);
        QCOMPARE(m_state->puntosRs.recordCount(), 3);
        tool("p1")->trigger();
        QCOMPARE(text("Text1")->text(), "3");
    }

    void deletingTheOnlyCageLeavesGrabarAndSalir()
    {
        fixtures::addBird(m_db, 1, "A", "M");
        open();
        Messages::script(Messages::Answer::Yes);
        tool("p2")->trigger();
        QCOMPARE(list()->topLevelItemCount(), 0);
        QCOMPARE(toolStates(), "100011");
        QVERIFY(!child<QLabel>(m_window.get(), "labelJaula")->isEnabled());
        QVERIFY(!child<QLabel>(m_window.get(), "legend2")->isEnabled());
        QCOMPARE(text("Text1")->text(), QString());
        tool("p3")->trigger(); // disabled: nothing happens
        QVERIFY(!visible("Frame3"));
    }

    void deleteAllAsksFirst()
    {
        fixtures::setConfig(m_db, 5, false);
        for (int cage = 1; cage <= 3; ++cage) {
            fixtures::addBird(m_db, cage, "A", "M");
            fixtures::addScore(m_db, QString::number(cage), 1, 90);
        }
        open();
        Messages::script(Messages::Answer::No);
        tool("p6")->trigger();
        QCOMPARE(Messages::last().text, "¿Desea Borrar Todas las Jaulas ?");
        QCOMPARE(Messages::last().title, "Atención");
        QCOMPARE(m_db.openRecordset("select * from recepcion").recordCount(), 3);
        QCOMPARE(m_db.openRecordset("select * from puntos").recordCount(), 3);

        Messages::script(Messages::Answer::Yes);
        tool("p6")->trigger();
        QCOMPARE(m_db.openRecordset("select * from recepcion").recordCount(), 0);
        QCOMPARE(m_db.openRecordset("select * from puntos").recordCount(), 0);
        QCOMPARE(fixtures::column(m_db, "select * from config", "jueces"), "5");
        QCOMPARE(list()->topLevelItemCount(), 0);
        QCOMPARE(toolStates(), "100011"); // "6" changes only when the window is activated
        m_window->hide();
        m_window->load();
        QCOMPARE(toolStates(), "100010");
    }

    void toolbarStates()
    {
        open();
        QCOMPARE(toolStates(), "100010"); // no cages
        typeNewBird("1", "A");
        QCOMPARE(toolStates(), "000000"); // during a new-cage entry
        child<QPushButton>(m_window.get(), "Command2")->click();
        QCOMPARE(toolStates(), "100010");
        QCOMPARE(m_db.openRecordset("select * from recepcion").recordCount(), 0); // "Cancelar" stores nothing

        fixtures::addBird(m_db, 1, "A", "M");
        m_window->load();
        QCOMPARE(toolStates(), "111111");
        tool("p3")->trigger();
        QCOMPARE(toolStates(), "111111"); // during a modification
        child<QPushButton>(m_window.get(), "Command2")->click();
        QCOMPARE(toolStates(), "111111");
    }

    void reloadStoresEveryFinalScore()
    {
        fixtures::addBird(m_db, 1, "A", "M");
        fixtures::addBird(m_db, 2, "B", "H");
        fixtures::addBird(m_db, 3, "D", "M", {{"categ", "A"}});
        fixtures::addScore(m_db, "1", 1, 88.5);
        fixtures::addScore(m_db, "1", 2, 90);
        fixtures::addScore(m_db, "1", 3, 91.25);
        fixtures::addScore(m_db, "2", 1, 90);
        open();
        QCOMPARE(stored("puntos"), "89,92,90,0");
        QCOMPARE(stored("termina"), "S,N,N");
        QCOMPARE(text("Text10")->text(), "89,92");
        QCOMPARE(child<QLabel>(m_window.get(), "Label12")->text(), "Puntuacion Terminada");
        selectRow(1);
        QCOMPARE(child<QLabel>(m_window.get(), "Label12")->text(), "Sin Terminar la Puntuacion");
        selectRow(2);
        QCOMPARE(text("Text10")->text(), "0,00");
        QCOMPARE(child<QLabel>(m_window.get(), "Label12")->text(), QString());
    }

    void buscarSelectsTheCage_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty when found
        QTest::newRow("found") << "30"
                               << "";
        QTest::newRow("found with blanks and zeros") << " 007 "
                                                     << "";
        QTest::newRow("not found") << "31"
                                   << "No se ha encontrado";
        QTest::newRow("not a cage number") << "x"
                                           << "no es válido";
    }
    void buscarSelectsTheCage()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        for (int cage : {1, 7, 30, 44})
            fixtures::addBird(m_db, cage, "A", "M");
        open();
        guitest::whenShown<QInputDialog>([typed](QInputDialog* dialog) {
            dialog->setTextValue(typed);
            dialog->accept();
        });
        if (!message.isEmpty())
            Messages::script(Messages::Answer::Ok);
        tool("p4")->trigger();
        if (message.isEmpty()) {
            QCOMPARE(list()->currentItem()->text(0), QString::number(typed.trimmed().toInt()));
            QCOMPARE(text("Text1")->text(), QString::number(typed.trimmed().toInt()));
        } else {
            QVERIFY2(Messages::last().text.contains(message), qPrintable(Messages::last().text));
            QCOMPARE(list()->currentItem()->text(0), "1");
        }
    }

    void f1InTheClubBoxAsksThePicker()
    {
        {
            const store::Database clubs =
                store::Database::create(exhibition::clubsPath(m_dir->path()), store::schema::clubs());
            fixtures::addClub(clubs, "12", "Club Colombófilo Toledo", "Toledo");
        }
        open();
        typeNewBird("1", "A");
        QLineEdit* club = text("Text8");
        club->setFocus(Qt::TabFocusReason);
        QTest::keyClick(club, Qt::Key_F1); // no picker yet: nothing
        QCOMPARE(club->text(), QString());

        int asked = 0;
        std::optional<QString> answer;
        m_window->setClubPicker([&]() -> std::optional<QString> {
            ++asked;
            return answer;
        });
        QTest::keyClick(club, Qt::Key_F1); // closed without a choice
        QCOMPARE(asked, 1);
        QCOMPARE(club->text(), QString());
        answer = "12";
        QTest::keyClick(club, Qt::Key_F1, Qt::ShiftModifier);
        QTest::keyClick(text("Text7"), Qt::Key_F1);
        QCOMPARE(asked, 1);
        QTest::keyClick(club, Qt::Key_F1);
        QCOMPARE(asked, 2);
        QCOMPARE(club->text(), "12");
        QCOMPARE(text("Text11")->text(), "Club Colombófilo Toledo");
        aceptarButton()->click();
        QCOMPARE(stored("club"), "12");
    }

    void f1WithoutClubsDoesNothing()
    {
        open();
        int asked = 0;
        m_window->setClubPicker([&]() -> std::optional<QString> {
            ++asked;
            return QString("1");
        });
        typeNewBird("1", "A");
        QTest::keyClick(text("Text8"), Qt::Key_F1);
        QCOMPARE(asked, 0);
        QCOMPARE(text("Text8")->text(), QString());
    }

    void unknownClubCodeIsKept()
    {
        open();
        typeNewBird("1", "A");
        guitest::type(text("Text8"), "99");
        guitest::tab(text("Text8"));
        QCOMPARE(text("Text11")->text(), QString());
        aceptarButton()->click();
        QCOMPARE(stored("club"), "99");
    }

    void keyboard()
    {
        open();
        tool("p1")->trigger();
        QTRY_VERIFY(text("Text1")->hasFocus());
        QTest::keyClick(text("Text1"), Qt::Key_Return);
        QTRY_VERIFY(text("Text2")->hasFocus());
        QVERIFY(aceptarButton()->isEnabled()); // Enter left the cage box as Tab does

        QVERIFY(!visible("Frame2"));
        QTest::keyPress(text("Text2"), Qt::Key_Control, Qt::ControlModifier);
        QVERIFY(visible("Frame2"));
        QCOMPARE(child<QLabel>(m_window.get(), "legend6")->text(), "6 Borrar Todas ");
        QTest::keyRelease(text("Text2"), Qt::Key_Control);
        QVERIFY(!visible("Frame2"));

        guitest::type(text("Text2"), "ESCAPADA");
        QTest::keyClick(text("Text2"), Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_db.openRecordset("select * from recepcion").recordCount(), 0);
    }
};

QTEST_MAIN(TestReceptionWindow)
#include "test_reception_window.moc"
