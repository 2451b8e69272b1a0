#include "import/import_preview.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>

namespace preview
{

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

void setColumns(QTreeWidget* list, const std::vector<Column>& columns)
{
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

void fill(QTreeWidget* list, const std::vector<QStringList>& rows,
          const std::vector<imports::RowStatus>& statuses)
{
    list->clear();
    const int columns = list->columnCount();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        auto* item = new QTreeWidgetItem(rows[r]);
        item->setData(0, Qt::UserRole, rows[r].value(0)); // the tag: the cage
        for (int c = 0; c + 1 < columns; ++c)
            if (list->headerItem()->textAlignment(c) & Qt::AlignRight)
                item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        while (item->columnCount() < columns)
            item->setText(item->columnCount(), QString());
        markItem(item, statuses[r]);
        items << item;
    }
    list->addTopLevelItems(items);
}

void mark(QTreeWidget* list, const std::vector<imports::RowStatus>& statuses)
{
    for (int r = 0; r < list->topLevelItemCount() && std::size_t(r) < statuses.size(); ++r)
        markItem(list->topLevelItem(r), statuses[std::size_t(r)]);
}

void showRefused(QLabel* label, const std::vector<imports::RowStatus>& statuses)
{
    const auto refused = std::count_if(statuses.begin(), statuses.end(), [](const imports::RowStatus& s) {
        return s.verdict == imports::Verdict::Refuse;
    });
    if (refused == 0)
        label->clear();
    else if (refused == 1)
        label->setText(QStringLiteral("1 fila rechazada (en rojo): no se grabará"));
    else
        label->setText(QStringLiteral("%1 filas rechazadas (en rojo): no se grabarán").arg(refused));
}

} // namespace preview
