// The club maintenance and search windows, what they store read back from Club.mdb.

#include "kit/messages.h"
#include "support/window_fixture.h"
#include "windows/clubs/club_maintenance_window.h"
#include "windows/clubs/club_search_window.h"

#include <QLabel>
#include <QRadioButton>

static const QList<QStringList> kThree{
    {"10", "Diez", "Soria"}, {"2", "Dos", "Teruel"}, {"7", "Siete", "Avila"}};

class TestClubWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<QDialog>> m_f; // its window one of the two

    void keys(const char* keys) const { QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys)); }

    // The window over Club.mdb holding these clubs (and no other).
    template <class Window> void open(const QList<QStringList>& clubs)
    {
        m_f->state.clubDb.execute("DELETE FROM club");
        for (const QStringList& club : clubs)
            fixtures::addClub(m_f->state.clubDb, club[0], club[1], club[2]);
        m_f->template show<Window>(nullptr);
    }

    // The status, and which of ps1 to ps4 and ps6 are enabled.
    QString state() const
    {
        return m_f->w<QLabel>("Label1")->text() + ' ' +
               guitest::enabled(m_f->window.get(), {"ps1", "ps2", "ps3", "ps4", "ps6"});
    }

    // The selected entry, or "(none)", and the boxes.
    QString shown() const
    {
        QTreeWidgetItem* item = m_f->list()->currentItem();
        return (item != nullptr && item->isSelected() ? item->text(0) : QStringLiteral("(none)")) + ' ' +
               QStringList{m_f->w("Text1")->text(), m_f->w("Text2")->text(), m_f->w("Text3")->text()}.join(
                   u'|');
    }

    QString stored(const QString& field = QStringLiteral("codigo")) const
    {
        const auto again = store::Database::open(m_f->path("Club.mdb"), store::schema::clubs());
        return fixtures::column(again, QStringLiteral("select * from club"), field);
    }

    void put(const char* box, const QString& value) const { guitest::type(m_f->w(box), value); }

    void add(const QStringList& club) const
    {
        m_f->press("ps1");
        for (int i = 0; i < 3; ++i)
            put(qPrintable(QString("Text%1").arg(i + 1)), club[i]);
        m_f->press("Command1");
    }

private slots:
    void init() { m_f = std::make_unique<WindowFixture<QDialog>>(); }

    void cleanup() { m_f.reset(); }

    // Listed in text order; a change keeps the place in the list, which another club now takes.
    void textOrderAndStates()
    {
        open<ClubMaintenanceWindow>(kThree);
        QCOMPARE(state(), "CONSULTA 11111");
        add({"15", "Quince", "Cuenca"});
        QCOMPARE(m_f->listed() + ' ' + state(), "10,15,2,7 CONSULTAR 11111");
        m_f->press("ps3");
        QCOMPARE(state(), "MODIFICAR 00000");
        put("Text1", "3");
        m_f->press("Command1");
        QCOMPARE(m_f->listed() + ' ' + shown(), "15,2,3,7 15 15|Quince|Cuenca");
        QCOMPARE(state() + ' ' + stored(), "CONSULTAR 11111 3,2,7,15");
    }

    void deletion_data()
    {
        QTest::addColumn<int>("clubs");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("shown"); // the selected entry and the boxes
        QTest::newRow("the first") << 3 << 0 << "2,7" << QString("2 2|Dos|Teruel");
        // No entry stands at its place: the boxes keep the deleted club, nothing is selected.
        QTest::newRow("the last") << 3 << 2 << "10,2" << QString("(none) 7|Siete|Avila");
        QTest::newRow("the only one") << 1 << 0 << "" << QString("(none) ||");
        QTest::newRow("answered No") << 3 << 1 << "10,2,7" << QString("2 2|Dos|Teruel");
    }
    void deletion()
    {
        QFETCH(int, clubs);
        QFETCH(QString, left);
        open<ClubMaintenanceWindow>(kThree.mid(0, clubs));
        QFETCH(int, chosen);
        m_f->select(chosen);
        const bool no = QTest::currentDataTag() == QByteArray("answered No");
        Messages::script(no ? Messages::Answer::No : Messages::Answer::Yes);
        m_f->press("ps2");
        QCOMPARE(m_f->listed() + '/' + stored(), left + '/' + left);
        QTEST(shown(), "shown");
        QCOMPARE(state(), left.isEmpty() ? "CONSULTAR 10001" : "CONSULTAR 11111");
    }

    // Two clubs share the code 7, one stored with blanks: each operation acts on the entry chosen.
    void twoClubsWithOneCode()
    {
        open<ClubMaintenanceWindow>({{" 7 ", "Norte", "Leon"}, {"10", "Diez", "Soria"}});
        add({"7", "D'Or", "Cadiz"});
        QCOMPARE(m_f->listed(), "7,10,7");
        m_f->press("ps4");
        put("Text7", "d'o");
        QTest::keyClick(m_f->w("Text7"), Qt::Key_Return);
        QCOMPARE(shown(), "7 7|D'Or|Cadiz");
        keys("Ctrl+3");
        put("Text3", "Sur");
        m_f->press("Command1");
        QCOMPARE(stored("provincia"), "Leon,Soria,Sur");
        QTest::keyClick(m_f->list(), Qt::Key_Up);
        QTest::keyClick(m_f->list(), Qt::Key_Up);
        Messages::script(Messages::Answer::Yes);
        keys("Ctrl+2");
        QCOMPARE(stored("nombre"), "Diez,D'Or");
    }

    // The search lists by code or by name (what a text finds: the clubs' rules); the code chosen
    // goes back to reception as stored, and closing hands back nothing.
    void search_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byName");
        QTest::addColumn<QString>("found"); // "": not found
        QTest::addColumn<QString>("closedBy");
        QTest::newRow("4 finds the code stored with blanks") << "4" << false << " 4" << QString("Return");
        QTest::newRow("name not found") << "Sant Joan" << true << "" << QString("Ctrl+3");
    }
    void search()
    {
        QFETCH(QString, typed);
        QFETCH(bool, byName);
        QFETCH(QString, found);
        QFETCH(QString, closedBy);
        open<ClubSearchWindow>({{"10", "Real Club", "Soria"},
                                {"2", "SAN ROQUE", "Cadiz"},
                                {"7", "san blas", "Soria"},
                                {" 4", "Cuatro", "Leon"}});
        if (byName)
            QTest::mouseClick(m_f->w<QRadioButton>("Option2"), Qt::LeftButton);
        QTRY_VERIFY(m_f->list()->hasFocus());
        QCOMPARE(m_f->listed(), byName ? " 4,10,7,2" : "2, 4,7,10");
        keys("Ctrl+1");
        if (found.isEmpty())
            Messages::script(Messages::Answer::Ok);
        QTest::keyClicks(m_f->w("Text1"), typed);
        QTest::keyClick(m_f->w("Text1"), Qt::Key_Return);
        QCOMPARE(m_f->list()->currentItem()->text(0),
                 found.isEmpty() ? m_f->listed().section(u',', 0, 0) : found);
        if (found.isEmpty()) {
            QCOMPARE(Messages::last().text, "No se ha encontrado");
            m_f->press("Command2");
        }
        QTest::keySequence(m_f->list(), QKeySequence(closedBy));
        QVERIFY(!m_f->window->isVisible());
        QCOMPARE(static_cast<ClubSearchWindow*>(m_f->window.get())->chosen().value_or(""), found);
    }
};

QTEST_MAIN(TestClubWindows)
#include "test_club_windows.moc"
