#include "windows/listings/listing_window.h"

#include "kit/keyboard.h"
#include "kit/store_guard.h"
#include "windows/listings/listing_output.h"

#include <QPushButton>
#include <QTreeWidget>

namespace listings
{

ListingWindow::ListingWindow(AppState& state, QWidget* parent) : QDialog(parent), m_state(state) {}

int ListingWindow::exec()
{
    if (!guarded(this, [this] { load(); }))
        return QDialog::Rejected;
    return QDialog::exec();
}

void ListingWindow::setUpOutput(QPushButton* salir, const OutputControls& controls)
{
    KeyboardHelper::install(this, {.enterAsTab = false, .escapeCloses = true, .legend = nullptr});
    connect(salir, &QPushButton::clicked, this, &QDialog::reject);
    m_output = new ListingOutput(this, m_state, controls, [this] { return shown(); });
}

void ListingWindow::showRows(QTreeWidget* list, const std::vector<std::pair<int, QStringList>>& rows)
{
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(rows.size()));
    for (const auto& [tag, cells] : rows) {
        auto* item = new QTreeWidgetItem(cells);
        item->setData(0, Qt::UserRole, tag);
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    list->addTopLevelItems(items);
}

std::vector<std::pair<int, QStringList>> ListingWindow::rowsShown(const QTreeWidget* list)
{
    std::vector<std::pair<int, QStringList>> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        QStringList cells;
        for (int column = 0; column < list->columnCount(); ++column)
            cells << item->text(column);
        rows.emplace_back(item->data(0, Qt::UserRole).toInt(), cells);
    }
    return rows;
}

} // namespace listings
