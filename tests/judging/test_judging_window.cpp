// The judging window driven offscreen, as the user works it, and the checks below it that the
// window cannot reach.

#include "kit/messages.h"
#include "rules/exhibition/exhibition.h"
#include "rules/judging/judged_cage.h"
#include "store/error.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/judging/judging_window.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using guitest::child;

class TestJudgingWindow : public QObject
{
    Q_OBJECT

    static constexpr const char* boxes[] = {"Text4", "Text5", "Text6", "Text7", "Text8"};

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<JudgingWindow> m_window;
    QString m_path;

    // Cage 12: group A, no scores. Cage 7: group D. Cage 5: judges 1 to 3 with totals 88,50,
    // 91,25 and 90,00. Cage 9: judges 1 and 2.
    void makeExhibition(int jueces, bool media)
    {
        store::Database db = store::Database::create(m_path, store::schema::exhibition());
        fixtures::setConfig(db, jueces, media);
        fixtures::addBird(db, 12, "A", "M", {{"anilla", "1234567"}, {"año", "2024"}, {"color", "Azul"}});
        fixtures::addBird(db, 7, "D", "H");
        fixtures::addBird(db, 5, "B", "H");
        fixtures::addBird(db, 9, "C", "M");
        fixtures::addScore(db, "5", 1, 88.5);
        fixtures::addScore(db, "5", 2, 91.25);
        fixtures::addScore(db, "5", 3, 90);
        fixtures::addScore(db, "9", 1, 88);
        fixtures::addScore(db, "9", 2, 89);
    }

    // The window open on the exhibition, with the cage typed when one is given.
    void openWindow(const QString& cage = {}, int jueces = 3, bool media = false)
    {
        makeExhibition(jueces, media);
        exhibition::open(*m_state, m_path);
        m_window = std::make_unique<JudgingWindow>(*m_state);
        m_window->load();
        QVERIFY(guitest::showActive(m_window.get()));
        if (!cage.isEmpty())
            showCage(cage);
    }

    template <class T = QLineEdit> T* w(const char* name) const { return child<T>(m_window.get(), name); }
    QAction* action(const char* key) const { return w<QAction>(key); }
    QTreeWidget* list() const { return w<QTreeWidget>("ListView1"); }
    QString label(const char* name) const { return w<QLabel>(name)->text(); }
    bool entering() const { return w<QWidget>("Frame6")->isVisible(); }
    void aceptar() { w<QPushButton>("Command1")->click(); }
    QString lastMessage() const { return Messages::last().title + ": " + Messages::last().text; }

    // The toolbar keys enabled, "1" for "p1" to "6" for "p6".
    QString enabledKeys() const
    {
        QString keys;
        for (int k = 1; k <= 6; ++k)
            if (action(qPrintable(QStringLiteral("p%1").arg(k)))->isEnabled())
                keys += QString::number(k);
        return keys;
    }

    // The judges as listed.
    QString listed() const
    {
        QStringList judges;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            judges << list()->topLevelItem(i)->text(0);
        return judges.join(u',');
    }

    // Types in a box and leaves it with Tab, so that its check runs.
    void enter(const char* box, const QString& text)
    {
        w(box)->clear();
        guitest::type(w(box), text);
        guitest::tab(w(box));
    }

    void showCage(const QString& typed) { enter("Text1", typed); }

    // "Grabar" for the cage shown: the judge, then the first scores, typed box by box.
    void grabar(const QString& judge, const QStringList& scores)
    {
        action("p1")->trigger();
        enter("Text3", judge);
        for (int i = 0; i < scores.size(); ++i)
            enter(boxes[i], scores[i]);
    }

    // A field of the cage's rows by judge, read from the file on disk.
    QString scored(const QString& cage, const QString& field = "juez") const
    {
        const QString rows = "select * from puntos where jaula = '" + cage + "' order by juez";
        return fixtures::column(store::Database::open(m_path, store::schema::exhibition()), rows, field);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        m_state->programFolder = m_dir->path();
        m_path = m_dir->filePath("expo.mdb");
        guitest::startScripting();
    }

