#include "listings/listados_window.h"

#include "listings/listing_window_style.h"
#include "listings/openings.h"
#include "shell/app_state.h"
#include "shell/keyboard.h"
#include "shell/store_guard.h"
#include "shell/wait_cursor.h"
#include "ui_listados_window.h"

#include <QHeaderView>

namespace
{

enum Column { Orden, Anilla, Conc, Coef, Propietario, Jaula };

} // namespace

ListadosWindow::ListadosWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ListadosWindow>())
{
    m_ui->setupUi(this);
    listings::styleTitles(m_ui->Label1, m_ui->Label2, m_ui->Label3);
    KeyboardHelper::install(this, {.enterAsTab = false, .escapeCloses = true, .legend = nullptr});
    connect(m_ui->Command2, &QPushButton::clicked, this, &QDialog::reject);
    QHeaderView* header = m_ui->ListView1->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(Propietario, QHeaderView::Stretch);
}

ListadosWindow::~ListadosWindow() = default;

int ListadosWindow::exec()
{
    if (!guarded(this, [this] { load(); }))
        return QDialog::Rejected;
    return QDialog::exec();
}

void ListadosWindow::load()
{
    listings::Listing listing;
    {
        WaitCursor wait;
        listing = listings::openGroupD(m_state.mainDb, m_state.configText(QStringLiteral("nombre")),
                                       m_state.selGrupo, m_state.selCateg, m_state.selSexo);
    }
    setWindowTitle(listing.titles.caption);
    m_ui->Label1->setText(listing.titles.label1);
    m_ui->Label2->setText(listing.titles.label2);
    m_ui->Label3->setText(listing.titles.label3);

    QTreeWidget* list = m_ui->ListView1;
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(listing.groupD.size()));
    for (const listings::GroupDRow& row : listing.groupD) {
        auto* item = new QTreeWidgetItem(QStringList{QString::number(row.orden), row.anilla, row.conc,
                                                     row.coef, row.propietario, row.jaula});
        item->setData(Orden, Qt::UserRole, row.orden);
        for (int column : {Orden, Conc, Coef, Jaula})
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    list->addTopLevelItems(items);
    for (int column = 0; column < list->columnCount(); ++column)
        list->resizeColumnToContents(column);

    m_ui->Frame1->hide();
    m_ui->Text1->clear();
}

listings::Listing ListadosWindow::shown() const
{
    listings::Listing listing;
    listing.kind = listings::ListingKind::GroupD;
    listing.titles = {windowTitle(), m_ui->Label1->text(), m_ui->Label2->text(), m_ui->Label3->text()};
    const QTreeWidget* list = m_ui->ListView1;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        listing.groupD.push_back({item->data(Orden, Qt::UserRole).toInt(), item->text(Anilla),
                                  item->text(Conc), item->text(Coef), item->text(Propietario),
                                  item->text(Jaula)});
    }
    return listing;
}
