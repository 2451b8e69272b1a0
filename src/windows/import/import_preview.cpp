#include "windows/import/import_preview.h"

#include "kit/messages.h"
#include "kit/store_guard.h"
#include "kit/wait_cursor.h"
#include "rules/import/worksheet.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace
{

const QColor refusedText(160, 0, 0);
const QColor refusedBack(253, 232, 232);
const QColor skippedText(120, 120, 120);

void markItem(QTreeWidgetItem* item, const imports::RowStatus& status)
{
    const int columns = item->columnCount();
    item->setText(columns - 1, status.reason);
    item->setToolTip(columns - 1, status.reason);
    for (int c = 0; c < columns; ++c) {
        switch (status.verdict) {
        case imports::Verdict::Store:
            item->setData(c, Qt::ForegroundRole, QVariant());
            item->setData(c, Qt::BackgroundRole, QVariant());
            break;
        case imports::Verdict::Skip:
            item->setForeground(c, skippedText);
            item->setData(c, Qt::BackgroundRole, QVariant());
            break;
        case imports::Verdict::Refuse:
            item->setForeground(c, refusedText);
            item->setBackground(c, refusedBack);
            break;
        }
    }
}

} // namespace

SheetPreview::SheetPreview(QWidget* window, Controls controls, const std::vector<Column>& columns)
    : m_window(window), m_controls(controls)
{
    QTreeWidget* list = m_controls.list;
    QStringList titles;
    for (const Column& column : columns)
        titles << column.title;
    titles << QStringLiteral("Motivo");
    list->setColumnCount(int(titles.size()));
    list->setHeaderLabels(titles);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->header()->setStretchLastSection(true);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        list->header()->resizeSection(int(c), columns[c].width);
        if (columns[c].number)
            list->headerItem()->setTextAlignment(int(c), Qt::AlignRight | Qt::AlignVCenter);
    }
}

void SheetPreview::clear()
{
    m_controls.list->clear();
    m_controls.progress->hide();
    m_controls.status->hide();
    m_controls.refused->clear();
    m_controls.grabar->setEnabled(false);
}

bool SheetPreview::read(const std::function<void(const imports::Progress&)>& reading)
{
    m_controls.list->clear();
    m_controls.refused->clear();
    m_controls.grabar->setEnabled(false);
    m_controls.progress->setValue(0);
    m_controls.progress->show();
    try {
        WaitCursor wait;
        reading([this](int done, int total) {
            // While the reader process works, the bar runs busy and the window keeps drawing
            // itself; the keys and clicks wait for the reading to end.
            m_controls.progress->setMaximum(total);
            m_controls.progress->setValue(done);
            if (total == 0)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const imports::WorkbookError& e) {
        m_controls.progress->hide();
        Messages::inform(m_window, QStringLiteral("Aviso"), e.message());
        return false;
    }
    return true;
}

void SheetPreview::show(const std::vector<QStringList>& rows, const std::vector<imports::RowStatus>& statuses)
{
    QTreeWidget* list = m_controls.list;
    const int columns = list->columnCount();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        auto* item = new QTreeWidgetItem(rows[r]);
        item->setData(0, Qt::UserRole, rows[r].value(0)); // the tag: the cage
        while (item->columnCount() < columns)
            item->setText(item->columnCount(), QString());
        for (int c = 0; c + 1 < columns; ++c)
            if (list->headerItem()->textAlignment(c) & Qt::AlignRight)
                item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        markItem(item, statuses[r]);
        items << item;
    }
    list->addTopLevelItems(items);
    showRefused(statuses);
    m_controls.status->setText(QStringLiteral("Proceso Terminado"));
    m_controls.status->show();
    m_controls.progress->hide();
    m_controls.grabar->setEnabled(!rows.empty());
}

void SheetPreview::mark(const std::vector<imports::RowStatus>& statuses)
{
    for (int r = 0; r < m_controls.list->topLevelItemCount() && std::size_t(r) < statuses.size(); ++r)
        markItem(m_controls.list->topLevelItem(r), statuses[std::size_t(r)]);
    showRefused(statuses);
}

bool SheetPreview::grabar(const std::function<QString()>& pass)
{
    QString summary;
    const bool stored = guarded(m_window, [&] {
        WaitCursor wait;
        summary = pass();
    });
    if (stored)
        Messages::inform(m_window, QStringLiteral("Aviso"), summary);
    return stored;
}

void SheetPreview::showRefused(const std::vector<imports::RowStatus>& statuses)
{
    const auto refused = std::count_if(statuses.begin(), statuses.end(), [](const imports::RowStatus& s) {
        return s.verdict == imports::Verdict::Refuse;
    });
    if (refused == 0)
        m_controls.refused->clear();
    else if (refused == 1)
        m_controls.refused->setText(QStringLiteral("1 fila rechazada (en rojo): no se grabará"));
    else
        m_controls.refused->setText(
            QStringLiteral("%1 filas rechazadas (en rojo): no se grabarán").arg(refused));
}
