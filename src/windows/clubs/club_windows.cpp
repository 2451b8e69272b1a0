#include "windows/clubs/club_windows.h"

#include "kit/messages.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>

namespace clubs
{

void emphasize(QLabel* heading, double scale)
{
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * scale);
    heading->setFont(font);
}

void keepPlace(QWidget* legend)
{
    QSizePolicy policy = legend->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    legend->setSizePolicy(policy);
}

void sameWidth(QWidget* first, QWidget* second)
{
    const int width = std::max(first->sizeHint().width(), second->sizeHint().width());
    first->setMinimumWidth(width);
    second->setMinimumWidth(width);
}

void setUpList(QTreeWidget* list)
{
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::Interactive);
    header->resizeSection(0, 70);
    header->resizeSection(2, 150);
}

void fillList(QTreeWidget* list, const std::vector<Club>& clubs, ListEntry (*entryOf)(const Club&))
{
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(clubs.size()));
    for (const Club& club : clubs) {
        const ListEntry entry = entryOf(club);
        auto* item = new QTreeWidgetItem({entry.text, entry.nombre, entry.provincia});
        item->setData(0, Qt::UserRole, entry.tag);
        items << item;
    }
    list->addTopLevelItems(items);
}

void showNotFound(QWidget* parent)
{
    Messages::inform(parent, QStringLiteral("Programa para Exposiciones de Palomas Mensajeras"),
                     QStringLiteral("No se ha encontrado"));
}

} // namespace clubs
