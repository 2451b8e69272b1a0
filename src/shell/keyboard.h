#pragma once

// The keyboard habits shared by the entry windows. The window sees its keys before its
// controls do:
// - Enter moves to the next control, as Tab does (the key itself is swallowed);
// - holding Ctrl shows the legend of the numbered toolbar commands, and releasing any key hides it;
// - Esc closes the window.

#include <QObject>
#include <QSet>
#include <functional>

class QKeyEvent;
class QWidget;

class KeyboardHelper : public QObject
{
    Q_OBJECT
public:
    struct Options {
        bool enterAsTab = true;
        bool escapeCloses = true;
        QWidget* legend = nullptr; // shown while Ctrl is held
    };

    // Installs the helper for the window; it lives as long as the window.
    static KeyboardHelper* install(QWidget* window, Options options);

    // Enter keeps its own meaning in this control (a list that chooses with Enter).
    void keepEnter(QWidget* control);

    // A key the window handles before its controls: the handler returns true when it took the
    // key. Runs for every key press in the window, before the shared habits above.
    void onKeyPress(std::function<bool(QKeyEvent*, QWidget* receiver)> handler);

    // Moves the focus to the next control of the window, as Tab does.
    static void focusNext(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyboardHelper(QWidget* window, Options options);

    QWidget* m_window;
    Options m_options;
    QSet<QWidget*> m_keepEnter;
    std::vector<std::function<bool(QKeyEvent*, QWidget*)>> m_handlers;
};
