// The club maintenance window driven as the user drives it: toolbar, Ctrl keys, fields and list,
// with what it stores read back from Club.mdb.

#include "club_test_state.h"
#include "clubs/club_maintenance_window.h"
#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "support/fixtures.h"
#include "support/gui_test.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using guitest::child;

namespace
{

struct ClubRow {
    QString codigo, nombre, provincia;
};

const QString kAll = QStringLiteral("ps1 ps2 ps3 ps4 ps6");

} // namespace

class TestClubMaintenanceWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    std::unique_ptr<ClubMaintenanceWindow> m_window;

    QWidget* w() const { return m_window.get(); }
    QTreeWidget* list() const { return child<QTreeWidget>(w(), "ListView1"); }
    QLineEdit* text(const char* name) const { return child<QLineEdit>(w(), name); }
    QString status() const { return child<QLabel>(w(), "Label1")->text(); }

    bool open(const QList<ClubRow>& clubs = {})
    {
        for (const ClubRow& club : clubs)
            fixtures::addClub(m_state.clubDb, club.codigo, club.nombre, club.provincia);
        m_window = std::make_unique<ClubMaintenanceWindow>(m_state, nullptr);
        m_window->load();
        return guitest::showActive(w());
    }

    QStringList listed(int column = 0) const { return clubtest::listed(list(), column); }

    int selected() const
    {
        QTreeWidgetItem* item = list()->currentItem();
        return item != nullptr && item->isSelected() ? list()->indexOfTopLevelItem(item) : -1;
    }

    // The enabled toolbar buttons; a legend label that does not follow its button is marked "!".
    QString toolbar() const
    {
        const std::pair<const char*, const char*> pairs[] = {{"ps1", "Label10"},
                                                             {"ps2", "Label11"},
                                                             {"ps3", "Label12"},
                                                             {"ps4", "Label13"},
                                                             {"ps6", "Label15"}};
        QStringList out;
        for (const auto& [key, label] : pairs) {
            const bool enabled = child<QAction>(w(), key)->isEnabled();
            const bool mismatch = enabled != child<QLabel>(w(), label)->isEnabled();
            if (enabled || mismatch)
                out << QString::fromLatin1(key) + (mismatch ? "!" : "");
        }
        return out.join(u' ');
    }

    QString fields() const
    {
        return QStringList{text("Text1")->text(), text("Text2")->text(), text("Text3")->text()}.join(u'|');
    }

    // What Club.mdb holds, read through a connection of its own, in the order the rows were stored.
    QString stored(const QString& field = QStringLiteral("codigo")) const
    {
        const store::Database again = store::Database::open(m_state.clubDb.path(), store::schema::clubs());
        return fixtures::column(again, QStringLiteral("select * from club"), field);
    }

    void ctrl(int digit)
    {
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : w();
        QTest::keyClick(target, Qt::Key(Qt::Key_0 + digit), Qt::ControlModifier);
    }

    void select(int index) { list()->setCurrentItem(list()->topLevelItem(index)); }

    // Types into a box; Qt's typing knows no small accented letters, which are put in as a paste.
    static void put(QLineEdit* box, const QString& value)
    {
        bool plain = true;
        for (const QChar c : value)
            plain = plain && c.unicode() < 0x80;
        if (value.isEmpty()) {
            box->setFocus(Qt::TabFocusReason);
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Delete);
        } else if (plain) {
            guitest::type(box, value);
        } else {
            box->setFocus(Qt::TabFocusReason);
            box->selectAll();
            box->insert(value);
        }
    }

    void enter(const ClubRow& club)
    {
        put(text("Text1"), club.codigo);
        put(text("Text2"), club.nombre);
        put(text("Text3"), club.provincia);
    }

    void addThroughTheWindow(const ClubRow& club)
    {
        child<QAction>(w(), "ps1")->trigger();
        enter(club);
        child<QPushButton>(w(), "Command1")->click();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        clubtest::openEmptyClubs(m_state, m_dir->path());
        guitest::startScripting();
    }

    void cleanup()
    {
        m_window.reset();
        VERIFY_SCRIPTED();
    }

    void emptyTableOffersOnlyGrabarAndSalir()
    {
        QVERIFY(open());
        QCOMPARE(w()->objectName(), "Psueltas");
        QCOMPARE(w()->windowTitle(), "Club");
        QCOMPARE(status(), "CONSULTA");
        QCOMPARE(toolbar(), "ps1 ps6");
        QCOMPARE(fields(), "||");
        QVERIFY(!child<QGroupBox>(w(), "Frame2")->isEnabled());
        QCOMPARE(child<QGroupBox>(w(), "Frame2")->title(), "Grabar/Modificar");
        for (const char* hidden : {"Frame1", "Frame3", "Frame5"})
            QVERIFY2(!child<QWidget>(w(), hidden)->isVisible(), hidden);
        // Anular and Modificar, by key or button, do nothing: no question, no entry.
        ctrl(2);
        ctrl(3);
        child<QAction>(w(), "ps3")->trigger();
        QCOMPARE(status(), "CONSULTA");
        QVERIFY(!child<QGroupBox>(w(), "Frame2")->isEnabled());
    }

    void newClubsListedByCodeAsText()
    {
        QVERIFY(open({{"10", "Diez", "Soria"}, {"2", "Dos", "Teruel"}}));
        QCOMPARE(toolbar(), kAll);
        QCOMPARE(fields(), "10|Diez|Soria");

        child<QAction>(w(), "ps1")->trigger();
        QCOMPARE(status(), "GRABAR");
        QCOMPARE(toolbar(), QString());
        QVERIFY(child<QGroupBox>(w(), "Frame2")->isEnabled());
        QCOMPARE(child<QGroupBox>(w(), "Frame2")->title(), "Grabar Un Club Nuevo");
        QVERIFY(child<QWidget>(w(), "Frame1")->isVisible());
        QCOMPARE(fields(), "||");
        QVERIFY(text("Text1")->hasFocus());
        QVERIFY(!child<QPushButton>(w(), "Command1")->isEnabled());
        enter({"7", "Siete Picos", "Ávila"});
        QVERIFY(child<QPushButton>(w(), "Command1")->isEnabled());
        child<QPushButton>(w(), "Command1")->click();

        QCOMPARE(listed(), (QStringList{"10", "2", "7"}));
        QCOMPARE(listed(2), (QStringList{"SORIA", "TERUEL", "ÁVILA"}));
        QCOMPARE(status(), "CONSULTAR");
        QCOMPARE(toolbar(), kAll);
        QVERIFY(!child<QGroupBox>(w(), "Frame2")->isEnabled());
        QVERIFY(!child<QWidget>(w(), "Frame1")->isVisible());
        QCOMPARE(selected(), 0);
        QCOMPARE(fields(), "10|Diez|Soria");

        addThroughTheWindow({"15", "Quince", "Cuenca"});
        QCOMPARE(listed(), (QStringList{"10", "15", "2", "7"}));
        QCOMPARE(stored(), "10,2,7,15");
        QCOMPARE(stored("nombre"), "Diez,Dos,Siete Picos,Quince");
        QCOMPARE(stored("provincia"), "Soria,Teruel,Ávila,Cuenca"); // as typed, not in capitals
    }

    void emptyCodeNeverStored_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("nothing") << "";
        QTest::newRow("blanks") << "   ";
    }
    void emptyCodeNeverStored()
    {
        QFETCH(QString, code);
        QVERIFY(open({{"10", "Diez", "Soria"}}));
        child<QAction>(w(), "ps1")->trigger();
        enter({code, "Sin Codigo", "Soria"});
        auto* aceptar = child<QPushButton>(w(), "Command1");
        QVERIFY(!aceptar->isEnabled());
        QTest::keyClick(text("Text3"), Qt::Key_A, Qt::AltModifier);
        aceptar->click();
        QCOMPARE(status(), "GRABAR");
        QCOMPARE(stored(), "10");

        // Emptying the code of a club being changed cannot store it either.
        ctrl(3);
        QCOMPARE(status(), "MODIFICAR");
        put(text("Text1"), code);
        QVERIFY(!aceptar->isEnabled());
        aceptar->click();
        child<QPushButton>(w(), "Command2")->click();
        QCOMPARE(status(), "CONSULTAR");
        QCOMPARE(stored(), "10");
        QCOMPARE(stored("nombre"), "Diez");
    }

    // Going back to the code box to mend it keeps what was typed in the others.
    void returningToTheCodeKeepsWhatWasTyped_data()
    {
        QTest::addColumn<int>("start");
        QTest::newRow("GRABAR") << 1;
        QTest::newRow("MODIFICAR") << 3;
    }
    void returningToTheCodeKeepsWhatWasTyped()
    {
        QFETCH(int, start);
        QVERIFY(open({{"10", "Diez", "Soria"}}));
        ctrl(start);
        enter({"11", "Once", "Segovia"});
        QTest::keyClick(text("Text3"), Qt::Key_Backtab);
        QTest::keyClick(text("Text2"), Qt::Key_Backtab);
        QVERIFY(text("Text1")->hasFocus());
        QCOMPARE(fields(), "11|Once|Segovia");
        guitest::type(text("Text1"), "12");
        child<QPushButton>(w(), "Command1")->click();
        QCOMPARE(stored(), start == 1 ? "10,12" : "12");
        QCOMPARE(stored("nombre"), start == 1 ? "Diez,Once" : "Once");
        QCOMPARE(stored("provincia"), start == 1 ? "Soria,Segovia" : "Segovia");
    }

    void ctrlKeysInEntryStates_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("shown");
        const QString dos = QStringLiteral("2|Dos|Teruel");
        for (const auto& [start, name] : {std::pair{1, "GRABAR"}, std::pair{3, "MODIFICAR"}}) {
            const QByteArray from(name);
            QTest::newRow(from + " Ctrl+1") << start << 1 << "GRABAR"
                                            << "||";
            QTest::newRow(from + " Ctrl+2") << start << 2 << "CONSULTAR" << dos;
            QTest::newRow(from + " Ctrl+3") << start << 3 << "MODIFICAR" << dos;
            QTest::newRow(from + " Ctrl+6") << start << 6 << "closed"
                                            << "";
        }
    }
    void ctrlKeysInEntryStates()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(QString, state);
        QFETCH(QString, shown);
        QVERIFY(open({{"10", "Diez", "Soria"}, {"2", "Dos", "Teruel"}}));
        select(1);
        ctrl(start);
        QCOMPARE(status(), start == 1 ? "GRABAR" : "MODIFICAR");
        QCOMPARE(toolbar(), QString()); // the keys act although every button is disabled
        guitest::type(text("Text2"), "a medio escribir");
        if (key == 2)
            Messages::script(Messages::Answer::No);
        ctrl(key);
        if (state == u"closed") {
            QVERIFY(!w()->isVisible());
        } else {
            QCOMPARE(status(), state);
            QCOMPARE(fields(), shown);
        }
        QCOMPARE(stored(), "10,2");
        QCOMPARE(stored("nombre"), "Diez,Dos");
    }

    void modificationReselectsThePosition()
    {
        QVERIFY(open({{"10", "Diez", "Soria"}, {"2", "Dos", "Teruel"}, {"7", "Siete", "Ávila"}}));
        select(0);
        child<QAction>(w(), "ps3")->trigger();
        QCOMPARE(status(), "MODIFICAR");
        QCOMPARE(child<QGroupBox>(w(), "Frame2")->title(), "Modificar el Club");
        QCOMPARE(toolbar(), QString());
        QCOMPARE(fields(), "10|Diez|Soria");
        QCOMPARE(m_state.selClubCodigo, "10");
        guitest::type(text("Text1"), "3");
        child<QPushButton>(w(), "Command1")->click();

        QCOMPARE(listed(), (QStringList{"2", "3", "7"}));
        // The entry at the same place is selected, now another club.
        QCOMPARE(selected(), 0);
        QCOMPARE(fields(), "2|Dos|Teruel");
        QCOMPARE(status(), "CONSULTAR");
        QCOMPARE(toolbar(), kAll);
        QCOMPARE(stored(), "3,2,7");
        QCOMPARE(stored("nombre"), "Diez,Dos,Siete");
    }

    void overLongFieldStaysOnScreen_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("named");
        QTest::newRow("new club, name of 51") << 1 << "Text2"
                                              << "nombre";
        QTest::newRow("new club, province of 26") << 1 << "Text3"
                                                  << "provincia";
        QTest::newRow("change, name of 51") << 3 << "Text2"
                                            << "nombre";
        QTest::newRow("change, province of 26") << 3 << "Text3"
                                                << "provincia";
    }
    void overLongFieldStaysOnScreen()
    {
        QFETCH(int, start);
        QFETCH(QString, field);
        QFETCH(QString, named);
        QVERIFY(open({{"10", "Diez", "Soria"}}));
        ctrl(start);
        guitest::type(text("Text1"), "12");
        const QString tooLong(field == u"Text2" ? 51 : 26, u'x');
        QLineEdit* box = text(qPrintable(field));
        guitest::type(box, tooLong);
        Messages::script(Messages::Answer::Ok);
        child<QPushButton>(w(), "Command1")->click();
        QCOMPARE(Messages::last().title, "Aviso");
        QVERIFY2(Messages::last().text.contains(named), qPrintable(Messages::last().text));
        QCOMPARE(status(), start == 1 ? "GRABAR" : "MODIFICAR");
        QCOMPARE(box->text(), tooLong);
        QCOMPARE(text("Text1")->text(), "12");
        QTRY_VERIFY(box->hasFocus());
        QCOMPARE(stored(), "10");
        QCOMPARE(stored("nombre"), "Diez");
    }

    void deletion_data()
    {
        QTest::addColumn<int>("clubs");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("buttons");
        QTest::newRow("the first") << 3 << 0 << true << QStringList{"2", "7"} << 0 << "2|Dos|Teruel" << kAll;
        QTest::newRow("a middle one")
            << 3 << 1 << true << QStringList{"10", "7"} << 1 << "7|Siete|Ávila" << kAll;
        // No entry stands at its place: the fields keep the deleted club, nothing is selected.
        QTest::newRow("the last") << 3 << 2 << true << QStringList{"10", "2"} << -1 << "7|Siete|Ávila"
                                  << kAll;
        QTest::newRow("the only one") << 1 << 0 << true << QStringList{} << -1 << "||"
                                      << "ps1 ps6";
        QTest::newRow("answered No") << 3 << 1 << false << QStringList{"10", "2", "7"} << 1 << "2|Dos|Teruel"
                                     << kAll;
    }
    void deletion()
    {
        QFETCH(int, clubs);
        QFETCH(int, chosen);
        QFETCH(bool, yes);
        QFETCH(QStringList, left);
        QFETCH(int, selectedAfter);
        QFETCH(QString, shown);
        QFETCH(QString, buttons);
        const QList<ClubRow> all{{"10", "Diez", "Soria"}, {"2", "Dos", "Teruel"}, {"7", "Siete", "Ávila"}};
        QVERIFY(open(all.mid(0, clubs)));
        select(chosen);
        select(clubs - 1 - chosen); // the fields show another club until the entry is chosen again
        select(chosen);
        Messages::script(yes ? Messages::Answer::Yes : Messages::Answer::No);
        child<QAction>(w(), "ps2")->trigger();
        QCOMPARE(Messages::last().title, "Atención");
        QCOMPARE(Messages::last().text, "¿Desea Borrar el Club?");
        QCOMPARE(listed(), left);
        QCOMPARE(selected(), selectedAfter);
        QCOMPARE(fields(), shown);
        QCOMPARE(status(), "CONSULTAR");
        QCOMPARE(toolbar(), buttons);
        QStringList storedCodes = stored().split(u',', Qt::SkipEmptyParts);
        storedCodes.sort();
        left.sort();
        QCOMPARE(storedCodes, left);
    }

    // Two clubs may share a code; what the user chose is what is changed or deleted.
    void twoClubsWithOneCode()
    {
        QVERIFY(open());
        addThroughTheWindow({"7", "Norte", "Leon"});
        addThroughTheWindow({"7", "Sur", "Cadiz"});
        QCOMPARE(listed(), (QStringList{"7", "7"}));
        QCOMPARE(listed(1), (QStringList{"Norte", "Sur"}));
        select(1);
        QCOMPARE(fields(), "7|Sur|Cadiz");
        ctrl(3);
        QCOMPARE(fields(), "7|Sur|Cadiz");
        guitest::type(text("Text2"), "Sur Nuevo");
        child<QPushButton>(w(), "Command1")->click();
        QCOMPARE(stored("nombre"), "Norte,Sur Nuevo");

        select(1);
        Messages::script(Messages::Answer::Yes);
        ctrl(2);
        QCOMPARE(listed(1), QStringList{"Norte"});
        QCOMPARE(stored("nombre"), "Norte");
    }

    void codeStoredWithBlanks()
    {
        QVERIFY(open({{" 7 ", "Blancos", "Soria"}, {"10", "Diez", "Soria"}}));
        QCOMPARE(listed(), (QStringList{"7", "10"}));
        QCOMPARE(fields(), "7|Blancos|Soria");
        ctrl(3);
        guitest::type(text("Text2"), "Sin Blancos");
        child<QPushButton>(w(), "Command1")->click();
        // Stored as the box shows it, without the blanks, so it now sorts after 10.
        QCOMPARE(stored(), "7,10");
        QCOMPARE(stored("nombre"), "Sin Blancos,Diez");
        QCOMPARE(listed(), (QStringList{"10", "7"}));
        select(1);
        Messages::script(Messages::Answer::Yes);
        ctrl(2);
        QCOMPARE(stored(), "10");
    }

    void quotesStoredAndFoundLiterally()
    {
        QVERIFY(open({{"1", "Real", "Soria"}}));
        addThroughTheWindow({"7'", "Peña d'Or", "L'Alt"});
        QCOMPARE(stored(), "1,7'");
        QCOMPARE(stored("nombre"), "Real,Peña d'Or");
        QCOMPARE(stored("provincia"), "Soria,L'Alt");
        child<QAction>(w(), "ps4")->trigger();
        guitest::type(text("Text7"), "PEÑA D'"); // typing knows only capital accents
        QTest::keyClick(text("Text7"), Qt::Key_Return);
        QCOMPARE(selected(), 1);
        QCOMPARE(fields(), "7'|Peña d'Or|L'Alt");
    }

    void searchPanel()
    {
        QVERIFY(open({{"1", "Real Club", "Soria"}, {"2", "San Roque", "Cádiz"}, {"3", "san blas", "Soria"}}));
        auto* panel = child<QGroupBox>(w(), "Frame3");
        child<QAction>(w(), "ps4")->trigger();
        QVERIFY(panel->isVisible());
        QVERIFY(text("Text7")->hasFocus());
        guitest::type(text("Text7"), "  SAN ");
        child<QPushButton>(w(), "Command3")->click();
        QCOMPARE(selected(), 1); // the first in the list's order, which is by code
        QCOMPARE(fields(), "2|San Roque|Cádiz");
        QCOMPARE(m_state.clubPattern, "San Roque");
        QVERIFY(!panel->isVisible());
        QVERIFY(list()->hasFocus());

        child<QAction>(w(), "ps4")->trigger();
        guitest::type(text("Text7"), "Zamora");
        Messages::script(Messages::Answer::Ok);
        QTest::keyClick(text("Text7"), Qt::Key_Return);
        QCOMPARE(Messages::last().title, clubtest::kNotFoundTitle);
        QCOMPARE(Messages::last().text, "No se ha encontrado");
        QCOMPARE(selected(), 1);
        QVERIFY(panel->isVisible());
        child<QPushButton>(w(), "Command4")->click();
        QVERIFY(!panel->isVisible());
        QCOMPARE(selected(), 1);
    }

    void movingAlongTheListShowsEachClub()
    {
        QVERIFY(open({{"1", "Uno", "Soria"}, {"2", "Dos", "Teruel"}, {"3", "Tres", "Cuenca"}}));
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(fields(), "2|Dos|Teruel");
        const QRect third = list()->visualItemRect(list()->topLevelItem(2));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, third.center());
        QCOMPARE(fields(), "3|Tres|Cuenca");
        QTest::keyClick(list(), Qt::Key_Up);
        QCOMPARE(fields(), "2|Dos|Teruel");
        // A modification changes the club the fields show.
        ctrl(3);
        select(0);
        guitest::type(text("Text2"), "Uno Bis");
        child<QPushButton>(w(), "Command1")->click();
        QCOMPARE(stored("nombre"), "Uno Bis,Dos,Tres");
    }

    void legendWhileCtrlIsHeld()
    {
        QVERIFY(open({{"1", "Uno", "Soria"}}));
        auto* legend = child<QWidget>(w(), "Frame5");
        QTest::keyPress(list(), Qt::Key_Control);
        QVERIFY(legend->isVisible());
        QTest::keyRelease(list(), Qt::Key_Control);
        QVERIFY(!legend->isVisible());
    }

    void escapeClosesWithoutStoring()
    {
        QVERIFY(open({{"1", "Uno", "Soria"}}));
        child<QAction>(w(), "ps1")->trigger();
        enter({"9", "Nueve", "Soria"});
        QTest::keyClick(text("Text3"), Qt::Key_Escape);
        QVERIFY(!w()->isVisible());
        QCOMPARE(stored(), "1");
        // The next opening starts again in consultation.
        m_window->load();
        QVERIFY(guitest::showActive(w()));
        QCOMPARE(status(), "CONSULTA");
        QCOMPARE(child<QGroupBox>(w(), "Frame2")->title(), "Grabar/Modificar");
        QCOMPARE(toolbar(), kAll);
        QCOMPARE(fields(), "1|Uno|Soria");
    }

    // Club.mdb outlives the exhibitions, and what the window stored is what reception and the
    // province classification find in the shared result.
    void clubsSurviveAChangeOfExhibition()
    {
        const QString first = exhibition::create(m_dir->path(), "Primera");
        exhibition::open(m_state, first);
        QVERIFY(open({{"10", "Diez", "Soria"}, {"2", "Dos", "Teruel"}}));
        addThroughTheWindow({"15", "Quince", "Cuenca"});
        w()->close();
        QCOMPARE(m_state.clubRs.recordCount(), 3);
        QVERIFY(m_state.clubRs.findFirst("Codigo = '15'"));
        QCOMPARE(m_state.clubRs.text("nombre"), "Quince");

        exhibition::open(m_state, exhibition::create(m_dir->path(), "Segunda"));
        QCOMPARE(m_state.clubRs.recordCount(), 3);
        m_window->load();
        QVERIFY(guitest::showActive(w()));
        QCOMPARE(listed(), (QStringList{"10", "15", "2"}));
    }

    void menuItemOpensTheWindow()
    {
        fixtures::addClub(m_state.clubDb, "4", "Cuatro", "Soria");
        m_state.dbPath = exhibition::create(m_dir->path(), "Expo");
        MainWindow main(m_state);
        QVERIFY(main.openExhibition());
        auto* item = child<QAction>(&main, "actionClub");
        QVERIFY(item->isEnabled());
        QStringList seen;
        guitest::whenShown<ClubMaintenanceWindow>([&seen](ClubMaintenanceWindow* window) {
            seen << window->windowTitle()
                 << child<QTreeWidget>(window, "ListView1")->topLevelItem(0)->text(1);
            window->close();
        });
        item->trigger();
        QCOMPARE(seen, (QStringList{"Club", "Cuatro"}));
    }
};

QTEST_MAIN(TestClubMaintenanceWindow)
#include "test_club_maintenance_window.moc"
