#include "windows/records/history_window.h"

#include "kit/keyboard.h"
#include "kit/store_guard.h"
#include "rules/records/history.h"
#include "ui_history_window.h"
#include "windows/shell/app_state.h"

#include <optional>

namespace
{

// A filter box: empty, or not a number yet, filters nothing.
std::optional<int> typedNumber(const QString& text)
{
    bool number = false;
    const int value = text.trimmed().toInt(&number);
    return number ? std::optional<int>(value) : std::nullopt;
}

} // namespace

HistoryWindow::HistoryWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::HistoryWindow>())
{
    m_ui->setupUi(this);
    connect(m_ui->jaula, &QLineEdit::textChanged, this, &HistoryWindow::load);
    connect(m_ui->juez, &QLineEdit::textChanged, this, &HistoryWindow::load);
    connect(m_ui->cerrar, &QPushButton::clicked, this, &QDialog::reject);
    KeyboardHelper::install(this, {.enterAsTab = true, .escapeCloses = true, .legend = nullptr});
}

HistoryWindow::~HistoryWindow() = default;

int HistoryWindow::exec()
{
    load();
    m_ui->jaula->setFocus(Qt::OtherFocusReason);
    return QDialog::exec();
}

void HistoryWindow::load()
{
    const records::HistoryFilter filter{typedNumber(m_ui->jaula->text()), typedNumber(m_ui->juez->text())};
    QStringList lines;
    guarded(this, [&] {
        for (const records::Change& change : records::history(m_state.mainDb, filter))
            lines << records::historyLine(change);
    });
    m_ui->cambios->clear();
    m_ui->cambios->addItems(lines);
    m_ui->cambios->scrollToBottom();
    m_ui->cuenta->setText(lines.size() == 1 ? QStringLiteral("1 cambio")
                                            : QStringLiteral("%1 cambios").arg(lines.size()));
}
