#include "shell/keyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyboardHelper::KeyboardHelper(QWidget* window, Options options)
    : QObject(window), m_window(window), m_options(options)
{
    qApp->installEventFilter(this);
}

KeyboardHelper* KeyboardHelper::install(QWidget* window, Options options)
{
    return new KeyboardHelper(window, options);
}

void KeyboardHelper::keepEnter(QWidget* control)
{
    m_keepEnter.insert(control);
}

void KeyboardHelper::onKeyPress(std::function<bool(QKeyEvent*, QWidget*)> handler)
{
    m_handlers.push_back(std::move(handler));
}

void KeyboardHelper::focusNext(QWidget* window)
{
    // A Tab sent to the window itself moves the focus as the Tab key does, also out of
    // controls that would take a Tab as text.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &tab);
}

bool KeyboardHelper::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    auto* receiver = qobject_cast<QWidget*>(watched);
    // Only the keys meant for this window's own controls; a message box or a popup list above
    // it is another window. Each key event reaches the filter once per widget it propagates
    // to: act on the focused control only.
    if (receiver == nullptr || receiver->window() != m_window || !m_window->isVisible())
        return false;
    if (QApplication::focusWidget() != nullptr && receiver != QApplication::focusWidget() &&
        receiver != m_window)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);

    if (type == QEvent::KeyRelease) {
        if (m_options.legend != nullptr && !key->isAutoRepeat())
            m_options.legend->hide();
        return false;
    }

    for (const auto& handler : m_handlers)
        if (handler(key, receiver))
            return true;

    switch (key->key()) {
    case Qt::Key_Control:
        if (m_options.legend != nullptr)
            m_options.legend->show();
        return false;
    case Qt::Key_Escape:
        if (!m_options.escapeCloses)
            return false;
        m_window->close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (!m_options.enterAsTab)
            return false;
        for (QWidget* w = receiver; w != nullptr && w != m_window; w = w->parentWidget())
            if (m_keepEnter.contains(w))
                return false;
        focusNext(m_window);
        return true;
    }
    default:
        return false;
    }
}
