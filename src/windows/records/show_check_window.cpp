#include "windows/records/show_check_window.h"

#include "kit/keyboard.h"
#include "kit/store_guard.h"
#include "kit/wait_cursor.h"
#include "rules/records/checks.h"
#include "ui_show_check_window.h"
#include "windows/shell/app_state.h"

ShowCheckWindow::ShowCheckWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ShowCheckWindow>())
{
    m_ui->setupUi(this);
    connect(m_ui->cerrar, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->avisos, &QListWidget::itemDoubleClicked, this, &ShowCheckWindow::openLine);
    KeyboardHelper* keyboard =
        KeyboardHelper::install(this, {.enterAsTab = true, .escapeCloses = true, .legend = nullptr});
    keyboard->onEnter(m_ui->avisos, [this] { openLine(m_ui->avisos->currentItem()); });
}

ShowCheckWindow::~ShowCheckWindow() = default;

int ShowCheckWindow::exec()
{
    load();
    return QDialog::exec();
}

void ShowCheckWindow::load()
{
    m_ui->avisos->clear();
    m_ui->cuenta->clear();
    guarded(this, [this] {
        WaitCursor wait;
        // The clubs file the program opened with the show, when it found one.
        const QString clubsPath = m_state.clubDb.isOpen() ? m_state.clubDb.path() : QString();
        const std::vector<records::Warning> warnings = records::checkShow(m_state.mainDb, clubsPath);
        for (const records::Warning& warning : warnings) {
            auto* item = new QListWidgetItem(warning.text, m_ui->avisos);
            item->setData(Qt::UserRole, warning.jaula);
        }
        m_ui->cuenta->setText(records::warningsCount(warnings.size()));
    });
    if (m_ui->avisos->count() > 0)
        m_ui->avisos->setCurrentRow(0);
}

void ShowCheckWindow::openLine(QListWidgetItem* item)
{
    const int cage = item ? item->data(Qt::UserRole).toInt() : 0;
    if (cage == 0 || !m_openCage)
        return;
    const int row = m_ui->avisos->row(item);
    m_openCage(cage);
    load();
    m_ui->avisos->setCurrentRow(std::min(row, m_ui->avisos->count() - 1));
}
