#include "kit/file_dialogs.h"

#include <QFileDialog>

namespace
{

struct Script {
    bool on = false;
    QStringList names;
    QStringList titles;
    QStringList problems;
};

Script& script()
{
    static Script s;
    return s;
}

bool scripted(const QString& title, QString& answer)
{
    Script& s = script();
    if (!s.on)
        return false;
    s.titles << title;
    if (s.names.isEmpty())
        s.problems << QStringLiteral("diálogo no esperado: «%1»").arg(title);
    else
        answer = s.names.takeFirst();
    return true;
}

// "Todos los archivos (*.*)|*.MDB" becomes a Qt filter whose label reads as written and whose
// patterns match both cases.
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns << pattern.toLower() << pattern.toUpper();
        patterns.removeDuplicates();
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace

QString FileDialogs::openFile(QWidget* parent, const QString& title, const QString& filter,
                              const QString& folder)
{
    QString answer;
    if (scripted(title, answer))
        return answer;
    return QFileDialog::getOpenFileName(parent, title, folder, qtFilter(filter), nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

QString FileDialogs::folder(QWidget* parent, const QString& title, const QString& start)
{
    QString answer;
    if (scripted(title, answer))
        return answer;
    return QFileDialog::getExistingDirectory(parent, title, start);
}

QString FileDialogs::saveFile(QWidget* parent, const QString& title, const QString& filter,
                              const QString& start)
{
    QString answer;
    if (scripted(title, answer))
        return answer;
    return QFileDialog::getSaveFileName(parent, title, start, qtFilter(filter), nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

void FileDialogs::startScripting()
{
    script() = Script{};
    script().on = true;
}

void FileDialogs::scriptFileName(const QString& path)
{
    script().names << path;
}

QStringList FileDialogs::stopScripting()
{
    Script& s = script();
    QStringList problems = s.problems;
    if (!s.names.isEmpty())
        problems << QStringLiteral("%1 nombre(s) de archivo sin usar").arg(s.names.size());
    s.on = false;
    s.names.clear();
    s.problems.clear();
    return problems;
}

QStringList FileDialogs::titles()
{
    return script().titles;
}