    void cleanup()
    {
        m_window.reset();
        VERIFY_SCRIPTED();
    }

    // Opened from "2 Puntuacion" with no judges configured: it says so and the cage box stays locked.
    void menuOpensTheWindowWithNoJudges()
    {
        makeExhibition(0, false);
        m_state->dbPath = m_path;
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        Messages::script(Messages::Answer::Ok);
        bool locked = false;
        guitest::whenShown<JudgingWindow>([&locked](JudgingWindow* window) {
            locked = child<QLineEdit>(window, "Text1")->isReadOnly();
            window->close();
        });
        child<QAction>(&main, "actionPuntuacion")->trigger();
        QVERIFY(locked);
        QCOMPARE(lastMessage(), "Aviso: No Hay Jueces en la Configuración,debes poner al menos Uno");
    }

    // Cage 5 listed with its final score by the criterion; closing stores it only when the cage has
    // exactly the configured number of rows.
    void finalScoreShownAndStoredOnClosing_data()
    {
        QTest::addColumn<QString>("key"); // pressed before closing
        QTest::addColumn<bool>("media");
        QTest::addColumn<QString>("shown"); // judges as listed | final score
        QTest::addColumn<int>("jueces");
        QTest::addColumn<QString>("expected"); // stored: termina | puntos
        QTest::newRow("average, Esc") << "Esc" << true << "1,2,3|89,92" << 3 << "S|89,92";
        QTest::newRow("drop, Salir") << "p6" << false << "2,3,1|90,00" << 3 << "S|90";
        QTest::newRow("fewer rows than judges") << "p6" << false << "2,3,1|90,00" << 4 << "N|0";
        QTest::newRow("more rows than judges") << "p6" << false << "2,3,1|90,00" << 2 << "N|0";
        QTest::newRow("Otra Jaula first") << "p5" << false << "2,3,1|90,00" << 3 << "N|0";
    }
    void finalScoreShownAndStoredOnClosing()
    {
        QFETCH(QString, key);
        QFETCH(bool, media);
        QFETCH(QString, shown);
        QFETCH(int, jueces);
        QFETCH(QString, expected);
        openWindow({}, jueces, media);
        QCOMPARE(label("labelJueces"), QStringLiteral("Nº de Jueces %1").arg(jueces));
        QCOMPARE(label("labelCriterio"),
                 media ? "Hacer la Media de los Jueces" : "Quitar la Puntuacion Mayor y la Menor ");
        QCOMPARE(enabledKeys(), "6");
        showCage("5");
        QCOMPARE(listed() + "|" + w("Text2")->text(), shown);
        if (key == "Esc")
            QTest::keyClick(list(), Qt::Key_Escape);
        else
            action(qPrintable(key))->trigger();
        m_window->close();
        QVERIFY(!m_window->isVisible());
        const auto bird = m_state->mainDb.openRecordset("select * from recepcion where jaula = 5");
        QCOMPARE(bird.text("termina") + "|" + bird.text("puntos"), expected);
    }

    void groupDIsNotScored()
    {
        Messages::script(Messages::Answer::Ok);
        openWindow("7");
        QCOMPARE(lastMessage(), "Aviso: El Grupo D no se Puntua ");
        QCOMPARE(w("Text1")->text() + label("labelGrupo"), QString());
        QTRY_VERIFY(w("Text1")->hasFocus());
        QCOMPARE(enabledKeys(), "6");
    }

