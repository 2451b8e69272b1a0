// "Puntuacion de los Jueces": a cage's rows and final score, a row entered, changed, deleted.

#include "kit/messages.h"
#include "rules/records/statuses.h"
#include "support/window_fixture.h"
#include "windows/judging/judging_window.h"

#include <QLabel>
#include <QPushButton>

using guitest::told;

class TestJudgingWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<JudgingWindow>> m_f;

    QString keys() const { return guitest::enabled(m_f->window.get(), {"p1", "p2", "p3", "p4", "p5", "p6"}); }
    QString scored(const QString& cage, const QString& field = "juez") const
    {
        return m_f->column("select * from puntos where jaula = '" + cage + "' order by juez", field);
    }

    // Cage 12: group A, no scores. Cage 7: group D. Cage 5: judges 1 to 3 with totals 88,50,
    // 91,25 and 90,00. Cage 9: judges 1 and 2. The window shown, on the cage when one is given.
    void open(int jueces = 3, bool media = false, const QString& cage = {})
    {
        m_f = std::make_unique<WindowFixture<JudgingWindow>>(jueces, media);
        for (const auto& [cage, grupo, sexo] :
             {std::tuple{12, "A", "M"}, {7, "D", "H"}, {5, "B", "H"}, {9, "C", "M"}, {14, "A", "H"}})
            fixtures::addBird(m_f->db(), cage, grupo, sexo, {{"anilla", "1234567"}});
        records::setStatus(m_f->db(), 14, {}, records::Status::Ausente, {});
        for (const auto& [cage, juez, total] :
             {std::tuple{"5", 1, 88.5}, {"5", 2, 91.25}, {"5", 3, 90.0}, {"9", 1, 88.0}, {"9", 2, 89.0}})
            fixtures::addScore(m_f->db(), cage, juez, total);
        m_f->show();
        if (!cage.isEmpty())
            m_f->enter("Text1", cage);
    }

    // "Grabar" for the cage shown: the judge, then the first scores, typed box by box.
    void grabar(const QString& judge, const QStringList& scores) const
    {
        m_f->press("p1");
        m_f->enter("Text3", judge);
        for (int i = 0; i < scores.size(); ++i)
            m_f->enter(qPrintable(QString("Text%1").arg(4 + i)), scores[i]);
    }

