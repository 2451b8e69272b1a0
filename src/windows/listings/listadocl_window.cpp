#include "windows/listings/listadocl_window.h"

#include "kit/wait_cursor.h"
#include "rules/listings/openings.h"
#include "ui_listadocl_window.h"
#include "windows/listings/listing_output.h"
#include "windows/listings/listing_window_style.h"
#include "windows/shell/app_state.h"

#include <QHeaderView>

namespace
{

enum Column { Orden, Provincia, Puntos };

} // namespace

ListadoClWindow::ListadoClWindow(AppState& state, QWidget* parent)
    : ListingWindow(state, parent), m_ui(std::make_unique<Ui::ListadoClWindow>())
{
    m_ui->setupUi(this);
    listings::styleTitles(m_ui->Label1, nullptr, m_ui->Label3);
    setUpOutput(m_ui->Command2, listings::outputControls(*m_ui, m_ui->Text1, m_ui->ListView1));
    QHeaderView* header = m_ui->ListView1->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(Provincia, QHeaderView::Stretch);
    m_ui->ListView1->setColumnWidth(Orden, 80);
    m_ui->ListView1->setColumnWidth(Puntos, 100);
}

ListadoClWindow::~ListadoClWindow() = default;

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

    std::vector<std::pair<int, QStringList>> rows;
    for (const listings::ProvinceRow& row : listing.provinces)
        rows.emplace_back(row.orden, QStringList{QString::number(row.orden), row.provincia, row.puntos});
    showRows(m_ui->ListView1, rows);
    for (int i = 0; i < m_ui->ListView1->topLevelItemCount(); ++i)
        m_ui->ListView1->topLevelItem(i)->setTextAlignment(Puntos, Qt::AlignRight | Qt::AlignVCenter);
    m_output->reset();
}

listings::Listing ListadoClWindow::shown() const
{
    listings::Listing listing;
    listing.kind = listings::ListingKind::Province;
    listing.titles = {windowTitle(), m_ui->Label1->text(), QString(), m_ui->Label3->text()};
    for (const auto& [orden, cells] : rowsShown(m_ui->ListView1))
        listing.provinces.push_back({orden, cells[Provincia], cells[Puntos]});
    return listing;
}
