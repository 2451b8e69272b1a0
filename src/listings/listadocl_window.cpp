#include "listings/listadocl_window.h"

#include "listings/listing_window_style.h"
#include "listings/openings.h"
#include "shell/app_state.h"
#include "shell/keyboard.h"
#include "shell/store_guard.h"
#include "shell/wait_cursor.h"
#include "ui_listadocl_window.h"

#include <QHeaderView>

namespace
{

enum Column { Orden, Provincia, Puntos };

} // namespace

ListadoClWindow::ListadoClWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ListadoClWindow>())
{
    m_ui->setupUi(this);
    listings::styleTitles(m_ui->Label1, nullptr, m_ui->Label3);
    KeyboardHelper::install(this, {.enterAsTab = false, .escapeCloses = true, .legend = nullptr});
    connect(m_ui->Command2, &QPushButton::clicked, this, &QDialog::reject);
    QHeaderView* header = m_ui->ListView1->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(Provincia, QHeaderView::Stretch);
    m_ui->ListView1->setColumnWidth(Orden, 80);
    m_ui->ListView1->setColumnWidth(Puntos, 100);
}

ListadoClWindow::~ListadoClWindow() = default;

int ListadoClWindow::exec()
{
    if (!guarded(this, [this] { load(); }))
        return QDialog::Rejected;
    return QDialog::exec();
}

void ListadoClWindow::load()
{
    listings::Listing listing;
    {
        WaitCursor wait;
        listing = listings::openProvinces(m_state.mainDb, m_state.clubRs,
                                          m_state.configText(QStringLiteral("nombre")));
    }
    // The caption stays "Listados", as the form was drawn.
    m_ui->Label1->setText(listing.titles.label1);
    m_ui->Label3->setText(listing.titles.label3);

    QTreeWidget* list = m_ui->ListView1;
    list->clear();
    for (const listings::ProvinceRow& row : listing.provinces) {
        auto* item =
            new QTreeWidgetItem(list, QStringList{QString::number(row.orden), row.provincia, row.puntos});
        item->setData(Orden, Qt::UserRole, row.orden);
        item->setTextAlignment(Orden, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(Puntos, Qt::AlignRight | Qt::AlignVCenter);
    }

    m_ui->Frame1->hide();
    m_ui->Text1->clear();
}

listings::Listing ListadoClWindow::shown() const
{
    listings::Listing listing;
    listing.kind = listings::ListingKind::Province;
    listing.titles = {windowTitle(), m_ui->Label1->text(), QString(), m_ui->Label3->text()};
    const QTreeWidget* list = m_ui->ListView1;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        listing.provinces.push_back(
            {item->data(Orden, Qt::UserRole).toInt(), item->text(Provincia), item->text(Puntos)});
    }
    return listing;
}
