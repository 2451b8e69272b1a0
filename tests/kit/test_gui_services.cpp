// The keyboard helper's legend coming and going, which the keyboard table does not show, and the
// message boxes' test seam, on which every window test relies to fail on a box nobody expected.

#include "kit/keyboard.h"
#include "kit/messages.h"
#include "support/gui_test.h"

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

class TestGuiServices : public QObject
{
    Q_OBJECT

    std::unique_ptr<QDialog> m_window;
    QLineEdit* m_first = nullptr;
    QGroupBox* m_legend = nullptr;

private slots:
    void cleanup() { m_window.reset(); }

    void init()
    {
        m_window = std::make_unique<QDialog>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_first = new QLineEdit(m_window.get());
        m_legend = new QGroupBox(QStringLiteral("1 Grabar"), m_window.get());
        layout->addWidget(m_first);
        layout->addWidget(new QLineEdit(m_window.get()));
        layout->addWidget(m_legend);
        m_legend->hide();
        KeyboardHelper::install(m_window.get(), {true, true, m_legend});
        QVERIFY(guitest::showActive(m_window.get()));
        m_first->setFocus();
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

    void scriptingReportsWhatWentWrong()
    {
        Messages::startScripting();
        Messages::inform(nullptr, "Aviso", "nadie lo esperaba");
        Messages::script(Messages::Answer::Yes);
        Messages::inform(nullptr, "Aviso", "solo ofrece Aceptar");
        Messages::script(Messages::Answer::No);
        const QStringList problems = Messages::stopScripting();
        QCOMPARE(problems, (QStringList{"caja no esperada: «Aviso» / «nadie lo esperaba»",
                                        "respuesta que la caja no ofrece: «Aviso» / «solo ofrece Aceptar»",
                                        "1 respuesta(s) sin usar"}));
    }
};

QTEST_MAIN(TestGuiServices)
#include "test_gui_services.moc"
