#include "support/gui_test.h"

#include "kit/file_dialogs.h"
#include "kit/messages.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace guitest
{

void startScripting()
{
    Messages::startScripting();
    FileDialogs::startScripting();
}

void stopWaiting()
{
    for (QTimer* timer :
         qApp->findChildren<QTimer*>(QStringLiteral("guitest-whenShown"), Qt::FindDirectChildrenOnly))
        delete timer;
}

QStringList stopScripting()
{
    stopWaiting();
    return Messages::stopScripting() + FileDialogs::stopScripting();
}

void type(QLineEdit* box, const QString& text)
{
    box->setFocus(Qt::TabFocusReason);
    box->selectAll();
    QTest::keyClicks(box, text);
}

void tab(QWidget* from)
{
    from->setFocus(Qt::TabFocusReason);
    QTest::keyClick(from, Qt::Key_Tab);
    QApplication::processEvents();
}

bool showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    // The platform may call the window active before the application has made it its active
    // window, whose focus widget the keys go to.
    return QTest::qWaitForWindowActive(window) &&
           QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

void answerRealBoxes(QStringList* seen)
{
    const QStringList scripted = Messages::stopScripting();
    QVERIFY2(scripted.isEmpty(), qPrintable(scripted.join(QStringLiteral("; "))));
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("guitest-whenShown"));
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [seen] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr || !box->isVisible())
                continue;
            if (QApplication::activeWindow() != box) {
                box->activateWindow();
                return;
            }
            seen->append(box->text());
            QWidget* below = box->parentWidget() != nullptr ? box->parentWidget()->window() : nullptr;
            // Its accepting button: "Aceptar", or "Sí" in a question.
            for (QAbstractButton* button : box->buttons())
                if (const auto role = box->buttonRole(button);
                    role == QMessageBox::AcceptRole || role == QMessageBox::YesRole) {
                    button->click();
                    break;
                }
            // The window manager gives the window below its activation back.
            if (below != nullptr)
                below->activateWindow();
            return;
        }
    });
    timer->start();
}

void key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr)
        target = QApplication::activeWindow();
    QVERIFY2(target != nullptr, "no window to type in");
    QTest::keyClick(target, key, modifiers);
}

std::unique_ptr<MainWindow> openMain(AppState& state)
{
    auto main = std::make_unique<MainWindow>(state);
    if (!main->openExhibition())
        return nullptr;
    showActive(main.get());
    return main;
}

} // namespace guitest
