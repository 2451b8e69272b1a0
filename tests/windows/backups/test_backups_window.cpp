// The backups through the windows: the copies taken and listed, a failed copy told, a restore.

#include "kit/messages.h"
#include "rules/backups/copies.h"
#include "support/window_fixture.h"
#include "windows/backups/backups_window.h"
#include "windows/reception/reception_window.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

using guitest::child;

class TestBackupsWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<BackupsWindow>> m_f;

    QString copiesFolder() const { return m_f->path("Copias de seguridad"); }
    std::vector<backups::Copy> copies() const { return backups::copiesOf(m_f->state.dbPath); }
    int cages() const { return m_f->db().openRecordset("select * from recepcion").recordCount(); }

    // A menu item of the main window, and what is done in the window it opens.
    template <class W> void fromMenu(const char* action, std::function<void(W*)> work) const
    {
        guitest::whenShown<W>([work](W* window) {
            work(window);
            if (window->isVisible())
                window->reject();
        });
        child<QAction>(m_f->main.get(), action)->trigger();
    }

private slots:
    // Three cages scored by three judges.
    void init()
    {
        m_f = std::make_unique<WindowFixture<BackupsWindow>>();
        for (int cage = 1; cage <= 3; ++cage) {
            fixtures::addBird(m_f->db(), cage, "A", "M");
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(m_f->db(), QString::number(cage), juez, 88 + juez);
        }
    }

    void cleanup() { m_f.reset(); }

    // The opening takes a copy, the timer another after a change; the list shows each copy, a
    // damaged one as such, and the folder.
    void copiesTakenAndListed()
    {
        m_f->openMain();
        QCOMPARE(copies().size(), std::size_t(1));
        fixtures::addBird(store::Database::open(m_f->state.dbPath, store::schema::exhibition()), 4, "B", "H");
        QTimer* timer = child<QTimer>(m_f->main.get(), "copiasTimer");
        timer->start(20);
        QTRY_COMPARE(copies().size(), std::size_t(2)); // none more while unchanged: the keeper's rule

        QVERIFY(QFile::copy(
            QDir(qEnvironmentVariable("PALOMAS_TEST_DATA")).filePath("damaged/copia-pagina-a-ceros.mdb"),
            QDir(copiesFolder()).filePath("expo 2020-01-01 10.00.00.mdb")));
        QStringList shown;
        fromMenu<BackupsWindow>("actionCopias", [&](BackupsWindow* window) {
            shown = guitest::rows(child<QTreeWidget>(window, "copias"));
            shown << child<QLabel>(window, "carpeta")->text();
        });
        const auto listed = [](const backups::Copy& copy, const char* cages) {
            return copy.taken.toString("dd/MM/yyyy|HH:mm:ss") +
                   (copy.sequence > 1 ? QString(" (%1)").arg(copy.sequence) : "") + "|" + cages + "|9";
        };
        QCOMPARE(shown, (QStringList{listed(copies()[0], "4"), listed(copies()[1], "3"),
                                     "01/01/2020|10:00:00|dañada|",
                                     "Carpeta: " + QDir::toNativeSeparators(copiesFolder())}));
    }

    // "No" changes nothing; "Yes" puts the copy back, copies the state it replaces, reopens the
    // show (its name on the main window, the shared results) and closes the window.
    void restoringAsksThenReplacesTheExhibition()
    {
        m_f->openMain();
        m_f->db().execute("UPDATE Config SET Nombre = 'Otra'");
        m_f->db().execute("DELETE FROM Recepcion");

        fromMenu<BackupsWindow>("actionCopias", [](BackupsWindow* window) {
            Messages::script(Messages::Answer::No);
            child<QPushButton>(window, "restaurar")->click();
        });
        const backups::Copy newest = copies().front();
        QCOMPARE(
            Messages::last().text,
            QString("¿Desea restaurar la copia del %1 a las %2? La exposición volverá a estar como estaba "
                    "entonces; antes se guardará una copia de como está ahora.")
                .arg(newest.taken.toString("dd/MM/yyyy"), newest.taken.toString("HH:mm:ss")));
        QCOMPARE(cages(), 0);

        bool closedItself = false;
        fromMenu<BackupsWindow>("actionCopias", [&](BackupsWindow* window) {
            Messages::script(Messages::Answer::Yes);
            Messages::script(Messages::Answer::Ok);
            child<QPushButton>(window, "restaurar")->click();
            closedItself = !window->isVisible();
        });
        QVERIFY(closedItself);
        QCOMPARE(Messages::last().text,
                 "Copia restaurada. La exposición tiene ahora 3 jaulas y 9 puntuaciones.");
        QCOMPARE(child<QLabel>(m_f->main.get(), "Label1")->text(), "Regional de Castilla");
        QCOMPARE(m_f->state.receRs.recordCount() + m_f->state.puntosRs.recordCount(), 12);
        QCOMPARE(copies().size(), std::size_t(2)); // what the copies hold is their rules' test
    }

    // A copy that cannot be made is told in the status bar until one can, and the work goes on.
    void aFailedCopyIsToldInTheStatusBarAndTheWorkGoesOn()
    {
        QFile blocker(copiesFolder()); // a file where the folder of copies should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        m_f->openMain();
        const QString cause =
            "No se puede crear la carpeta «" + QDir::toNativeSeparators(copiesFolder()) + "».";
        QLabel* status = child<QLabel>(m_f->main.get(), "texto");
        QCOMPARE(status->text(),
                 "No se ha podido hacer la copia de seguridad al abrir la exposición: " + cause);
        fromMenu<ReceptionWindow>("actionRecepcion", [](ReceptionWindow* window) {
            Messages::script(Messages::Answer::Yes);
            child<QAction>(window, "p6")->trigger(); // Borrar Todas
        });
        QCOMPARE(cages(), 0);
        QCOMPARE(status->text(),
                 "No se ha podido hacer la copia de seguridad antes de borrar todas las jaulas: " + cause);
        QVERIFY(blocker.remove());
        QVERIFY(m_f->state.backups.take(m_f->state.mainDb, backups::Occasion::Periodic));
        QCOMPARE(status->text(), "Programa para las Exposiciones Regionales");
    }
};

QTEST_MAIN(TestBackupsWindow)
#include "test_backups_window.moc"
