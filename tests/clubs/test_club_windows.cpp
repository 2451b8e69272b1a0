// The club maintenance and club search windows driven as the user drives them, offscreen, with
// what they store read back from Club.mdb.

#include "kit/messages.h"
#include "rules/exhibition/exhibition.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/clubs/club_maintenance_window.h"
#include "windows/clubs/club_search_window.h"
#include "windows/shell/app_state.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using guitest::child;

static const QString kAll = QStringLiteral("ps1 ps2 ps3 ps4 ps6");
static const QList<QStringList> kThree{
    {"10", "Diez", "Soria"}, {"2", "Dos", "Teruel"}, {"7", "Siete", "Avila"}};

class TestClubWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    std::unique_ptr<QDialog> m_window;

    QWidget* w() const { return m_window.get(); }
    QTreeWidget* list() const { return child<QTreeWidget>(w(), "ListView1"); }
    QLineEdit* text(const char* name) const { return child<QLineEdit>(w(), name); }
    QString status() const { return child<QLabel>(w(), "Label1")->text(); }
    void click(const char* button) { child<QPushButton>(w(), button)->click(); }
    void trigger(const char* button) { child<QAction>(w(), button)->trigger(); }
    void select(int index) { list()->setCurrentItem(list()->topLevelItem(index)); }

    template <class Window> bool open(const QList<QStringList>& clubs = {})
    {
        for (const QStringList& club : clubs)
            fixtures::addClub(m_state.clubDb, club[0], club[1], club[2]);
        auto window = std::make_unique<Window>(m_state, nullptr);
        window->load();
        m_window = std::move(window);
        return guitest::showActive(w());
    }

    // The status and the enabled toolbar buttons.
    QString state() const
    {
        QStringList out{status()};
        for (const char* key : {"ps1", "ps2", "ps3", "ps4", "ps6"})
            if (child<QAction>(w(), key)->isEnabled())
                out << key;
        return out.join(u' ');
    }

    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            out << list()->topLevelItem(i)->text(0);
        return out;
    }

    QString selected() const
    {
        QTreeWidgetItem* item = list()->currentItem();
        return item != nullptr && item->isSelected() ? item->text(0) : QStringLiteral("(none)");
    }

    QString fields() const
    {
        return QStringList{text("Text1")->text(), text("Text2")->text(), text("Text3")->text()}.join(u'|');
    }

    QString stored(const QString& field = QStringLiteral("codigo")) const
    {
        const auto again = store::Database::open(m_state.clubDb.path(), store::schema::clubs());
        return fixtures::column(again, QStringLiteral("select * from club"), field);
    }

    void keys(const QKeySequence& keys) { QTest::keySequence(QApplication::focusWidget(), keys); }

    void put(const char* box, const QString& value)
    {
        text(box)->clear();
        guitest::type(text(box), value);
    }

    void add(const QStringList& club)
    {
        trigger("ps1");
        put("Text1", club[0]);
        put("Text2", club[1]);
        put("Text3", club[2]);
        click("Command1");
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state.programFolder = m_dir->path();
        exhibition::open(m_state, exhibition::create(m_dir->path(), "Primera", m_dir->path()));
        guitest::startScripting();
    }

    void cleanup()
    {
        m_window.reset();
        VERIFY_SCRIPTED();
    }

    void textOrderStatesAndAChangeOfExhibition()
    {
        QVERIFY(open<ClubMaintenanceWindow>(kThree));
        QCOMPARE(state(), "CONSULTA " + kAll);
        add({"15", "Quince", "Cuenca"});
        QCOMPARE(listed(), (QStringList{"10", "15", "2", "7"}));
        QCOMPARE(state(), "CONSULTAR " + kAll);

        // A change keeps the place in the list, which another club now takes.
        trigger("ps3");
        QCOMPARE(state(), "MODIFICAR");
        put("Text1", "3");
        click("Command1");
        QCOMPARE(listed(), (QStringList{"15", "2", "3", "7"}));
        QCOMPARE(selected() + u' ' + fields(), "15 15|Quince|Cuenca");
        QCOMPARE(state(), "CONSULTAR " + kAll);
        QCOMPARE(stored(), "3,2,7,15");

        w()->close();
        exhibition::open(m_state, exhibition::create(m_dir->path(), "Segunda", m_dir->path()));
        QVERIFY(open<ClubMaintenanceWindow>());
        QCOMPARE(listed(), (QStringList{"15", "2", "3", "7"}));
    }

    void refusedEntryStaysOnScreen_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("message"); // "": Aceptar stays disabled, no message
        QTest::newRow("new club, no code") << 1 << "" << 1 << "";
        QTest::newRow("new club, blanks for a code") << 1 << "   " << 1 << "";
        QTest::newRow("change, code emptied") << 3 << "" << 1 << "";
        QTest::newRow("new club, name of 51")
            << 1 << QString(51, u'x') << 2
            << "El nombre del club admite como máximo 50 caracteres, y el escrito tiene 51. Acórtelo.";
        QTest::newRow("change, province of 26")
            << 3 << QString(26, u'x') << 3
            << "La provincia del club admite como máximo 25 caracteres, y el escrito tiene 26. Acórtelo.";
    }
    void refusedEntryStaysOnScreen()
    {
        QFETCH(int, start);
        QFETCH(QString, value);
        QFETCH(int, box);
        QFETCH(QString, message);
        QVERIFY(open<ClubMaintenanceWindow>({{"10", "Diez", "Soria"}}));
        keys(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + start)));
        put("Text1", "12");
        const QByteArray name = "Text" + QByteArray::number(box);
        put(name, value);
        if (!message.isEmpty())
            Messages::script(Messages::Answer::Ok);
        click("Command1");
        QCOMPARE(Messages::last().text, message);
        QCOMPARE(state(), start == 1 ? "GRABAR" : "MODIFICAR");
        QCOMPARE(text(name)->text(), value);
        QTRY_VERIFY(text(name)->hasFocus());
        QCOMPARE(stored(), "10");
    }

    void keysInEntryStates_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("after");
        for (const char* start : {"Ctrl+1", "Ctrl+3"}) {
            const QByteArray from = QByteArray(start) + ", ";
            QTest::newRow(from + "Ctrl+1") << start << QKeySequence("Ctrl+1") << "GRABAR ||";
            QTest::newRow(from + "Ctrl+2") << start << QKeySequence("Ctrl+2") << "CONSULTAR 2|Dos|Teruel";
            QTest::newRow(from + "Ctrl+3") << start << QKeySequence("Ctrl+3") << "MODIFICAR 2|Dos|Teruel";
            QTest::newRow(from + "Ctrl+6") << start << QKeySequence("Ctrl+6") << "closed";
            QTest::newRow(from + "Esc") << start << QKeySequence(Qt::Key_Escape) << "closed";
        }
    }
    void keysInEntryStates()
    {
        QFETCH(QString, start);
        QFETCH(QKeySequence, key);
        QFETCH(QString, after);
        QVERIFY(open<ClubMaintenanceWindow>(kThree.mid(0, 2)));
        select(1);
        keys(QKeySequence(start));
        QCOMPARE(state(), start == u"Ctrl+1" ? "GRABAR" : "MODIFICAR"); // every button disabled
        put("Text2", "a medio escribir");
        if (key == QKeySequence("Ctrl+2"))
            Messages::script(Messages::Answer::No);
        keys(key);
        QCOMPARE(w()->isVisible() ? status() + u' ' + fields() : QStringLiteral("closed"), after);
        if (key == QKeySequence("Ctrl+2")) // the entry is over: back to consultation, toolbar on
            QCOMPARE(state() + (child<QWidget>(w(), "Frame2")->isEnabled() ? " entry" : ""),
                     "CONSULTAR " + kAll);
        QCOMPARE(stored("nombre"), "Diez,Dos");
        static_cast<ClubMaintenanceWindow*>(w())->load(); // the next opening starts in consultation
        QCOMPARE(state(), "CONSULTA " + kAll);
    }

    void deletion_data()
    {
        QTest::addColumn<int>("clubs");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QStringList>("left"); // as many as there were: the question answered No
        QTest::addColumn<QString>("shown");    // the selected entry and the fields
        QTest::newRow("the first") << 3 << 0 << QStringList{"2", "7"} << "2 2|Dos|Teruel";
        // No entry stands at its place: the fields keep the deleted club, nothing is selected.
        QTest::newRow("the last") << 3 << 2 << QStringList{"10", "2"} << "(none) 7|Siete|Avila";
        QTest::newRow("the only one") << 1 << 0 << QStringList{} << "(none) ||";
        QTest::newRow("answered No") << 3 << 1 << QStringList{"10", "2", "7"} << "2 2|Dos|Teruel";
    }
    void deletion()
    {
        QFETCH(int, clubs);
        QFETCH(int, chosen);
        QFETCH(QStringList, left);
        QFETCH(QString, shown);
        QVERIFY(open<ClubMaintenanceWindow>(kThree.mid(0, clubs)));
        select(chosen);
        Messages::script(left.size() < clubs ? Messages::Answer::Yes : Messages::Answer::No);
        trigger("ps2");
        QCOMPARE(listed(), left);
        QCOMPARE(selected() + u' ' + fields(), shown);
        QCOMPARE(state(), left.isEmpty() ? "CONSULTAR ps1 ps6" : "CONSULTAR " + kAll);
        QCOMPARE(stored(), left.join(u','));
    }

    // Two clubs share the code 7, one stored with blanks: each operation acts on the entry chosen.
    void twoClubsWithOneCode()
    {
        QVERIFY(open<ClubMaintenanceWindow>({{" 7 ", "Norte", "Leon"}, {"10", "Diez", "Soria"}}));
        add({"7", "D'Or", "Cadiz"});
        QCOMPARE(listed(), (QStringList{"7", "10", "7"}));
        trigger("ps4");
        put("Text7", "d'o");
        QTest::keyClick(text("Text7"), Qt::Key_Return);
        QCOMPARE(fields(), "7|D'Or|Cadiz");
        keys(QKeySequence("Ctrl+3"));
        put("Text3", "Sur");
        click("Command1");
        QCOMPARE(stored("provincia"), "Leon,Soria,Sur");
        QTest::keyClick(list(), Qt::Key_Up);
        QTest::keyClick(list(), Qt::Key_Up);
        QCOMPARE(fields(), "7|Norte|Leon");
        Messages::script(Messages::Answer::Yes);
        keys(QKeySequence("Ctrl+2"));
        QCOMPARE(stored("nombre"), "Diez,D'Or");
    }

    void search_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byName");
        QTest::addColumn<QString>("found"); // "": not found
        QTest::addColumn<QKeySequence>("closedBy");
        QTest::newRow("7 finds 7") << "7" << false << "7" << QKeySequence(Qt::Key_Return);
        QTest::newRow("4 finds the code stored with blanks")
            << "4" << false << " 4" << QKeySequence(Qt::Key_Return);
        QTest::newRow("1 does not find 10") << "1" << false << "" << QKeySequence(Qt::Key_Escape);
        QTest::newRow("San finds san blas") << "San" << true << "7" << QKeySequence(Qt::Key_Return);
        QTest::newRow("name not found") << "Sant Joan" << true << "" << QKeySequence("Ctrl+3");
    }
    void search()
    {
        QFETCH(QString, typed);
        QFETCH(bool, byName);
        QFETCH(QString, found);
        QFETCH(QKeySequence, closedBy);
        QVERIFY(open<ClubSearchWindow>({{"10", "Real Club", "Soria"},
                                        {"2", "SAN ROQUE", "Cadiz"},
                                        {"7", "san blas", "Soria"},
                                        {" 4", "Cuatro", "Leon"}}));
        if (byName)
            QTest::mouseClick(child<QRadioButton>(w(), "Option2"), Qt::LeftButton);
        QTRY_VERIFY(list()->hasFocus());
        QCOMPARE(listed(), (byName ? QStringList{" 4", "10", "7", "2"} : QStringList{"2", " 4", "7", "10"}));
        keys(QKeySequence("Ctrl+1"));
        QTRY_VERIFY(text("Text1")->hasFocus());
        if (found.isEmpty())
            Messages::script(Messages::Answer::Ok);
        QTest::keyClicks(text("Text1"), typed);
        QTest::keyClick(text("Text1"), Qt::Key_Return);
        QCOMPARE(selected(), found.isEmpty() ? listed().first() : found);
        QCOMPARE(child<QWidget>(w(), "Frame1")->isVisible(), found.isEmpty());
        if (found.isEmpty()) {
            QCOMPARE(Messages::last().text, "No se ha encontrado");
            click("Command2");
        }
        // The code chosen goes back to reception as stored; closing hands back nothing.
        QTest::keySequence(list(), closedBy);
        QVERIFY(!w()->isVisible());
        QCOMPARE(static_cast<ClubSearchWindow*>(w())->chosen().value_or(""), found);
    }
};

QTEST_MAIN(TestClubWindows)
#include "test_club_windows.moc"
