#pragma once

// Helpers for the tests that drive the real windows offscreen.

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <memory>

struct AppState;
class MainWindow;

namespace guitest
{

// Focus given as Tab gives it, then the text typed over the box's; leaving by Tab runs its checks.
void type(QLineEdit* box, const QString& text);
void tab(QWidget* from);
bool showActive(QWidget* window);

// Runs check (which closes it) on the first visible window of type W once it is the active window,
// for windows shown modally: keys sent before then would go to the window below.
template <class W> void whenShown(std::function<void(W*)> check)
{
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("guitest-whenShown"));
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* found = qobject_cast<W*>(w);
            if (found == nullptr || !found->isVisible())
                continue;
            // QApplication's own record: the focus widget that keys go to follows it.
            if (QApplication::activeWindow() != found) {
                found->activateWindow(); // and look again at the next tick
                return;
            }
            timer->stop();
            timer->deleteLater();
            check(found);
            return;
        }
    });
    timer->start();
}

// From here on boxes above the window are real ones (their focus changes are what some faults
// need), answered once active: a message by Enter (its text, and a question's answer, added to
// seen), the print preview by a page down then Esc, any other window by Esc; the window below is
// then made active again, as a window manager does.
void answerRealBoxes(QStringList* seen, QWidget* window);

// The last box shown since scripting started, "title: text"; "" when none was.
QString told();

// Stops waiting for windows that never appeared.
void stopWaiting();

// The main window over the state's dbPath, opened and active; null when the opening refused it.
std::unique_ptr<MainWindow> openMain(AppState& state);

// Each row of a list, its columns joined by '|'.
QStringList rows(const QTreeWidget* list);

// Which of the named actions or widgets are enabled: "1" or "0" each, in order.
QString enabled(QObject* root, std::initializer_list<const char*> names);

template <class T> T* child(QObject* root, const char* name)
{
    T* found = root->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("no control named %s", name);
    return found;
}

} // namespace guitest