    // "012" means cage 12, found even when reception left ReceRs on another cage. "Aceptar" checks
    // the judge and the five boxes again, stores their sum, not the total shown, and keeps the entry
    // on a store error. Ending an entry with the mouse leaves the cage shown.
    void grabarOnCage012()
    {
        openWindow();
        m_state->receRs = m_state->mainDb.openRecordset("select * from recepcion where cstr(jaula) = '99'");
        showCage("012");
        QCOMPARE(label("labelAnilla") + "|" + label("labelSexo"), "1234567|Macho");
        action("p1")->trigger();
        guitest::type(w("Text3"), "4");
        Messages::script(Messages::Answer::Ok);
        aceptar(); // the judge is checked again, before the scores
        QCOMPARE(lastMessage(), "Aviso: El número de juez debe ser un número entero del 1 al 3.");
        QApplication::processEvents(); // as the message box would
        QVERIFY(w("Text3")->hasFocus());
        QTest::mouseClick(w<QPushButton>("Command2"), Qt::LeftButton); // leaving the box is no refusal
        QVERIFY(!entering());

        grabar("1", {"8,5", "9", "18", "28"}); // the last box never entered: it shows 0,00
        Messages::script(Messages::Answer::Ok);
        aceptar();
        QCOMPARE(lastMessage(), "Aviso: Puntuacion Erronea ");
        QTRY_VERIFY(w("Text8")->hasFocus());

        guitest::type(w("Text8"), "27,5");
        w("Text9")->setText("95,00");
        m_state->mainDb.execute("CREATE TEMP TRIGGER refuse_scores BEFORE INSERT ON Puntos "
                                "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
        Messages::script(Messages::Answer::Ok);
        aceptar();
        QCOMPARE(Messages::last().title, "Aviso");
        QVERIFY(entering());
        QCOMPARE(w("Text3")->text() + "|" + w("Text8")->text(), "1|27,50");
        QCOMPARE(scored("12"), QString());

        m_state->mainDb.execute("DROP TRIGGER refuse_scores");
        QTest::mouseClick(w<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(!entering());
        QApplication::processEvents();
        QCOMPARE(w("Text1")->text() + "|" + label("labelGrupo"), "012|A");
        QVERIFY(!w("Text1")->hasFocus());
        QCOMPARE(enabledKeys(), "123456");
        QCOMPARE(scored("12", "puntos5") + "|" + scored("12", "puntost"), "27,5|91");
        QCOMPARE(scored("12", "grupo") + "|" + scored("12", "categ"), "A| ");
    }

    void scoreBounds_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("box");       // 0 to 4
        QTest::addColumn<QString>("shown"); // 0,00: refused
        QTest::newRow("8 in box 1") << "8" << 0 << "8,00";
        QTest::newRow("9 in box 2") << "9" << 1 << "9,00";
        QTest::newRow("17 in box 3") << "17" << 2 << "17,00";
        QTest::newRow("19 in box 3") << "19" << 2 << "19,00";
        QTest::newRow("27 in box 4") << "27" << 3 << "27,00";
        QTest::newRow("29 in box 5") << "29" << 4 << "29,00";
        QTest::newRow("7,99 in box 1") << "7,99" << 0 << "0,00";
        QTest::newRow("9,01 in box 1") << "9,01" << 0 << "0,00";
        QTest::newRow("9,5 in box 2") << "9,5" << 1 << "0,00";
        QTest::newRow("16,99 in box 3") << "16,99" << 2 << "0,00";
        QTest::newRow("29,01 in box 5") << "29,01" << 4 << "0,00";
        QTest::newRow("empty box 4") << "" << 3 << "0,00";
        QTest::newRow("above 9 though shown as 9,00") << "9,004" << 0 << "0,00";
    }
    void scoreBounds()
    {
        QFETCH(QString, typed);
        QFETCH(int, box);
        QFETCH(QString, shown);
        const bool refused = shown == "0,00";
        openWindow("12");
        action("p1")->trigger();
        guitest::type(w("Text3"), "1");
        if (refused)
            Messages::script(Messages::Answer::Ok);
        enter(boxes[box], typed);
        QCOMPARE(w(boxes[box])->text(), shown);
        if (refused)
            QCOMPARE(lastMessage(), "Aviso: Puntuacion Erronea ");
        QTRY_COMPARE(w(boxes[box])->hasFocus(), refused);
    }

    void judgeNumberRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString range = "El número de juez debe ser un número entero del 1 al 3.";
        const QString taken = "El juez 2 ya tiene puntuada la jaula 9.";
        QTest::newRow("above the judges") << "4" << range;
        QTest::newRow("zero") << "0" << range;
        QTest::newRow("not whole") << "1,5" << range;
        QTest::newRow("empty") << "" << range;
        QTest::newRow("judge already listed") << "2" << taken;
        QTest::newRow("listed judge with a leading zero") << "02" << taken;
    }
    void judgeNumberRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        openWindow("9");
        Messages::script(Messages::Answer::Ok);
        grabar(typed, {});
        QCOMPARE(lastMessage(), "Aviso: " + message);
        QCOMPARE(w("Text3")->text(), QString());
        QTRY_VERIFY(w("Text3")->hasFocus());
    }

    // Grabar while the cage has fewer rows than judges; Borrar and Modificar on the selected row.
    void rowsOfACage()
    {
        openWindow("5");
        QCOMPARE(enabledKeys(), "23456");
        list()->clearSelection();
        action("p2")->trigger(); // no question: the test would fail on one
        action("p3")->trigger();
        QVERIFY(!entering());

        list()->setCurrentItem(list()->topLevelItem(0)); // judge 2, the highest total
        Messages::script(Messages::Answer::No);
        action("p2")->trigger();
        QCOMPARE(lastMessage(), "Atención: ¿Desea Borrar la Puntuacion de este Juez?");
        QCOMPARE(scored("5"), "1,2,3");
        Messages::script(Messages::Answer::Yes);
        action("p2")->trigger();
        QCOMPARE(scored("5") + "|" + listed(), "1,3|3,1");
        QCOMPARE(enabledKeys(), "123456");

        grabar("2", {"9", "9", "19", "29", "29"});
        QCOMPARE(enabledKeys(), QString());
        aceptar();
        QCOMPARE(scored("5", "puntost"), "88,5,95,90");
        QCOMPARE(enabledKeys(), "23456");

        list()->setCurrentItem(list()->topLevelItem(0)); // judge 2 again
        action("p3")->trigger();
        QVERIFY(w("Text3")->isReadOnly());
        QCOMPARE(w("Text3")->text() + "|" + w("Text8")->text() + "|" + w("Text9")->text(), "2|29,00|95,00");
        enter("Text8", "28,5");
        aceptar();
        QCOMPARE(scored("5") + "|" + scored("5", "puntost"), "1,2,3|88,5,94,5,90");

        action("p5")->trigger(); // the next cage does not show this one's score
        showCage("12");
        QCOMPARE(w("Text2")->text(), "0,00");
    }

    // The check behind "Aceptar", on entries that the boxes, checked as they are left, rarely hand
    // it.
    void checkEntry_data()
    {
        QTest::addColumn<QString>("juez");
        QTest::addColumn<int>("jueces");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("the first refused box")
            << "3" << 3 << QStringList{"8", "9,5", "16", "28", "28"} << "box 2: Puntuacion Erronea ";
        QTest::newRow("partials as typed, their sum rounded")
            << "1" << 3 << QStringList{"8,333", "8,333", "17,333", "27", "27"} << "judge 1: 88";
        QTest::newRow("8,555 twice: 88,11, not the sum of 8,56 twice")
            << "1" << 3 << QStringList{"8,555", "8,555", "17", "27", "27"} << "judge 1: 88.11";
        QTest::newRow("one judge configured")
            << "2" << 1 << QStringList{"8", "8", "17", "27", "27"}
            << "box 0: El número de juez debe ser 1: la exposición tiene un solo juez.";
    }
    void checkEntry()
    {
        QFETCH(QString, juez);
        QFETCH(int, jueces);
        QFETCH(QStringList, scores);
        QFETCH(QString, outcome);
        makeExhibition(3, false);
        const judging::JudgeEntry entry{juez, {scores[0], scores[1], scores[2], scores[3], scores[4]}};
        const auto checked = judging::checkEntry(store::Database::open(m_path, store::schema::exhibition()),
                                                 12, judging::EntryMode::New, entry, jueces);
        const auto* row = std::get_if<judging::JudgeScores>(&checked);
        const auto* problem = std::get_if<judging::EntryProblem>(&checked);
        QCOMPARE(row ? QStringLiteral("judge %1: %2").arg(row->juez).arg(row->puntost)
                     : QStringLiteral("box %1: %2").arg(problem->box).arg(problem->message),
                 outcome);
    }

    // What the judge wrote is stored: the boxes keep the value typed, the total is their sum rounded
    // to the cent; a change of the row that touches nothing keeps it.
    void partialScoresStoredAsTyped_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("shown");  // the five boxes and the total after leaving them
        QTest::addColumn<QString>("stored"); // puntos1 .. puntos5 | puntost, as read back
        QTest::addColumn<QString>("listed"); // the row in the judges' list
        QTest::newRow("8,555 twice") << QStringList{"8,555", "8,555", "17", "27", "27"}
                                     << "8,555 8,555 17,00 27,00 27,00 88,11"
                                     << "8,555|8,555|17|27|27|88,11"
                                     << "8,56 8,56 17,00 27,00 27,00 88,11";
        QTest::newRow("whole and halves")
            << QStringList{"8", "9", "18,5", "28", "28,25"} << "8,00 9,00 18,50 28,00 28,25 91,75"
            << "8|9|18,5|28|28,25|91,75"
            << "8,00 9,00 18,50 28,00 28,25 91,75";
        QTest::newRow("thousandths summed before rounding")
            << QStringList{"8,333", "8,333", "17,333", "27", "27"} << "8,333 8,333 17,333 27,00 27,00 88,00"
            << "8,333|8,333|17,333|27|27|88"
            << "8,33 8,33 17,33 27,00 27,00 88,00";
    }
    void partialScoresStoredAsTyped()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        QFETCH(QString, listed);
        openWindow("12");
        grabar("1", typed);
        QStringList boxes;
        for (const char* box : TestJudgingWindow::boxes)
            boxes << w(box)->text();
        QCOMPARE(boxes.join(u' ') + " " + w("Text9")->text(), shown);
        aceptar();
        QStringList fields;
        for (const char* field : {"puntos1", "puntos2", "puntos3", "puntos4", "puntos5"})
            fields << scored("12", field);
        QCOMPARE(fields.join(u'|') + "|" + scored("12", "puntost"), stored);
        QStringList row;
        for (int c = 1; c <= 6; ++c)
            row << list()->topLevelItem(0)->text(c);
        QCOMPARE(row.join(u' '), listed);

        list()->setCurrentItem(list()->topLevelItem(0));
        action("p3")->trigger();
        aceptar();
        QStringList again;
        for (const char* field : {"puntos1", "puntos2", "puntos3", "puntos4", "puntos5"})
            again << scored("12", field);
        QCOMPARE(again.join(u'|') + "|" + scored("12", "puntost"), stored);
    }

    // A change must not write over another judge's row.
    void changeOfARowNoLongerStoredIsRefused()
    {
        makeExhibition(3, false);
        exhibition::open(*m_state, m_path);
        store::Recordset puntos = judging::openCageRows(m_state->mainDb, 9, judging::Criterion::Average);
        const judging::JudgeScores row{5, {8, 8, 17, 27, 27}, 87};
        QVERIFY_THROWS_EXCEPTION(base::Error, judging::storeJudgeRow(m_state->mainDb, puntos, 9,
                                                                  judging::EntryMode::Change, row, "C"));
        QCOMPARE(scored("9"), "1,2");
    }
};

QTEST_MAIN(TestJudgingWindow)
#include "test_judging_window.moc"
