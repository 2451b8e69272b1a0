#include "windows/records/paper_check_window.h"

#include "base/formats.h"
#include "kit/keyboard.h"
#include "kit/store_guard.h"
#include "rules/judging/final_score.h"
#include "ui_paper_check_window.h"
#include "windows/shell/app_state.h"

#include <algorithm>

PaperCheckWindow::PaperCheckWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::PaperCheckWindow>())
{
    m_ui->setupUi(this);
    for (int column = 0; column < m_ui->puntuaciones->columnCount(); ++column)
        m_ui->puntuaciones->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    connect(m_ui->cerrar, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->juez, &QComboBox::currentIndexChanged, this, &PaperCheckWindow::showJudge);
    KeyboardHelper* keyboard =
        KeyboardHelper::install(this, {.enterAsTab = true, .escapeCloses = true, .legend = nullptr});
    keyboard->onEnter(m_ui->puntuaciones, [this] { markSelected(); });
}

PaperCheckWindow::~PaperCheckWindow() = default;

int PaperCheckWindow::exec()
{
    load();
    return QDialog::exec();
}

// The judges of the show, and any other judge whose rows are still unchecked.
void PaperCheckWindow::load()
{
    guarded(this, [this] {
        int judges = judging::ScoringRule::read(m_state.mainDb).jueces;
        for (const records::UncheckedCount& judge : records::uncheckedCounts(m_state.mainDb))
            judges = std::max(judges, judge.juez);
        const QSignalBlocker quiet(m_ui->juez);
        const int chosen = std::max(0, m_ui->juez->currentIndex());
        m_ui->juez->clear();
        for (int juez = 1; juez <= judges; ++juez)
            m_ui->juez->addItem(QString::number(juez), juez);
        m_ui->juez->setCurrentIndex(std::min(chosen, m_ui->juez->count() - 1));
    });
    showJudge();
    m_ui->puntuaciones->setFocus();
}

void PaperCheckWindow::showJudge()
{
    QTreeWidget* list = m_ui->puntuaciones;
    const int selected = std::max(0, list->indexOfTopLevelItem(list->currentItem()));
    list->clear();
    m_rows.clear();
    const int juez = m_ui->juez->currentData().toInt();
    guarded(this, [&] { m_rows = records::uncheckedRows(m_state.mainDb, juez); });
    for (const records::PaperRow& row : m_rows) {
        QStringList columns{row.jaula};
        for (double value : row.puntos)
            columns << formats::score(value);
        columns << formats::score(row.total);
        auto* item = new QTreeWidgetItem(columns);
        for (int column = 0; column < list->columnCount(); ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        list->addTopLevelItem(item);
    }
    if (!m_rows.empty())
        list->setCurrentItem(list->topLevelItem(std::min(selected, int(m_rows.size()) - 1)));
    m_ui->quedan->setText(m_rows.empty()
                              ? QStringLiteral("Juez %1: todas las puntuaciones comprobadas").arg(juez)
                              : records::uncheckedText({juez, int(m_rows.size())}));
}

// The next row takes the checked one's place in the list, so Enter after Enter reads down the sheet.
void PaperCheckWindow::markSelected()
{
    const int index = m_ui->puntuaciones->indexOfTopLevelItem(m_ui->puntuaciones->currentItem());
    if (index < 0 || index >= int(m_rows.size()))
        return;
    if (guarded(this, [&] { records::markChecked(m_state.mainDb, m_rows[std::size_t(index)]); }))
        showJudge();
}
