// The checks before closing and the paper sheets, from the main window's menu.

#include "rules/records/checks.h"
#include "rules/records/paper_checks.h"
#include "support/window_fixture.h"
#include "windows/reception/reception_window.h"
#include "windows/records/paper_check_window.h"
#include "windows/records/show_check_window.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>

using guitest::child;

class TestCheckWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<QDialog>> m_show;

private slots:
    // Three cages, the second without its third judge, the third of a club not in Club.mdb.
    void init()
    {
        m_show = std::make_unique<WindowFixture<QDialog>>();
        for (int cage = 1; cage <= 3; ++cage) {
            fixtures::addBird(m_show->db(), cage, "A", "M",
                              {{"anilla", "1000"}, {"club", cage == 3 ? "9" : "1"}});
            for (int juez = 1; juez <= (cage == 2 ? 2 : 3); ++juez)
                fixtures::addScore(m_show->db(), QString::number(cage), juez, 85 + cage + juez * 0.5);
        }
        m_show->openMain();
    }
    void cleanup() { m_show.reset(); }
    // The rule's lines and count; Enter on the line of a cage opens reception on that cage.
    void showCheckOpensTheCage()
    {
        QStringList shown, expected, selected;
        guitest::whenShown<ShowCheckWindow>([&](ShowCheckWindow* window) {
            auto* list = child<QListWidget>(window, "avisos");
            for (const QListWidgetItem* item : list->findItems("*", Qt::MatchWildcard))
                shown << item->text();
            shown << child<QLabel>(window, "cuenta")->text();
            guitest::whenShown<ReceptionWindow>([&](ReceptionWindow* reception) {
                const QTreeWidgetItem* item = child<QTreeWidget>(reception, "ListView1")->currentItem();
                selected << item->data(0, Qt::UserRole).toString();
                reception->reject();
            });
            list->setCurrentRow(0);
            QTest::keyClick(list, Qt::Key_Return);
            window->reject();
        });
        child<QAction>(m_show->main.get(), "actionComprobar")->trigger();
        for (const records::Warning& warning : records::checkShow(m_show->db(), m_show->path("Club.mdb")))
            expected << warning.text;
        QCOMPARE(shown << selected, expected << records::warningsCount(expected.size()) << "2");
    }

    // Enter marks judge 2's selected row and moves on to the next; the label counts what is left.
    void paperCheckMarksAndMovesOn()
    {
        QString left, current;
        guitest::whenShown<PaperCheckWindow>([&](PaperCheckWindow* window) {
            child<QComboBox>(window, "juez")->setCurrentIndex(1);
            auto* list = child<QTreeWidget>(window, "puntuaciones");
            for (int enter = 0; enter < 2; ++enter)
                QTest::keyClick(list, Qt::Key_Return);
            left = child<QLabel>(window, "quedan")->text();
            current = list->currentItem()->text(0);
            window->reject();
        });
        child<QAction>(m_show->main.get(), "actionComprobarHojas")->trigger();
        QCOMPARE(left + '|' + current, "Juez 2: 1 puntuación sin comprobar|3");
    }
};

QTEST_MAIN(TestCheckWindows)
#include "test_check_windows.moc"
