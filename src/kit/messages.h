#pragma once

// Every message box of the program, and every box that asks for one line of text, goes through
// here, so that tests can answer them: with
// scripting on, no box is shown and each one takes the next scripted answer; a box nobody
// expected, an answer the box does not offer, and an answer never used are all reported.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

class Messages
{
public:
    enum class Icon { None, Information, Warning };
    enum class Answer { Ok, Yes, No };

    struct Shown {
        QString title;
        QString text;
    };

    // An information box with an OK button.
    static void inform(QWidget* parent, const QString& title, const QString& text,
                       Icon icon = Icon::Information);
    // A Yes/No question without icon; true on Yes. Enter answers the preset (Yes or No).
    static bool ask(QWidget* parent, const QString& title, const QString& text, Answer preset = Answer::Yes);
    // A box with one line to type in, "Aceptar" and "Cancelar"; what was typed, or nothing when
    // it was cancelled.
    static std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label);

    // Tests.
    static void startScripting();
    static void script(Answer answer);
    static void scriptText(const QString& typed); // the next askText is accepted with typed
    static QStringList stopScripting();           // the problems found; empty when all went as scripted
    static QList<Shown> shown();                  // every box since scripting started
    static Shown last();
};
