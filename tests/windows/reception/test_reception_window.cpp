// "Recepcion": a new cage, a change, the scores on opening, deletions, the toolbar, "Buscar".

#include "kit/messages.h"
#include "rules/backups/copies.h"
#include "store/write_fault.h"
#include "support/window_fixture.h"
#include "windows/reception/reception_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using guitest::told;

class TestReceptionWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<ReceptionWindow>> m_f;

    QString stored(const QString& fields, const QString& where = {}) const
    {
        QStringList values;
        for (const QString& field : fields.split(u' '))
            values << m_f->column("select * from recepcion " + where + " order by jaula", field);
        return values.join(u'|');
    }
    void addBirds(std::initializer_list<int> cages) const
    {
        for (int cage : cages)
            fixtures::addBird(m_f->db(), cage, "A", "M");
    }
    void addScores() const // cage 7: three judges, 17: three, 20: one
    {
        for (int juez = 1; juez <= 3; ++juez) {
            fixtures::addScore(m_f->db(), "7", juez, 87.5 + juez);
            fixtures::addScore(m_f->db(), "17", juez, 89);
        }
        fixtures::addScore(m_f->db(), "20", 1, 90);
        addBirds({7, 17, 20});
    }

private slots:
    void init() { m_f = std::make_unique<WindowFixture<ReceptionWindow>>(); }

    void cleanup() { m_f.reset(); }

    // A new cage: proposed, stored as reception::toRecord gives it (a group D category typed as a
    // digit), and listed in its place; a cage in use refused is the keyboard table's.
    void newCageCheckedStoredAndListed()
    {
        addBirds({10, 2, 1, 30, 3, 4, 5, 6, 7, 8, 9});
        m_f->show();
        QCOMPARE(m_f->listed(), "1,2,3,4,5,6,7,8,9,10,30");
        m_f->press("p1");
        QCOMPARE(m_f->text("Text1"), "12");                     // the count plus one
        QVERIFY(!m_f->w<QPushButton>("Command1")->isEnabled()); // until the cage box has been left
        for (const QString& typed :
             {"Text1=11", "Text7=Juan Garcia", "Text9=d", "Text4=3", "Text14=12", "Text16=1,375"})
            m_f->enter(qPrintable(typed.section(u'=', 0, 0)), typed.section(u'=', 1));
        m_f->w<QComboBox>("Combo1")->setCurrentText("Hembra");
        m_f->press("Command1");
        QCOMPARE(stored("sexo nombre grupo categ conc coef puntos termina", "where jaula = 11") + "|" +
                     fixtures::lastOrigin(m_f->state.dbPath),
                 "H|Juan Garcia|D|C|12|1,375|0|N|Recepción");
        QCOMPARE(m_f->listed(), "1,2,3,4,5,6,7,8,9,10,11,30");
    }

    // A change cannot write into another cage, acts on the bird selected of two in one cage (the
    // import may store them) and keeps the list's position.
    void aChangeKeepsTheListPositionAndItsBird()
    {
        for (int cage = 1; cage <= 7; ++cage)
            fixtures::addBird(m_f->db(), std::min(cage, 6) * 2, "A", "M",
                              {{"anilla", "R" + QString::number(cage)}});
        m_f->show();
        m_f->select(6);
        QCOMPARE(m_f->text("Text2"), "R7");
        m_f->press("p3");
        QVERIFY(m_f->w("Text1")->isReadOnly());
        guitest::type(m_f->w("Text2"), "NUEVA");
        m_f->press("Command1");
        QCOMPARE(stored("anilla") + " " + QString::number(m_f->list()->currentIndex().row()),
                 "R1,R2,R3,R4,R5,R6,NUEVA 6");
        QVERIFY(!m_f->w("Text1")->isReadOnly());
    }

    // Opening brings every final score up to date; a deletion asks, then takes the cage, and the
    // shared results are read again; "Borrar Todas" asks, copies the show and takes every cage.
    void scoresOnOpeningAndDeletions()
    {
        addScores();
        m_f->show();
        QCOMPARE(stored("puntos termina"), "89,5,89,90|S,S,N");
        QCOMPARE(m_f->text("Text10") + m_f->w<QLabel>("Label12")->text(), "89,50Puntuacion Terminada");
        m_f->select(1);
        Messages::script(Messages::Answer::Yes);
        m_f->press("p2");
        QCOMPARE(told(), "Atención: ¿Desea Borrar la Jaula?");
        QCOMPARE(stored("jaula") + "/" + m_f->listed() + "/" + m_f->text("Text1"), "7,20/7,20/20");
        QCOMPARE(m_f->state.receRs.recordCount() + m_f->state.puntosRs.recordCount(), 6);
        Messages::script(Messages::Answer::Yes);
        m_f->press("p6");
        QCOMPARE(told(), "Atención: ¿Desea Borrar Todas las Jaulas ?");
        QCOMPARE(stored("jaula") + m_f->column("select * from puntos", "jaula") + "/" + m_f->listed() + "/" +
                     fixtures::lastOrigin(m_f->state.dbPath),
                 "//Recepción");
        QCOMPARE(backups::contentsOf(backups::copiesOf(m_f->state.dbPath).at(0).path).cages, 2);
    }

    // A disk that refuses the opening's scores: an "Aviso" says why, nothing of the pass is kept,
    // the cages are still listed, and the next reload stores them once the disk takes writes.
    void scoresThatCannotBeWrittenAreToldAndTheListKept()
    {
        addScores();
        {
            const store::WriteFault fault(2, store::WriteFault::Kind::DiskFull);
            Messages::script(Messages::Answer::Ok);
            m_f->show();
            QVERIFY(fault.fired());
        }
        QCOMPARE(told(), "Aviso: No queda espacio en el disco para guardar «expo.mdb». No se ha guardado "
                         "ninguna puntuación.");
        QCOMPARE(stored("puntos termina") + "/" + m_f->listed(), "0,0,0|N,N,N/7,17,20");
        m_f->window->load();
        QCOMPARE(stored("puntos termina"), "89,5,89,90|S,S,N");
    }

    // No command during an entry, whatever real box comes and goes or window is activated (activar);
    // "6 Borrar Todas" follows the list at each reload.
    void toolbarStates_data()
    {
        QTest::addColumn<int>("cages");     // received before opening: 1 to cages
        QTest::addColumn<QString>("steps"); // done in order
        QTest::addColumn<QString>("tools"); // "p1" to "p6", 1 enabled; the legend's labels
        const auto row = [](const char* name, int cages, const char* steps, const char* tools) {
            QTest::newRow(name) << cages << steps << tools;
        };
        row("opened without cages", 0, "", "100010|100010");
        row("first cage stored: 6 on at once", 0, "p1 aceptar", "111111|111111");
        row("new cage, a box", 3, "p1 existente", "000000|000000");
        row("change, activated", 3, "p3 activar", "000000|000000");
        row("last cage deleted: 6 unchanged", 1, "p2", "100011|100001");
        row("last cage deleted, then activated", 1, "p2 activar", "100010|100000");
    }
    void toolbarStates()
    {
        QFETCH(int, cages);
        QFETCH(QString, steps);
        for (int cage = 1; cage <= cages; ++cage)
            fixtures::addBird(m_f->db(), cage, "A", "M");
        ReceptionWindow* window = m_f->show();
        QStringList seen;
        guitest::answerRealBoxes(&seen, window);
        QWidget elsewhere;
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step == "aceptar") {
                guitest::tab(m_f->w("Text1"));
                m_f->press("Command1");
            } else if (step == "existente") {
                guitest::type(m_f->w("Text1"), "1");
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QTRY_COMPARE(seen.size(), 1);
            } else if (step == "activar") {
                QVERIFY(guitest::showActive(&elsewhere));
            } else {
                m_f->press(qPrintable(step));
            }
            QVERIFY(guitest::showActive(window));
        }
        QTEST(
            guitest::enabled(window, {"p1", "p2", "p3", "p4", "p5", "p6"}) + '|' +
                guitest::enabled(window, {"legend1", "legend2", "legend3", "legend4", "legend5", "legend6"}),
            "tools");
    }

    // F2 sets the selected bird's status through its box, named in the history as the reception's;
    // the list shows it.
    void f2SetsTheStatus()
    {
        addBirds({3, 5});
        m_f->show();
        QCOMPARE(m_f->w<QLabel>("labelEstado")->text(), "F2 Estado");
        m_f->select(1);
        QTimer::singleShot(0, [] {
            QWidget* box = QApplication::activeModalWidget();
            box->findChild<QComboBox*>("estado")->setCurrentText("Descalificada");
            box->findChild<QLineEdit*>("motivo")->setText("Ala cortada");
            box->findChild<QPushButton*>("aceptar")->click();
        });
        QTest::keyClick(m_f->list(), Qt::Key_F2);
        QCOMPARE(guitest::rows(m_f->list()).join(','),
                 "3|||Macho||A| |Presente,5|||Macho||A| |Descalificada: Ala cortada");
        store::Statement origin = m_f->db().query("SELECT origen FROM Historial WHERE campo = 'estado'");
        QVERIFY(origin.step());
        QCOMPARE(origin.text(0), "Recepción");
    }

    // "Buscar" selects the cage typed, with blanks and zeros; one not there is told.
    void buscarSelectsTheCage()
    {
        addBirds({1, 7, 30});
        m_f->show();
        Messages::scriptText(" 030 ");
        m_f->press("p4");
        QCOMPARE(m_f->text("Text1"), "30");
        Messages::scriptText("31");
        Messages::script(Messages::Answer::Ok);
        m_f->press("p4");
        QCOMPARE(m_f->text("Text1") + ' ' + Messages::last().text, "30 No se ha encontrado");
    }
};

QTEST_MAIN(TestReceptionWindow)
#include "test_reception_window.moc"
