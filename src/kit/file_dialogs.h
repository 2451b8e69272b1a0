#pragma once

// Every file dialog of the program goes through here, so that tests can answer them: with
// scripting on, no dialog is shown and each one takes the next scripted name ("" is a cancel).

#include <QString>
#include <QStringList>

class QWidget;

class FileDialogs
{
public:
    // filter in the original's form, "label|pattern" pairs: "Archivos Excel (*.xls)|*.xls".
    // Patterns match without regard to case. Returns "" when cancelled.
    static QString openFile(QWidget* parent, const QString& title, const QString& filter,
                            const QString& folder = {});
    static QString folder(QWidget* parent, const QString& title, const QString& start = {});
    static QString saveFile(QWidget* parent, const QString& title, const QString& filter,
                            const QString& start = {});

    // Tests.
    static void startScripting();
    static void scriptFileName(const QString& path);
    static QStringList stopScripting();
    static QStringList titles(); // the titles of the dialogs asked for since scripting started
};
