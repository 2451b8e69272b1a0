// The shared keyboard habits and the test seams of the message boxes.

#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/store_guard.h"
#include "support/gui_test.h"

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

class TestGuiServices : public QObject
{
    Q_OBJECT

    std::unique_ptr<QDialog> m_window;
    QLineEdit* m_first = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QLineEdit* m_last = nullptr;
    QGroupBox* m_legend = nullptr;

private slots:
    void cleanup() { m_window.reset(); }

    void init()
    {
        m_window = std::make_unique<QDialog>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_first = new QLineEdit(m_window.get());
        m_notes = new QPlainTextEdit(m_window.get());
        m_last = new QLineEdit(m_window.get());
        m_legend = new QGroupBox(QStringLiteral("1 Grabar"), m_window.get());
        for (QWidget* w : std::initializer_list<QWidget*>{m_first, m_notes, m_last, m_legend})
            layout->addWidget(w);
        m_legend->hide();
        KeyboardHelper::install(m_window.get(), {true, true, m_legend});
        QVERIFY(guitest::showActive(m_window.get()));
        m_first->setFocus();
    }

    void enterMovesOnLikeTabEvenOutOfMultiLineText()
    {
        QTest::keyClick(m_first, Qt::Key_Return);
        QVERIFY(m_notes->hasFocus());
        QTest::keyClick(m_notes, Qt::Key_Enter);
        QVERIFY(m_last->hasFocus());
        QCOMPARE(m_notes->toPlainText(), QString()); // the key itself was swallowed
        QVERIFY(m_window->isVisible());              // and did not press a default button
    }

    void controlShowsTheLegendUntilAKeyIsReleased()
    {
        QTest::keyPress(m_first, Qt::Key_Control);
        QVERIFY(m_legend->isVisible());
        QTest::keyRelease(m_first, Qt::Key_Control);
        QVERIFY(!m_legend->isVisible());
    }

    // Ctrl held down when a box of the window opens is released in the box: the legend goes
    // with the window's activation.
    void legendHiddenWhenAnotherWindowTakesOver()
    {
        QTest::keyPress(m_first, Qt::Key_Control);
        QVERIFY(m_legend->isVisible());
        QDialog box(m_window.get());
        QVERIFY(guitest::showActive(&box));
        QTRY_COMPARE(QApplication::activeWindow(), &box);
        QTest::keyRelease(&box, Qt::Key_Control);
        box.hide();
        QVERIFY(guitest::showActive(m_window.get()));
        QVERIFY(!m_legend->isVisible());
    }

    void focusChecksRunOnlyWhileTheWindowIsInUse_data()
    {
        QTest::addColumn<bool>("hideFirst");
        QTest::newRow("window closed, then destroyed") << true;
        QTest::newRow("window destroyed while shown") << false;
    }
    void focusChecksRunOnlyWhileTheWindowIsInUse()
    {
        QFETCH(bool, hideFirst);
        int checks = 0;
        focus::onFocusOut(m_first, [&checks] { ++checks; });
        QTest::keyClick(m_first, Qt::Key_Tab);
        QCOMPARE(checks, 1); // a real move out of the box is checked
        m_first->setFocus();
        if (hideFirst)
            m_window->hide();
        m_window.reset(); // a check run now would reach a window half destroyed
        QCOMPARE(checks, 1);
    }

    // A modal window is handed to the test once it is the active window: keys sent before then
    // would go to the window below it, and the test would wait for ever.
    void whenShownWaitsForTheActiveWindow()
    {
        m_window->hide(); // the modal window is the only dialog on the screen
        QDialog modal(m_window.get());
        QWidget elsewhere; // another window keeps the activation for a while, as on a busy system
        QTimer::singleShot(0, &elsewhere, [&elsewhere] {
            elsewhere.show();
            elsewhere.activateWindow();
        });
        bool wasActive = false;
        guitest::whenShown<QDialog>([&wasActive](QDialog* dialog) {
            wasActive = dialog->isActiveWindow();
            dialog->reject();
        });
        modal.exec();
        QVERIFY(wasActive);
    }

    void guardTurnsAStoreErrorIntoAnAvisoBox()
    {
        Messages::startScripting();
        Messages::script(Messages::Answer::Ok);
        const bool ok = guarded(m_window.get(), [] { throw base::Error(QStringLiteral("No cabe.")); });
        QVERIFY(!ok);
        QCOMPARE(Messages::last().title, "Aviso");
        QCOMPARE(Messages::last().text, "No cabe.");
        QVERIFY(Messages::stopScripting().isEmpty());
    }

    void scriptingReportsWhatWentWrong()
    {
        Messages::startScripting();
        Messages::inform(nullptr, "Aviso", "nadie lo esperaba");
        Messages::script(Messages::Answer::Yes);
        Messages::inform(nullptr, "Aviso", "solo ofrece Aceptar");
        Messages::script(Messages::Answer::No);
        const QStringList problems = Messages::stopScripting();
        QCOMPARE(problems.size(), 3);
        QCOMPARE(problems, (QStringList{"caja no esperada: «Aviso» / «nadie lo esperaba»",
                                        "respuesta que la caja no ofrece: «Aviso» / «solo ofrece Aceptar»",
                                        "1 respuesta(s) sin usar"}));
    }
};

QTEST_MAIN(TestGuiServices)
#include "test_gui_services.moc"
