#pragma once

// The keyboard habits shared by the windows. The window sees its keys before its controls do:
// - Enter moves to the next control, as Tab does (in the entry windows); on a button it presses
//   the button, in every window, so that Enter on "Aceptar" stores and on "Cancelar" cancels;
// - holding Ctrl shows the legend of the numbered toolbar commands, and releasing any key hides it;
//   Ctrl with a digit runs the toolbar command of that number, and the legend greys a command that
//   is disabled;
// - Esc closes the window, or has no role in a window that closes only by its buttons;
// - in a window with a menu bar, F10 opens its first menu and Alt with a digit the menu whose
//   caption starts with that number.

#include <QObject>
#include <QSet>
#include <functional>
#include <vector>

class QAction;
class QKeyEvent;
class QMenuBar;
class QWidget;

class KeyboardHelper : public QObject
{
    Q_OBJECT
public:
    struct Options {
        bool enterAsTab = true;
        bool escapeCloses = true;    // otherwise Esc does nothing (a dialog would take it to close)
        QWidget* legend = nullptr;   // shown while Ctrl is held
        QMenuBar* menuBar = nullptr; // opened by F10 and Alt with a digit
    };

    // Installs the helper for the window; it lives as long as the window.
    static KeyboardHelper* install(QWidget* window, Options options);

    // Enter keeps its own meaning in this control (a list that chooses with Enter).
    void keepEnter(QWidget* control);

    // Enter (either key) in this control runs the action instead of moving on: a list whose lines
    // Enter acts on.
    void onEnter(QWidget* control, std::function<void()> action);

    // A key the window handles before its controls: the handler returns true when it took the
    // key. Runs for every key press in the window, before the shared habits above.
    void onKeyPress(std::function<bool(QKeyEvent*, QWidget* receiver)> handler);

    // Ctrl+1 runs the first command, Ctrl+2 the second, and so on, as the legend names them; a
    // disabled command does nothing, and its label in the legend ("2 Borrar") is greyed. A null
    // entry leaves its digit without a command.
    void numberedCommands(std::vector<QAction*> commands);

    // Moves the focus to the next control of the window, as Tab does.
    static void focusNext(QWidget* window);

    // The digit of a key of the main row pressed with Ctrl and no other shift key; -1 for any
    // other key.
    static int ctrlDigit(const QKeyEvent* key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyboardHelper(QWidget* window, Options options);

    bool enter(QWidget* receiver);
    bool menuKey(const QKeyEvent* key);

    QWidget* m_window;
    Options m_options;
    QSet<QWidget*> m_keepEnter;
    std::vector<std::function<bool(QKeyEvent*, QWidget*)>> m_handlers;
    std::vector<QAction*> m_numbered;
};
