#include "support/gui_test.h"

#include "kit/messages.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QPrintPreviewWidget>

namespace guitest
{

QString told()
{
    return Messages::shown().isEmpty() ? QString() : Messages::last().title + ": " + Messages::last().text;
}

void stopWaiting()
{
    for (QTimer* timer :
         qApp->findChildren<QTimer*>(QStringLiteral("guitest-whenShown"), Qt::FindDirectChildrenOnly))
        delete timer;
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
    window->activateWindow(); // the platform may call it active before the application does
    return QTest::qWaitForWindowActive(window) &&
           QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

void answerRealBoxes(QStringList* seen, QWidget* window)
{
    const QStringList scripted = Messages::stopScripting();
    QVERIFY2(scripted.isEmpty(), qPrintable(scripted.join(QStringLiteral("; "))));
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("guitest-whenShown"));
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [seen, window] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (box == nullptr || box == window || !box->isVisible() || QApplication::activeWindow() != box)
            return;
        QWidget* below = box->parentWidget() != nullptr ? box->parentWidget()->window() : window;
        if (auto* message = qobject_cast<QMessageBox*>(box)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            *seen << "«" + message->text() + "»" +
                         (message->buttons().size() > 1 && message->clickedButton() != nullptr
                              ? u' ' + message->clickedButton()->text().remove(u'&')
                              : QString());
        } else if (auto* preview = box->findChild<QPrintPreviewWidget*>()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
            *seen << QStringLiteral("«%1» %2/%3")
                         .arg(box->windowTitle())
                         .arg(preview->currentPage())
                         .arg(preview->pageCount());
            box->reject();
        } else { // a window the key opened: its own keys are another test's
            *seen << "«" + box->windowTitle() + "»";
            box->reject();
        }
        if (below != nullptr)
            below->activateWindow();
    });
    timer->start();
}

QStringList rows(const QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        texts << cells.join(u'|');
    }
    return texts;
}

QString enabled(QObject* root, std::initializer_list<const char*> names)
{
    QString states;
    for (const char* name : names) {
        QObject* found = root->findChild<QObject*>(QString::fromLatin1(name));
        const auto* action = qobject_cast<QAction*>(found);
        const auto* widget = qobject_cast<QWidget*>(found);
        if (action == nullptr && widget == nullptr)
            qFatal("no control named %s", name);
        states += (action != nullptr ? action->isEnabled() : widget->isEnabled()) ? u'1' : u'0';
    }
    return states;
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
