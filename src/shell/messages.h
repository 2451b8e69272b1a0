#pragma once

// Every message box of the program goes through here, so that tests can answer them: with
// scripting on, no box is shown and each one takes the next scripted answer; a box nobody
// expected, an answer the box does not offer, and an answer never used are all reported.

#include <QList>
#include <QString>
#include <QStringList>

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
    // A Yes/No question without icon; true on Yes.
    static bool ask(QWidget* parent, const QString& title, const QString& text);

    // Tests.
    static void startScripting();
    static void script(Answer answer);
    static QStringList stopScripting(); // the problems found; empty when all went as scripted
    static QList<Shown> shown();        // every box since scripting started
    static Shown last();
};