private slots:
    void cleanup() { m_f.reset(); }

    // With no judges configured it says so and the cage box stays locked.
    void noJudgesConfigured()
    {
        m_f = std::make_unique<WindowFixture<JudgingWindow>>(0, false);
        Messages::script(Messages::Answer::Ok);
        m_f->show();
        QCOMPARE(told(), "Aviso: No Hay Jueces en la Configuración,debes poner al menos Uno");
        QVERIFY(m_f->w("Text1")->isReadOnly());
    }

    // Cage 5 listed in the criterion's order with its final score; closing stores it only when the
    // cage has exactly the configured number of rows, and not after "Otra Jaula".
    void finalScoreShownAndStoredOnClosing_data()
    {
        QTest::addColumn<QString>("key"); // pressed before closing
        QTest::addColumn<bool>("media");
        QTest::addColumn<int>("jueces");
        QTest::addColumn<QString>("shown");    // judges as listed | final score
        QTest::addColumn<QString>("expected"); // stored: termina | puntos
        QTest::newRow("average, Esc") << "Esc" << true << 3 << "1,2,3|89,92" << QString("S|89,92");
        QTest::newRow("fewer rows than judges, Salir")
            << "p6" << false << 4 << "2,3,1|90,00" << QString("N|0");
        QTest::newRow("Otra Jaula first") << "p5" << false << 3 << "2,3,1|90,00" << QString("N|0");
    }
    void finalScoreShownAndStoredOnClosing()
    {
        QFETCH(QString, key);
        QFETCH(bool, media);
        QFETCH(int, jueces);
        open(jueces, media, "5");
        QTEST(m_f->listed() + "|" + m_f->text("Text2"), "shown");
        if (key == "Esc")
            QTest::keyClick(m_f->list(), Qt::Key_Escape);
        else
            m_f->press(qPrintable(key));
        m_f->window->close();
        const QString bird = "select * from recepcion where jaula = 5";
        QTEST(m_f->column(bird, "termina") + "|" + m_f->column(bird, "puntos"), "expected");
    }

    // A judge refused as its box is left when outside the configured judges (one with a row for
    // the cage already: whileAPhoneScores); a group D bird is not judged.
    void refused_data()
    {
        QTest::addColumn<QString>("cage");
        QTest::addColumn<QString>("judge"); // typed after "Grabar"
        QTest::addColumn<QString>("message");
        QTest::newRow("above the judges")
            << "9" << QString("4") << "El número de juez debe ser un número entero del 1 al 3.";
        QTest::newRow("group D") << "7" << QString() << "El Grupo D no se Puntua ";
        QTest::newRow("an absent bird") << "14" << QString("1") << "Paloma ausente";
    }
    void refused()
    {
        QFETCH(QString, cage);
        QFETCH(QString, judge);
        open();
        Messages::script(Messages::Answer::Ok);
        m_f->enter("Text1", cage);
        if (!judge.isEmpty())
            grabar(judge, {});
        QTEST(Messages::last().text, "message");
        QCOMPARE(m_f->text(judge.isEmpty() ? "Text1" : "Text3"), QString());
        QCOMPARE(keys(), judge.isEmpty() ? "000001" : "000000");
    }

    // "012" is cage 12, wherever ReceRs stands. "Aceptar" checks the judge and the boxes again,
    // stores their sum, not the total shown, and keeps the entry on a store error.
    void grabarOnCage012()
    {
        open();
        m_f->state.receRs = m_f->db().openRecordset("select * from recepcion where cstr(jaula) = '99'");
        m_f->enter("Text1", "012");
        QCOMPARE(m_f->w<QLabel>("labelAnilla")->text() + "|" + m_f->w<QLabel>("labelSexo")->text(),
                 "1234567|Macho");
        m_f->press("p1");
        guitest::type(m_f->w("Text3"), "4");
        Messages::script(Messages::Answer::Ok);
        m_f->press("Command1"); // the judge is checked again, before the scores
        QCOMPARE(told(), "Aviso: El número de juez debe ser un número entero del 1 al 3.");
        QApplication::processEvents();                                      // as the message box would
        QTest::mouseClick(m_f->w<QPushButton>("Command2"), Qt::LeftButton); // leaving the box is no refusal

        grabar("1", {"8,5", "9", "18", "28"}); // the last box never entered: it shows 0,00
        Messages::script(Messages::Answer::Ok);
        m_f->press("Command1");
        QCOMPARE(told(), "Aviso: Puntuacion Erronea ");
        QTRY_VERIFY(m_f->w("Text8")->hasFocus());

        guitest::type(m_f->w("Text8"), "27,5");
        m_f->w("Text9")->setText("95,00");
        m_f->db().execute(
            "CREATE TEMP TRIGGER refuse BEFORE INSERT ON Puntos BEGIN SELECT RAISE(ABORT, 'lleno'); END");
        Messages::script(Messages::Answer::Ok);
        m_f->press("Command1");
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(m_f->text("Text3") + "|" + m_f->text("Text8") + "|" + scored("12"), "1|27,50|");
        m_f->db().execute("DROP TRIGGER refuse");
        QTest::mouseClick(m_f->w<QPushButton>("Command1"), Qt::LeftButton); // the cage stays shown
        QCOMPARE(m_f->text("Text1") + "|" + keys(), "012|111111");
        QCOMPARE(scored("12", "puntos5") + "|" + scored("12", "puntost") + "|" + scored("12", "grupo") + "|" +
                     fixtures::lastOrigin(m_f->state.dbPath),
                 "27,5|91|A|Puntuación");
    }

    // Borrar, Grabar while the cage has fewer rows than judges, and Modificar of the selected row,
    // its scores as typed; without a row selected nothing is asked. The next cage shows its own.
    void rowsOfACage()
    {
        open(3, false, "5");
        QCOMPARE(keys(), "011111");
        m_f->list()->clearSelection();
        m_f->press("p2");
        m_f->press("p3");
        m_f->select(0); // judge 2, the highest total
        Messages::script(Messages::Answer::Yes);
        m_f->press("p2");
        QCOMPARE(told(), "Atención: ¿Desea Borrar la Puntuacion de este Juez?");
        QCOMPARE(scored("5") + "|" + m_f->listed() + "|" + keys(), "1,3|3,1|111111");
        grabar("2", {"8,555", "8,555", "19", "29", "29"});
        QCOMPARE(keys(), "000000");
        m_f->press("Command1");
        QCOMPARE(scored("5", "puntost") + "|" + keys(), "88,5,94,11,90|011111");
        m_f->select(0);
        m_f->press("p3"); // what the judge wrote, as typed; the list rounds to the cent
        QVERIFY(m_f->w("Text3")->isReadOnly());
        QCOMPARE(m_f->text("Text3") + "|" + m_f->text("Text4") + "|" + m_f->text("Text9") + "|" +
                     guitest::rows(m_f->list())[0],
                 "2|8,555|94,11|2|8,56|8,56|19,00|29,00|29,00|94,11");
        m_f->enter("Text8", "28,5");
        m_f->press("Command1");
        QCOMPARE(scored("5") + "|" + scored("5", "puntost"), "1,2,3|88,5,93,61,90");
        m_f->press("p5");
        m_f->enter("Text1", "12");
        QCOMPARE(m_f->text("Text2"), "0,00");
    }

    // Judge 3 typed while a phone stores judge 3's row (the phone's path is the server's test):
    // refused as the box is left, and the row listed once the entry is cancelled.
    void aJudgeScoredMeanwhile()
    {
        open(3, false, "9");
        m_f->press("p1");
        guitest::type(m_f->w("Text3"), "3");
        fixtures::addScore(m_f->db(), "9", 3, 90);
        Messages::script(Messages::Answer::Ok);
        guitest::tab(m_f->w("Text3"));
        QCOMPARE(told(), "Aviso: El juez 3 ya tiene puntuada la jaula 9.");
        m_f->press("Command2");
        QCOMPARE(m_f->listed(), "3,2,1");
    }
};

QTEST_MAIN(TestJudgingWindow)
#include "test_judging_window.moc"
