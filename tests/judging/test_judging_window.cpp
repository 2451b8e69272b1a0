// The judging window driven offscreen: the cage lookup, the score boxes and their ranges, the
// judge number, the toolbar, the store of each judge's row and of the final score on closing.

#include "judging/judging_window.h"
#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "support/fixtures.h"
#include "support/gui_test.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using guitest::child;

class TestJudgingWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<JudgingWindow> m_window;
    QString m_path;

    // Cage 12: group A, male, no scores. Cage 7: group D. Cage 5: group B, judges 1 to 3 with
    // totals 88,50, 90,00 and 91,25. Cage 9: group C, judges 1 and 2.
    void makeExhibition(int jueces, bool media)
    {
        const store::Database db = store::Database::create(m_path, store::schema::exhibition());
        fixtures::setConfig(db, jueces, media);
        fixtures::addBird(db, 12, "A", "M", {{"anilla", "1234567"}, {"año", "2024"}, {"color", "Azul"}});
        fixtures::addBird(db, 7, "D", "H", {{"categ", "B"}});
        fixtures::addBird(db, 5, "B", "H");
        fixtures::addBird(db, 9, "C", "M");
        fixtures::addScore(db, "5", 1, 88.5);
        fixtures::addScore(db, "5", 2, 91.25);
        fixtures::addScore(db, "5", 3, 90);
        fixtures::addScore(db, "9", 1, 88);
        fixtures::addScore(db, "9", 2, 89);
    }

    void openWindow(int jueces = 3, bool media = false)
    {
        makeExhibition(jueces, media);
        exhibition::open(*m_state, m_path);
        m_window = std::make_unique<JudgingWindow>(*m_state);
        m_window->load();
        QVERIFY(guitest::showActive(m_window.get()));
    }

    template <class T = QLineEdit> T* w(const char* name) const { return child<T>(m_window.get(), name); }
    QAction* action(const char* key) const { return w<QAction>(key); }
    QTreeWidget* list() const { return w<QTreeWidget>("ListView1"); }
    bool entering() const { return w<QGroupBox>("Frame6")->isVisible(); }

    void showCage(const QString& typed)
    {
        guitest::type(w("Text1"), typed);
        guitest::tab(w("Text1"));
    }

    QStringList listedJudges() const
    {
        QStringList judges;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            judges << list()->topLevelItem(i)->text(0);
        return judges;
    }

    void selectJudge(const QString& judge)
    {
        const QList<QTreeWidgetItem*> found = list()->findItems(judge, Qt::MatchExactly, 0);
        QCOMPARE(found.size(), 1);
        list()->setCurrentItem(found.first());
    }

    // Types in a score box and leaves it with Tab.
    void enterScore(const char* box, const QString& text)
    {
        guitest::type(w(box), text);
        guitest::tab(w(box));
    }

    // "Grabar" for the cage shown, with a judge and five scores typed box by box.
    void grabar(const QString& judge, const QStringList& scores)
    {
        action("p1")->trigger();
        QVERIFY(entering());
        guitest::type(w("Text3"), judge);
        const char* boxes[] = {"Text4", "Text5", "Text6", "Text7", "Text8"};
        for (int i = 0; i < 5; ++i)
            enterScore(boxes[i], scores[i]);
    }

    store::Database reopen() const { return store::Database::open(m_path, store::schema::exhibition()); }
    QString stored(const QString& query, const QString& field) const
    {
        return fixtures::column(reopen(), query, field);
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

    void opensWithTheJudgesAndTheCriterion_data()
    {
        QTest::addColumn<int>("jueces");
        QTest::addColumn<bool>("media");
        QTest::addColumn<QString>("criterion");
        QTest::newRow("average of 5") << 5 << true << "Hacer la Media de los Jueces";
        QTest::newRow("drop of 3") << 3 << false << "Quitar la Puntuacion Mayor y la Menor ";
    }
    void opensWithTheJudgesAndTheCriterion()
    {
        QFETCH(int, jueces);
        QFETCH(bool, media);
        QFETCH(QString, criterion);
        openWindow(jueces, media);
        QCOMPARE(m_window->windowTitle(), "Puntuacion de los Jueces");
        QCOMPARE(w<QLabel>("labelJueces")->text(), QStringLiteral("Nº de Jueces %1").arg(jueces));
        QCOMPARE(w<QLabel>("labelCriterio")->text(), criterion);
        QCOMPARE(w("Text2")->text(), "0,0");
        QVERIFY(!entering());
        for (const char* key : {"p1", "p2", "p3", "p4", "p5"})
            QVERIFY2(!action(key)->isEnabled(), key);
        QVERIFY(action("p6")->isEnabled());
    }

    void noJudgesConfigured()
    {
        Messages::script(Messages::Answer::Ok);
        openWindow(0);
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text, "No Hay Jueces en la Configuración,debes poner al menos Uno");
        showCage("12");
        QCOMPARE(w("Text1")->text(), QString());
        QCOMPARE(w<QLabel>("labelAnilla")->text(), QString());
        QVERIFY(!action("p1")->isEnabled());
        action("p1")->trigger();
        QVERIFY(!entering());
    }

    void leadingZerosMeanTheCage()
    {
        openWindow();
        showCage("012");
        QCOMPARE(w<QLabel>("labelAnilla")->text(), "1234567");
        QCOMPARE(w<QLabel>("labelAnyo")->text(), "2024");
        QCOMPARE(w<QLabel>("labelSexo")->text(), "Macho");
        QCOMPARE(w<QLabel>("labelColor")->text(), "Azul");
        QCOMPARE(w<QLabel>("labelGrupo")->text(), "A");
        QVERIFY(!w<QLabel>("labelCateg")->isVisible());
        grabar("1", {"8,5", "9", "18", "28", "27,25"});
        QCOMPARE(w("Text9")->text(), "90,75");
        w<QPushButton>("Command1")->click();
        QVERIFY(!entering());
        QCOMPARE(listedJudges(), QStringList{"1"});
        QCOMPARE(list()->topLevelItem(0)->text(6), "90,75");
        const QString cage12 = "select * from puntos where jaula = '12'";
        QCOMPARE(stored(cage12, "puntos1") + "|" + stored(cage12, "puntost"), "8,5|90,75");
        QCOMPARE(stored(cage12, "grupo") + "|" + stored(cage12, "categ"), "A| ");
        QCOMPARE(stored("select * from puntos where jaula = '012'", "juez"), QString());
    }

    void groupDIsNotScored()
    {
        openWindow();
        Messages::script(Messages::Answer::Ok);
        showCage("7");
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text, "El Grupo D no se Puntua ");
        QCOMPARE(w("Text1")->text(), QString());
        QCOMPARE(w<QLabel>("labelGrupo")->text(), QString());
        QTRY_VERIFY(w("Text1")->hasFocus());
        QVERIFY(!action("p1")->isEnabled());
    }

    void cageWithoutBirdShowsNothing()
    {
        openWindow();
        showCage("44");
        QCOMPARE(w<QLabel>("labelAnilla")->text(), QString());
        QCOMPARE(list()->topLevelItemCount(), 0);
        QVERIFY(!action("p1")->isEnabled());
    }

    void scoreBounds_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // "0,00" after a refusal
        QTest::addColumn<bool>("refused");
        QTest::newRow("8 in Text4") << "Text4"
                                    << "8"
                                    << "8,00" << false;
        QTest::newRow("9 in Text4") << "Text4"
                                    << "9"
                                    << "9,00" << false;
        QTest::newRow("8 in Text5") << "Text5"
                                    << "8"
                                    << "8,00" << false;
        QTest::newRow("9 in Text5") << "Text5"
                                    << "9"
                                    << "9,00" << false;
        QTest::newRow("17 in Text6") << "Text6"
                                     << "17"
                                     << "17,00" << false;
        QTest::newRow("19 in Text6") << "Text6"
                                     << "19"
                                     << "19,00" << false;
        QTest::newRow("27 in Text7") << "Text7"
                                     << "27"
                                     << "27,00" << false;
        QTest::newRow("29 in Text7") << "Text7"
                                     << "29"
                                     << "29,00" << false;
        QTest::newRow("27 in Text8") << "Text8"
                                     << "27"
                                     << "27,00" << false;
        QTest::newRow("29 in Text8") << "Text8"
                                     << "29"
                                     << "29,00" << false;
        QTest::newRow("7,99 in Text4") << "Text4"
                                       << "7,99"
                                       << "0,00" << true;
        QTest::newRow("9,01 in Text4") << "Text4"
                                       << "9,01"
                                       << "0,00" << true;
        QTest::newRow("9,5 in Text5") << "Text5"
                                      << "9,5"
                                      << "0,00" << true;
        QTest::newRow("16,99 in Text6") << "Text6"
                                        << "16,99"
                                        << "0,00" << true;
        QTest::newRow("29,01 in Text8") << "Text8"
                                        << "29,01"
                                        << "0,00" << true;
        QTest::newRow("empty Text7") << "Text7"
                                     << ""
                                     << "0,00" << true;
    }
    void scoreBounds()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, refused);
        openWindow();
        showCage("12");
        action("p1")->trigger();
        guitest::type(w("Text3"), "1");
        guitest::tab(w("Text3"));
        // The boxes before it hold scores in range, so that moving past them is not refused.
        const char* boxes[] = {"Text4", "Text5", "Text6", "Text7", "Text8"};
        const char* inRange[] = {"8", "8", "17", "27", "27"};
        for (int i = 0; i < 5; ++i)
            w(boxes[i])->setText(inRange[i]);
        if (refused)
            Messages::script(Messages::Answer::Ok);
        QLineEdit* scoreBox = child<QLineEdit>(m_window.get(), qPrintable(box));
        scoreBox->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(scoreBox->hasFocus());
        QTest::keyClick(scoreBox, Qt::Key_A, Qt::ControlModifier);
        if (typed.isEmpty())
            QTest::keyClick(scoreBox, Qt::Key_Delete);
        else
            QTest::keyClicks(scoreBox, typed);
        QTest::keyClick(scoreBox, Qt::Key_Tab);
        QCOMPARE(scoreBox->text(), shown);
        if (refused) {
            QCOMPARE(Messages::last().title, "Aviso");
            QCOMPARE(Messages::last().text, "Puntuacion Erronea ");
            QTRY_VERIFY(scoreBox->hasFocus());
        }
    }

    void acceptChecksTheBoxesAgainAndStoresTheirSum()
    {
        openWindow();
        showCage("12");
        action("p1")->trigger();
        guitest::type(w("Text3"), "3");
        enterScore("Text4", "8,5");
        enterScore("Text5", "9");
        enterScore("Text6", "18");
        enterScore("Text7", "28");
        // Text8 never entered: it still shows 0,00. The total box shows another total.
        w("Text9")->setText("95,00");
        Messages::script(Messages::Answer::Ok);
        w<QPushButton>("Command1")->click();
        QCOMPARE(Messages::last().text, "Puntuacion Erronea ");
        QVERIFY(entering());
        QTRY_VERIFY(w("Text8")->hasFocus());
        QCOMPARE(stored("select * from puntos where jaula = '12'", "juez"), QString());

        guitest::type(w("Text8"), "27,5");
        w("Text9")->setText("95,00");
        w<QPushButton>("Command1")->click();
        QVERIFY(!entering());
        QCOMPARE(stored("select * from puntos where jaula = '12'", "puntost"), "91");
        QCOMPARE(stored("select * from puntos where jaula = '12'", "puntos5"), "27,5");
    }

    void judgeNumberRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString range = "El número de juez debe ser un número entero del 1 al 3.";
        QTest::newRow("above the configured judges") << "4" << range;
        QTest::newRow("not whole") << "1,5" << range;
        QTest::newRow("judge already listed") << "2"
                                              << "El juez 2 ya tiene puntuada la jaula 9.";
    }
    void judgeNumberRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        openWindow();
        showCage("9");
        action("p1")->trigger();
        guitest::type(w("Text3"), typed);
        Messages::script(Messages::Answer::Ok);
        guitest::tab(w("Text3"));
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text, message);
        QCOMPARE(w("Text3")->text(), QString());
        QTRY_VERIFY(w("Text3")->hasFocus());

        // "Aceptar" refuses it as well, even with every score in range.
        guitest::type(w("Text3"), typed);
        const char* boxes[] = {"Text4", "Text5", "Text6", "Text7", "Text8"};
        const char* scores[] = {"8", "8", "17", "27", "27"};
        for (int i = 0; i < 5; ++i)
            w(boxes[i])->setText(scores[i]);
        Messages::script(Messages::Answer::Ok);
        w<QPushButton>("Command1")->click();
        QCOMPARE(Messages::last().text, message);
        QTRY_VERIFY(w("Text3")->hasFocus());
        QVERIFY(entering());
        QCOMPARE(stored("select * from puntos where jaula = '9' order by juez", "juez"), "1,2");
    }

    void grabarFollowsTheNumberOfJudges()
    {
        openWindow(3);
        showCage("5");
        QCOMPARE(listedJudges().size(), 3);
        QVERIFY(!action("p1")->isEnabled());
        action("p1")->trigger();
        QVERIFY(!entering());
        for (const char* key : {"p2", "p3", "p4", "p5", "p6"})
            QVERIFY2(action(key)->isEnabled(), key);

        action("p5")->trigger();
        QTRY_VERIFY(w("Text1")->hasFocus());
        QCOMPARE(list()->topLevelItemCount(), 0);
        showCage("9");
        QCOMPARE(listedJudges().size(), 2);
        QVERIFY(action("p1")->isEnabled());
        grabar("3", {"8", "8", "17", "27", "27"});
        for (const char* key : {"p1", "p2", "p3", "p4", "p5", "p6"})
            QVERIFY2(!action(key)->isEnabled(), key);
        w<QPushButton>("Command1")->click();
        QCOMPARE(listedJudges().size(), 3);
        QVERIFY(!action("p1")->isEnabled());
        QVERIFY(action("p6")->isEnabled());
    }

    void deleteThenAddAgain()
    {
        openWindow(3);
        showCage("5");
        selectJudge("2");
        Messages::script(Messages::Answer::No);
        action("p2")->trigger();
        QCOMPARE(Messages::last().title, "Atención");
        QCOMPARE(Messages::last().text, "¿Desea Borrar la Puntuacion de este Juez?");
        QCOMPARE(stored("select * from puntos where jaula = '5' order by juez", "juez"), "1,2,3");

        selectJudge("2");
        Messages::script(Messages::Answer::Yes);
        action("p2")->trigger();
        QCOMPARE(stored("select * from puntos where jaula = '5' order by juez", "juez"), "1,3");
        QCOMPARE(listedJudges().size(), 2);
        QVERIFY(!listedJudges().contains("2"));
        QVERIFY(action("p1")->isEnabled());

        grabar("2", {"9", "9", "19", "29", "29"});
        w<QPushButton>("Command1")->click();
        QCOMPARE(stored("select * from puntos where jaula = '5' order by juez", "puntost"), "88,5,95,90");
        QVERIFY(!action("p1")->isEnabled());
    }

    void borrarAndModificarNeedASelectedRow()
    {
        openWindow();
        showCage("5");
        list()->clearSelection();
        action("p2")->trigger(); // no question: the test fails on an unexpected box
        action("p3")->trigger();
        QVERIFY(!entering());
        QCOMPARE(stored("select * from puntos where jaula = '5' order by juez", "juez"), "1,2,3");
    }

    void modificarChangesTheScoresNotTheJudge()
    {
        openWindow();
        showCage("5");
        selectJudge("2");
        action("p3")->trigger();
        QVERIFY(entering());
        QCOMPARE(w("Text3")->text(), "2");
        QVERIFY(w("Text3")->isReadOnly());
        QCOMPARE(w("Text8")->text(), "31,25"); // as stored by the fixture, out of today's range
        QCOMPARE(w("Text9")->text(), "91,25");
        QTRY_VERIFY(w("Text4")->hasFocus());
        enterScore("Text8", "28,5");
        w<QPushButton>("Command1")->click();
        QVERIFY(!entering());
        const QString judge2 = "select * from puntos where jaula = '5' and juez = 2";
        QCOMPARE(stored(judge2, "puntos5") + "|" + stored(judge2, "puntost"), "28,5|88,5");
        QCOMPARE(stored("select * from puntos where jaula = '5' order by juez", "juez"), "1,2,3");
    }

    void cancelStoresNothing()
    {
        openWindow();
        showCage("9");
        grabar("3", {"8", "8", "17", "27", "27"});
        w<QPushButton>("Command2")->click();
        QVERIFY(!entering());
        QCOMPARE(stored("select * from puntos where jaula = '9' order by juez", "juez"), "1,2");
        QCOMPARE(w<QLabel>("labelGrupo")->text(), "C");
        QCOMPARE(listedJudges().size(), 2);
        QVERIFY(w("Text3")->isReadOnly());
    }

    void endingAnEntryKeepsTheCageShown_data()
    {
        QTest::addColumn<QString>("cage");
        QTest::addColumn<bool>("accept");
        QTest::newRow("cancel on a cage without rows") << "12" << false;
        QTest::newRow("accept the first row of a cage") << "12" << true;
        QTest::newRow("cancel on a cage with rows") << "9" << false;
    }
    void endingAnEntryKeepsTheCageShown()
    {
        QFETCH(QString, cage);
        QFETCH(bool, accept);
        openWindow();
        showCage(cage);
        grabar("3", {"8", "8", "17", "27", "27"});
        w<QPushButton>(accept ? "Command1" : "Command2")->click();
        QVERIFY(!entering());
        QApplication::processEvents();
        QCOMPARE(w("Text1")->text(), cage);
        QVERIFY(!w<QLabel>("labelGrupo")->text().isEmpty());
        QVERIFY(!w("Text1")->hasFocus());
        for (const char* key : {"p2", "p3", "p4", "p5", "p6"})
            QVERIFY2(action(key)->isEnabled(), key);
    }

    void leavingAScoreForCancelarIsNotRefused()
    {
        openWindow();
        showCage("9");
        action("p1")->trigger();
        guitest::type(w("Text3"), "3");
        guitest::tab(w("Text3"));
        QTRY_VERIFY(w("Text4")->hasFocus());
        // The mouse takes the focus to "Cancelar": the 0,00 of the box is no reason to stay.
        QTest::mouseClick(w<QPushButton>("Command2"), Qt::LeftButton);
        QVERIFY(!entering());
    }

    void storeErrorKeepsTheEntry()
    {
        openWindow();
        showCage("12");
        m_state->mainDb.execute("CREATE TEMP TRIGGER refuse_scores BEFORE INSERT ON Puntos "
                                "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
        grabar("1", {"8", "9", "17", "28", "29"});
        Messages::script(Messages::Answer::Ok);
        w<QPushButton>("Command1")->click();
        QCOMPARE(Messages::last().title, "Aviso");
        QVERIFY(entering());
        QCOMPARE(w("Text3")->text(), "1");
        QCOMPARE(w("Text7")->text(), "28,00");
        QCOMPARE(stored("select * from puntos where jaula = '12'", "juez"), QString());

        m_state->mainDb.execute("DROP TRIGGER refuse_scores");
        w<QPushButton>("Command1")->click();
        QVERIFY(!entering());
        QCOMPARE(stored("select * from puntos where jaula = '12'", "puntost"), "91");
    }

    void refreshShowsTheFinalScoreByCriterion_data()
    {
        QTest::addColumn<bool>("media");
        QTest::addColumn<QStringList>("judges");
        QTest::addColumn<QString>("finalScore");
        QTest::newRow("average, by judge") << true << QStringList{"1", "2", "3"} << "89,92";
        QTest::newRow("drop, by total from the highest") << false << QStringList{"2", "3", "1"} << "90,00";
    }
    void refreshShowsTheFinalScoreByCriterion()
    {
        QFETCH(bool, media);
        QFETCH(QStringList, judges);
        QFETCH(QString, finalScore);
        openWindow(3, media);
        showCage("5");
        QCOMPARE(listedJudges(), judges);
        QCOMPARE(w("Text2")->text(), finalScore);
        QCOMPARE(list()->headerItem()->text(5), "p5");

        // Another cage does not show the score of this one.
        action("p5")->trigger();
        showCage("12");
        QCOMPARE(w("Text2")->text(), "0,00");
    }

    void closingStoresTheFinishedBirdOnly_data()
    {
        QTest::addColumn<int>("jueces");
        QTest::addColumn<QString>("termina");
        QTest::addColumn<QString>("puntos");
        QTest::newRow("fewer rows than judges") << 4 << "N"
                                                << "0";
        QTest::newRow("exactly the judges") << 3 << "S"
                                            << "90";
        QTest::newRow("more rows than judges") << 2 << "N"
                                               << "0";
    }
    void closingStoresTheFinishedBirdOnly()
    {
        QFETCH(int, jueces);
        QFETCH(QString, termina);
        QFETCH(QString, puntos);
        openWindow(jueces);
        showCage("5");
        m_window->close();
        const QString cage5 = "select * from recepcion where jaula = 5";
        QCOMPARE(stored(cage5, "termina"), termina);
        QCOMPARE(stored(cage5, "puntos"), puntos);
    }

    void escapeClosesAndStores()
    {
        openWindow();
        showCage("5");
        QTest::keyClick(list(), Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(stored("select * from recepcion where jaula = 5", "termina"), "S");
    }

    void otraJaulaThenClosingStoresNothing()
    {
        openWindow();
        showCage("5");
        action("p5")->trigger();
        QTRY_COMPARE(w("Text1")->text(), QString());
        m_window->close();
        QCOMPARE(stored("select * from recepcion where jaula = 5", "termina"), "N");
    }

    void legendWhileCtrlIsHeld()
    {
        openWindow();
        auto* legend = w<QFrame>("legendFrame");
        QVERIFY(!legend->isVisible());
        QTest::keyPress(m_window.get(), Qt::Key_Control);
        QVERIFY(legend->isVisible());
        QTest::keyRelease(m_window.get(), Qt::Key_Control);
        QVERIFY(!legend->isVisible());
    }

    void menuOpensTheWindow()
    {
        makeExhibition(3, false);
        m_state->dbPath = m_path;
        MainWindow main(*m_state);
        QVERIFY(main.openExhibition());
        auto* puntuacion = child<QAction>(&main, "actionPuntuacion");
        QVERIFY(puntuacion->isEnabled());
        QString title;
        guitest::whenShown<JudgingWindow>([&title](JudgingWindow* window) {
            title = window->windowTitle();
            window->close();
        });
        puntuacion->trigger();
        QCOMPARE(title, "Puntuacion de los Jueces");
    }
};

QTEST_MAIN(TestJudgingWindow)
#include "test_judging_window.moc"
