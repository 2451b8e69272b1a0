#include "kit/messages.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace
{

struct Script {
    bool on = false;
    QList<Messages::Answer> answers;
    QStringList typed; // one per Answer::Ok scripted with scriptText, in order
    QList<Messages::Shown> shown;
    QStringList problems;
};

Script& state()
{
    static Script s;
    return s;
}

QString describe(const QString& title, const QString& text)
{
    return QStringLiteral("«%1» / «%2»").arg(title, text);
}

// The scripted answer for a box offering the given answers.
Messages::Answer take(const QString& title, const QString& text,
                      std::initializer_list<Messages::Answer> offered)
{
    Script& s = state();
    s.shown.append({title, text});
    if (s.answers.isEmpty()) {
        s.problems << QStringLiteral("caja no esperada: ") + describe(title, text);
        return *offered.begin();
    }
    const Messages::Answer answer = s.answers.takeFirst();
    if (std::find(offered.begin(), offered.end(), answer) == offered.end()) {
        s.problems << QStringLiteral("respuesta que la caja no ofrece: ") + describe(title, text);
        return *offered.begin();
    }
    return answer;
}

} // namespace

void Messages::inform(QWidget* parent, const QString& title, const QString& text, Icon icon)
{
    if (state().on) {
        take(title, text, {Answer::Ok});
        return;
    }
    QMessageBox box(icon == Icon::Information ? QMessageBox::Information
                    : icon == Icon::Warning   ? QMessageBox::Warning
                                              : QMessageBox::NoIcon,
                    title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool Messages::ask(QWidget* parent, const QString& title, const QString& text, Answer preset)
{
    if (state().on)
        return take(title, text, {Answer::Yes, Answer::No}) == Answer::Yes;
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(preset == Answer::No ? no : yes);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QString> Messages::askText(QWidget* parent, const QString& title, const QString& label)
{
    if (state().on) {
        if (take(title, label, {Answer::Ok, Answer::No}) != Answer::Ok)
            return std::nullopt;
        return state().typed.isEmpty() ? QString() : state().typed.takeFirst();
    }
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(label);
    box.setOkButtonText(QStringLiteral("Aceptar"));
    box.setCancelButtonText(QStringLiteral("Cancelar"));
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

void Messages::startScripting()
{
    state() = Script{};
    state().on = true;
}

void Messages::script(Answer answer)
{
    state().answers.append(answer);
}

void Messages::scriptText(const QString& typed)
{
    state().answers.append(Answer::Ok);
    state().typed.append(typed);
}

QStringList Messages::stopScripting()
{
    Script& s = state();
    QStringList problems = s.problems;
    if (!s.answers.isEmpty())
        problems << QStringLiteral("%1 respuesta(s) sin usar").arg(s.answers.size());
    s.on = false;
    s.answers.clear();
    s.typed.clear();
    s.problems.clear();
    return problems;
}

QList<Messages::Shown> Messages::shown()
{
    return state().shown;
}

Messages::Shown Messages::last()
{
    const auto& shown = state().shown;
    return shown.isEmpty() ? Shown{} : shown.last();
}
