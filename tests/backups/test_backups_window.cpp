// Backups through the windows: the copy on opening, before "Borrar Todas" and on the timer; the
// status bar when a copy fails; "Copias de seguridad" listing the copies and restoring one after
// a confirmation.

#include "kit/messages.h"
#include "rules/backups/copies.h"
#include "support/failing_disk.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/backups/backups_window.h"
#include "windows/reception/reception_window.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

using guitest::child;

class TestBackupsWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }
    QString copiesFolder() const { return path("Copias de seguridad"); }
    std::size_t copyCount() const { return backups::copiesOf(m_state.dbPath).size(); }

    std::unique_ptr<MainWindow> openMain() { return guitest::openMain(m_state); }

    // Every row of the copies' list: date, time, cages, score rows.
    static QStringList rows(QTreeWidget* list)
    {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList columns;
            for (int c = 0; c < list->columnCount(); ++c)
                columns << list->topLevelItem(i)->text(c);
            texts << columns.join(u'|');
        }
        return texts;
    }

    static QString listed(const backups::Copy& copy, int cages, int scores)
    {
        const QString second = copy.sequence > 1 ? QStringLiteral(" (%1)").arg(copy.sequence) : QString();
        return QStringList{copy.taken.toString("dd/MM/yyyy"), copy.taken.toString("HH:mm:ss") + second,
                           QString::number(cages), QString::number(scores)}
            .join(u'|');
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = AppState{};
        m_state.programFolder = m_dir->path();
        m_state.dbPath = path("expo.mdb");
        store::Database db = store::Database::create(m_state.dbPath, store::schema::exhibition());
        fixtures::addRow(db, "Config", {{"nombre", "Regional 2026"}, {"region", "Castilla"}, {"jueces", 3}});
        for (int cage = 1; cage <= 3; ++cage) {
            fixtures::addBird(db, cage, "A", "M");
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(db, QString::number(cage), juez, 88 + juez);
        }
        guitest::startScripting();
    }

    void cleanup() { VERIFY_SCRIPTED(); }

    // The item sits in the first menu, above "salir": no menu is renumbered.
    void theMenuItemOpensTheListOfCopies()
    {
        auto main = openMain();
        QVERIFY(main);
        QStringList items;
        for (QAction* action : child<QMenu>(main.get(), "menuRecepcion")->actions())
            items << (action->isSeparator() ? "-" : action->text());
        QCOMPARE(items, (QStringList{"Recepcion", "Copias de seguridad", "-", "salir"}));

        // The opening took a copy; another program's change and the timer take another.
        QCOMPARE(copyCount(), std::size_t(1));
        fixtures::addBird(store::Database::open(m_state.dbPath, store::schema::exhibition()), 4, "B", "H");
        QTimer* timer = child<QTimer>(main.get(), "copiasTimer");
        QCOMPARE(timer->interval(), 10 * 60 * 1000);
        timer->start(20);
        QTRY_COMPARE(copyCount(), std::size_t(2));
        QTest::qWait(200); // nothing changed since: no more copies
        QCOMPARE(copyCount(), std::size_t(2));

        // A damaged copy is listed as such.
        QVERIFY(QFile::copy(
            QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath("damaged/copia-pagina-a-ceros.mdb"),
            QDir(copiesFolder()).filePath("expo 2020-01-01 10.00.00.mdb")));
        const std::vector<backups::Copy> copies = backups::copiesOf(m_state.dbPath);
        QStringList shown;
        guitest::whenShown<BackupsWindow>([&](BackupsWindow* window) {
            shown = rows(child<QTreeWidget>(window, "copias"));
            shown << child<QLabel>(window, "carpeta")->text();
            window->reject();
        });
        child<QAction>(main.get(), "actionCopias")->trigger();
        QCOMPARE(shown,
                 (QStringList{listed(copies[0], 4, 9), listed(copies[1], 3, 9), "01/01/2020|10:00:00|dañada|",
                              "Carpeta: " + QDir::toNativeSeparators(copiesFolder())}));
    }

    // "No" changes nothing; "Yes" puts the copy back, copies the state it replaces, reopens the
    // exhibition (its name on the main window, the shared results) and closes the window.
    void restoringAsksThenReplacesTheExhibition()
    {
        auto main = openMain();
        QVERIFY(main);
        const QString opened = failing_disk::dump(m_state.dbPath);
        m_state.mainDb.execute("UPDATE Config SET Nombre = 'Otra'");
        m_state.mainDb.execute("DELETE FROM Recepcion");
        m_state.mainDb.execute("DELETE FROM Puntos");
        const QString mistaken = failing_disk::dump(m_state.dbPath);

        guitest::whenShown<BackupsWindow>([](BackupsWindow* window) {
            Messages::script(Messages::Answer::No);
            child<QPushButton>(window, "restaurar")->click();
            window->reject();
        });
        child<QAction>(main.get(), "actionCopias")->trigger();
        const backups::Copy newest = backups::copiesOf(m_state.dbPath).front();
        QCOMPARE(Messages::last().text,
                 QStringLiteral("¿Desea restaurar la copia del %1 a las %2? La exposición volverá a estar "
                                "como estaba entonces; antes se guardará una copia de como está ahora.")
                     .arg(newest.taken.toString("dd/MM/yyyy"), newest.taken.toString("HH:mm:ss")));
        QCOMPARE(failing_disk::dump(m_state.dbPath), mistaken);

        bool closedItself = false;
        guitest::whenShown<BackupsWindow>([&](BackupsWindow* window) {
            Messages::script(Messages::Answer::Yes);
            Messages::script(Messages::Answer::Ok);
            child<QPushButton>(window, "restaurar")->click();
            closedItself = !window->isVisible();
            if (!closedItself)
                window->reject();
        });
        child<QAction>(main.get(), "actionCopias")->trigger();
        QVERIFY(closedItself);
        QCOMPARE(Messages::last().text,
                 "Copia restaurada. La exposición tiene ahora 3 jaulas y 9 puntuaciones.");
        QCOMPARE(failing_disk::dump(m_state.dbPath), opened);
        QCOMPARE(child<QLabel>(main.get(), "Label1")->text(), "Regional 2026");
        QCOMPARE(m_state.receRs.recordCount() + m_state.puntosRs.recordCount(), 12);
        const std::vector<backups::Copy> copies = backups::copiesOf(m_state.dbPath);
        QCOMPARE(copies.size(), std::size_t(2));
        QCOMPARE(failing_disk::dump(copies.front().path), mistaken);
    }

    // "Borrar Todas" copies the cages before deleting them.
    void deletingEveryCageCopiesThemFirst()
    {
        auto main = openMain();
        QVERIFY(main);
        guitest::whenShown<ReceptionWindow>([](ReceptionWindow* window) {
            Messages::script(Messages::Answer::Yes);
            child<QAction>(window, "p6")->trigger();
            window->reject();
        });
        child<QAction>(main.get(), "actionRecepcion")->trigger();
        QCOMPARE(m_state.mainDb.openRecordset("select * from recepcion").recordCount(), 0);
        const std::vector<backups::Copy> copies = backups::copiesOf(m_state.dbPath);
        QCOMPARE(copies.size(), std::size_t(2));
        QCOMPARE(backups::contentsOf(copies.front().path).cages, 3);
    }

    // A copy that cannot be made is told in the status bar, and the work goes on: the exhibition
    // opens, and "Borrar Todas" deletes.
    void aFailedCopyIsToldInTheStatusBarAndTheWorkGoesOn()
    {
        QFile blocker(copiesFolder()); // a file where the folder of copies should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto main = openMain();
        QVERIFY(main);
        const QString cause = QStringLiteral("No se puede crear la carpeta «%1».")
                                  .arg(QDir::toNativeSeparators(copiesFolder()));
        QLabel* status = child<QLabel>(main.get(), "texto");
        QCOMPARE(status->text(),
                 "No se ha podido hacer la copia de seguridad al abrir la exposición: " + cause);

        guitest::whenShown<ReceptionWindow>([](ReceptionWindow* window) {
            Messages::script(Messages::Answer::Yes);
            child<QAction>(window, "p6")->trigger();
            window->reject();
        });
        child<QAction>(main.get(), "actionRecepcion")->trigger();
        QCOMPARE(m_state.mainDb.openRecordset("select * from recepcion").recordCount(), 0);
        QCOMPARE(status->text(),
                 "No se ha podido hacer la copia de seguridad antes de borrar todas las jaulas: " + cause);

        // Once copies can be made again, the status bar says what it always says.
        QVERIFY(blocker.remove());
        QVERIFY(m_state.backups.take(m_state.mainDb, backups::Occasion::Periodic));
        QCOMPARE(status->text(), "Programa para las Exposiciones Regionales");
    }
};

QTEST_MAIN(TestBackupsWindow)
#include "test_backups_window.moc"
