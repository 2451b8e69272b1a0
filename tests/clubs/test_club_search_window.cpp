// The club search window driven as reception's F1 uses it: orders, searches, and the code it
// hands back.

#include "club_test_state.h"
#include "clubs/club_search_window.h"
#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "shell/messages.h"
#include "support/fixtures.h"
#include "support/gui_test.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using guitest::child;

class TestClubSearchWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    std::unique_ptr<ClubSearchWindow> m_window;

    QWidget* w() const { return m_window.get(); }
    QTreeWidget* list() const { return child<QTreeWidget>(w(), "ListView1"); }
    QLineEdit* pattern() const { return child<QLineEdit>(w(), "Text1"); }
    QGroupBox* panel() const { return child<QGroupBox>(w(), "Frame1"); }

    void addClubs(const QList<QStringList>& clubs)
    {
        for (const QStringList& club : clubs)
            fixtures::addClub(m_state.clubDb, club[0], club[1], club[2]);
    }

    bool open(const QList<QStringList>& clubs = {})
    {
        addClubs(clubs);
        m_window = std::make_unique<ClubSearchWindow>(m_state, nullptr);
        m_window->load();
        return guitest::showActive(w());
    }

    QStringList listed(int column = 0) const { return clubtest::listed(list(), column); }

    QString selectedCode() const
    {
        QTreeWidgetItem* item = list()->currentItem();
        return item != nullptr && item->isSelected() ? item->text(0) : QStringLiteral("(none)");
    }

    void ctrl(int digit)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(Qt::Key_0 + digit), Qt::ControlModifier);
    }

    // Opens the search panel with Ctrl+1 and types over the preset.
    void searchFor(const QString& typed)
    {
        ctrl(1);
        QVERIFY(panel()->isVisible());
        QTRY_VERIFY(pattern()->hasFocus());
        QTest::keyClicks(pattern(), typed);
        QTest::keyClick(pattern(), Qt::Key_Return);
    }

    // The clubs result reception reads, in its order.
    QString sharedOrder()
    {
        QStringList codes;
        store::Recordset& shared = m_state.clubRs;
        for (shared.moveFirst(); !shared.eof(); shared.moveNext())
            codes << shared.text("codigo");
        return codes.join(u',');
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

    void opensByCodeInNumericOrder()
    {
        QVERIFY(open({{"10", "Diez", "Soria"}, {"2", "Dos", "Teruel"}, {"7", "Siete", "Ávila"}}));
        QCOMPARE(w()->objectName(), "AyuClub1");
        QCOMPARE(w()->windowTitle(), "Ayuda de Club");
        QCOMPARE(child<QLabel>(w(), "Label1")->text(), "Ayuda de Club");
        QCOMPARE(listed(), (QStringList{"2", "7", "10"}));
        QCOMPARE(listed(1), (QStringList{"DOS", "SIETE", "DIEZ"}));
        QCOMPARE(listed(2), (QStringList{"TERUEL", "ÁVILA", "SORIA"}));
        QCOMPARE(selectedCode(), "2");
        QVERIFY(child<QRadioButton>(w(), "Option1")->isChecked());
        QVERIFY(!panel()->isVisible());
        QVERIFY(!child<QWidget>(w(), "Frame2")->isVisible());
        QVERIFY(list()->hasFocus());
        QCOMPARE(sharedOrder(), "2,7,10");
    }

    void searchByCode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found"); // "": not found
        QTest::newRow("7 finds 7") << "7"
                                   << "7";
        QTest::newRow("1 does not find 10") << "1"
                                            << "";
        QTest::newRow("10") << "10"
                            << "10";
        QTest::newRow("code stored with blanks") << "4"
                                                 << " 4";
        QTest::newRow("the preset left as it is") << ""
                                                  << "";
    }
    void searchByCode()
    {
        QFETCH(QString, typed);
        QFETCH(QString, found);
        QVERIFY(open({{"10", "Diez", "Soria"},
                      {"2", "Dos", "Teruel"},
                      {"7", "Siete", "Avila"},
                      {" 4", "Cuatro", "Leon"}}));
        list()->setCurrentItem(list()->topLevelItem(1));
        const QString before = selectedCode();
        ctrl(1);
        QTRY_VERIFY(pattern()->hasFocus());
        QCOMPARE(pattern()->text(), "0000");
        QCOMPARE(pattern()->selectedText(), "0000"); // typing replaces the preset
        if (found.isEmpty())
            Messages::script(Messages::Answer::Ok);
        QTest::keyClicks(pattern(), typed);
        QTest::keyClick(pattern(), Qt::Key_Return);
        QCOMPARE(m_state.clubPattern, typed.isEmpty() ? QStringLiteral("0000") : typed);
        if (found.isEmpty()) {
            QCOMPARE(Messages::last().title, clubtest::kNotFoundTitle);
            QCOMPARE(Messages::last().text, "No se ha encontrado");
            QCOMPARE(selectedCode(), before);
            QVERIFY(panel()->isVisible());
            QTRY_VERIFY(pattern()->hasFocus());
        } else {
            QCOMPARE(selectedCode(), found);
            QVERIFY(!panel()->isVisible());
            QVERIFY(list()->hasFocus());
        }
    }

    void searchByName()
    {
        QVERIFY(open({{"1", "Real Club", "Soria"},
                      {"2", "SAN ROQUE", "Cadiz"},
                      {"3", "san blas", "Soria"},
                      {"4", "Santa Ana", "Jaen"}}));
        QTest::mouseClick(child<QRadioButton>(w(), "Option2"), Qt::LeftButton);
        QVERIFY(child<QRadioButton>(w(), "Option2")->isChecked());
        QCOMPARE(listed(), (QStringList{"1", "3", "2", "4"}));
        QCOMPARE(selectedCode(), "1");
        QTRY_VERIFY(list()->hasFocus());
        ctrl(1);
        QTRY_VERIFY(pattern()->hasFocus());
        QCOMPARE(pattern()->text(), QString(50, u' '));
        QTest::keyClicks(pattern(), "san");
        child<QPushButton>(w(), "Command1")->click();
        QCOMPARE(selectedCode(), "3");
        QCOMPARE(m_state.clubPattern, "san blas");
        QVERIFY(!panel()->isVisible());

        Messages::script(Messages::Answer::Ok);
        searchFor("Sant Joan");
        QCOMPARE(Messages::last().text, "No se ha encontrado");
        QCOMPARE(selectedCode(), "3");
        child<QPushButton>(w(), "Command2")->click();
        QVERIFY(!panel()->isVisible());

        // Reception reads the clubs in the order last used here.
        w()->close();
        QCOMPARE(sharedOrder(), "1,3,2,4");
    }

    void quotesAndWildcardsAreLiteral()
    {
        QVERIFY(open({{"1", "Club Norte", "Soria"}, {"2", "D'Artagnan", "Lleida"}, {"3", "C*", "Soria"}}));
        QTest::mouseClick(child<QRadioButton>(w(), "Option2"), Qt::LeftButton);
        searchFor("d'art");
        QCOMPARE(selectedCode(), "2");
        searchFor("c*");
        QCOMPARE(selectedCode(), "3");
    }

    void choosingHandsBackTheCodeAsStored_data()
    {
        QTest::addColumn<int>("how"); // 0 Enter, 1 double click, 2 Esc, 3 Ctrl+3, 4 toolbar so3
        QTest::addColumn<QString>("expected");
        QTest::newRow("Enter") << 0 << " 7";
        QTest::newRow("double click") << 1 << " 7";
        QTest::newRow("Esc") << 2 << "(nothing)";
        QTest::newRow("Ctrl+3") << 3 << "(nothing)";
        QTest::newRow("Salir") << 4 << "(nothing)";
    }
    void choosingHandsBackTheCodeAsStored()
    {
        QFETCH(int, how);
        QFETCH(QString, expected);
        addClubs({{"12", "Doce", "Soria"}, {" 7", "Siete", "Avila"}});
        ClubSearchWindow search(m_state, nullptr);
        QStringList problems;
        guitest::whenShown<ClubSearchWindow>([how, &problems](ClubSearchWindow* window) {
            if (!QTest::qWaitForWindowActive(window))
                problems << "not active";
            auto* list = child<QTreeWidget>(window, "ListView1");
            if (list->currentItem() == nullptr || list->currentItem()->text(0) != " 7")
                problems << "the first entry by code is not selected";
            QTest::keyClick(list, Qt::Key_2, Qt::ControlModifier); // does nothing
            if (!window->isVisible())
                problems << "Ctrl+2 closed the window";
            switch (how) {
            case 0:
                QTest::keyClick(list, Qt::Key_Return);
                break;
            case 1: {
                const QPoint at = list->visualItemRect(list->currentItem()).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); // a double click's first press
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
                break;
            }
            case 2:
                QTest::keyClick(list, Qt::Key_Escape);
                break;
            case 3:
                QTest::keyClick(list, Qt::Key_3, Qt::ControlModifier);
                break;
            default:
                child<QAction>(window, "so3")->trigger();
            }
            if (window->isVisible()) {
                problems << "still open";
                window->close();
            }
        });
        const std::optional<QString> code = search.choose();
        QCOMPARE(problems.join("; "), QString());
        QCOMPARE(code.value_or("(nothing)"), expected);
    }

    void everyOpeningStartsByCode()
    {
        QVERIFY(open({{"10", "Alfa", "Soria"}, {"2", "Zeta", "Teruel"}}));
        QTest::mouseClick(child<QRadioButton>(w(), "Option2"), Qt::LeftButton);
        QCOMPARE(listed(), (QStringList{"10", "2"}));
        ctrl(1);
        QVERIFY(panel()->isVisible());
        w()->close();
        m_window->load();
        QVERIFY(guitest::showActive(w()));
        QVERIFY(child<QRadioButton>(w(), "Option1")->isChecked());
        QCOMPARE(listed(), (QStringList{"2", "10"}));
        QVERIFY(!panel()->isVisible());
        QCOMPARE(m_window->chosen(), std::nullopt);
    }

    void noClubsNoSearch()
    {
        QVERIFY(open());
        QCOMPARE(list()->topLevelItemCount(), 0);
        QVERIFY(!child<QAction>(w(), "so1")->isEnabled());
        QTest::keyClick(list(), Qt::Key_1, Qt::ControlModifier);
        QVERIFY(!panel()->isVisible());
        QTest::keyClick(list(), Qt::Key_Return);
        QVERIFY(w()->isVisible());
        QCOMPARE(m_window->chosen(), std::nullopt);
    }

    void legendWhileCtrlIsHeld()
    {
        QVERIFY(open({{"1", "Uno", "Soria"}}));
        auto* legend = child<QWidget>(w(), "Frame2");
        QTest::keyPress(list(), Qt::Key_Control);
        QVERIFY(legend->isVisible());
        QCOMPARE(child<QLabel>(w(), "Label5")->text(), "1 Buscar");
        QCOMPARE(child<QLabel>(w(), "Label2")->text(), "2 Salir");
        QTest::keyRelease(list(), Qt::Key_Control);
        QVERIFY(!legend->isVisible());
    }
};

QTEST_MAIN(TestClubSearchWindow)
#include "test_club_search_window.moc"
