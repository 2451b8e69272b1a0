#include "support/gui_test.h"

#include "shell/file_dialogs.h"
#include "shell/messages.h"

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
    return QTest::qWaitForWindowActive(window);
}

} // namespace guitest
