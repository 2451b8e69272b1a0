#include "kit/keyboard.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
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

void KeyboardHelper::onEnter(QWidget* control, std::function<void()> action)
{
    keepEnter(control);
    onKeyPress([control, action = std::move(action)](QKeyEvent* key, QWidget* receiver) {
        if (receiver != control || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter))
            return false;
        action();
        return true;
    });
}

void KeyboardHelper::onKeyPress(std::function<bool(QKeyEvent*, QWidget*)> handler)
{
    m_handlers.push_back(std::move(handler));
}

void KeyboardHelper::numberedCommands(std::vector<QAction*> commands)
{
    m_numbered = std::move(commands);
    if (m_options.legend == nullptr)
        return;
    // The legend's labels are told by their number, whatever their order or names in the form.
    for (QLabel* label : m_options.legend->findChildren<QLabel*>()) {
        const int digit = label->text().trimmed().section(u' ', 0, 0).toInt();
        QAction* command = digit >= 1 && std::size_t(digit) <= m_numbered.size()
                               ? m_numbered[std::size_t(digit - 1)]
                               : nullptr;
        if (command == nullptr)
            continue;
        label->setEnabled(command->isEnabled());
        connect(command, &QAction::changed, label,
                [command, label] { label->setEnabled(command->isEnabled()); });
    }
}

void KeyboardHelper::focusNext(QWidget* window)
{
    // A Tab sent to the window itself moves the focus as the Tab key does, also out of
    // controls that would take a Tab as text.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &tab);
}

int KeyboardHelper::ctrlDigit(const QKeyEvent* key)
{
    if (key->modifiers() != Qt::ControlModifier || key->key() < Qt::Key_0 || key->key() > Qt::Key_9)
        return -1;
    return key->key() - Qt::Key_0;
}

bool KeyboardHelper::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // Ctrl released in a box the key opened ("2 Borrar" asks first) is a release the window
    // never sees: the legend goes when the window gives way.
    if (type == QEvent::WindowDeactivate && watched == m_window && m_options.legend != nullptr)
        m_options.legend->hide();
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

    if (const int digit = ctrlDigit(key); digit > 0 && std::size_t(digit) <= m_numbered.size()) {
        QAction* command = m_numbered[std::size_t(digit - 1)];
        if (command != nullptr && command->isEnabled())
            command->trigger();
        return true;
    }
    if (m_options.menuBar != nullptr && menuKey(key))
        return true;

    switch (key->key()) {
    case Qt::Key_Control:
        if (m_options.legend != nullptr)
            m_options.legend->show();
        return false;
    case Qt::Key_Escape:
        if (m_options.escapeCloses)
            m_window->close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return enter(receiver);
    default:
        return false;
    }
}

bool KeyboardHelper::enter(QWidget* receiver)
{
    for (QWidget* w = receiver; w != nullptr && w != m_window; w = w->parentWidget())
        if (m_keepEnter.contains(w))
            return false;
    // On a button Enter is the button's key, as the clerk expects of "Aceptar" and "Cancelar",
    // in every window; the button's own work moves the focus where it belongs.
    if (auto* button = qobject_cast<QPushButton*>(receiver)) {
        if (button->isEnabled())
            button->click();
        return true;
    }
    if (!m_options.enterAsTab)
        return false;
    focusNext(m_window);
    return true;
}

bool KeyboardHelper::menuKey(const QKeyEvent* key)
{
    QMenuBar* bar = m_options.menuBar;
    const QList<QAction*> items = bar->actions();
    QAction* chosen = nullptr;
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier) {
        chosen = items.isEmpty() ? nullptr : items.first();
    } else if (key->modifiers() == Qt::AltModifier && key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9) {
        // The menus are numbered in their captions ("1 Recepcion"); the captions stay as they are.
        const QString number = QString::number(key->key() - Qt::Key_0) + u' ';
        for (QAction* item : items)
            if (item->text().startsWith(number)) {
                chosen = item;
                break;
            }
        if (chosen == nullptr)
            return false;
    } else if (key->modifiers() == Qt::AltModifier && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z) {
        // The menus without a number ("Impresos", "Red de la Exposición") by their first letter.
        const QChar letter(u'a' + (key->key() - Qt::Key_A));
        for (QAction* item : items) {
            const QString caption = item->text();
            if (!caption.isEmpty() && !caption.front().isDigit() && caption.front().toLower() == letter) {
                chosen = item;
                break;
            }
        }
        if (chosen == nullptr)
            return false;
    } else {
        return false;
    }
    if (chosen == nullptr || !chosen->isVisible() || !chosen->isEnabled())
        return true;
    if (QMenu* menu = chosen->menu()) {
        bar->setActiveAction(chosen); // opens it
        // Its first item is ready for Enter, as the arrows would leave it.
        for (QAction* item : menu->actions())
            if (!item->isSeparator() && item->isVisible() && item->isEnabled()) {
                menu->setActiveAction(item);
                break;
            }
    } else
        chosen->trigger(); // a caption that is itself the command ("2 Puntuacion")
    return true;
}
