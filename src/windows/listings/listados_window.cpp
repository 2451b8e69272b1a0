#include "windows/listings/listados_window.h"

#include "kit/wait_cursor.h"
#include "rules/listings/openings.h"
#include "ui_listados_window.h"
#include "windows/listings/listing_output.h"
#include "windows/listings/listing_window_style.h"
#include "windows/shell/app_state.h"

#include <QHeaderView>

namespace
{

enum Column { Orden, Anilla, Conc, Coef, Propietario, Jaula };

} // namespace

ListadosWindow::ListadosWindow(AppState& state, QWidget* parent)
    : ListingWindow(state, parent), m_ui(std::make_unique<Ui::ListadosWindow>())
{
    m_ui->setupUi(this);
    listings::styleTitles(m_ui->Label1, m_ui->Label2, m_ui->Label3);
    setUpOutput(m_ui->Command2, listings::outputControls(*m_ui, m_ui->Text1, m_ui->ListView1));
    QHeaderView* header = m_ui->ListView1->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(Propietario, QHeaderView::Stretch);
}

ListadosWindow::~ListadosWindow() = default;

void ListadosWindow::load()
{
    listings::Listing listing;
    {
        WaitCursor wait;
        listing = listings::openGroupD(m_state.mainDb, m_state.configText(QStringLiteral("nombre")),
                                       m_state.selGrupo, m_state.selCateg, m_state.selSexo);
    }
    listings::showTitles(this, listing.titles, m_ui->Label1, m_ui->Label2, m_ui->Label3);

    std::vector<std::pair<int, QStringList>> rows;
    rows.reserve(listing.groupD.size());
    for (const listings::GroupDRow& row : listing.groupD)
        rows.emplace_back(row.orden, QStringList{QString::number(row.orden), row.anilla, row.conc, row.coef,
                                                 row.propietario, row.jaula});
    QTreeWidget* list = m_ui->ListView1;
    showRows(list, rows);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        for (int column : {Conc, Coef, Jaula})
            list->topLevelItem(i)->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    for (int column : {Orden, Anilla, Conc, Coef, Jaula})
        list->resizeColumnToContents(column);
    m_output->reset();
}

listings::Listing ListadosWindow::shown() const
{
    listings::Listing listing;
    listing.kind = listings::ListingKind::GroupD;
    listing.titles = {windowTitle(), m_ui->Label1->text(), m_ui->Label2->text(), m_ui->Label3->text()};
    for (const auto& [orden, cells] : rowsShown(m_ui->ListView1))
        listing.groupD.push_back(
            {orden, cells[Anilla], cells[Conc], cells[Coef], cells[Propietario], cells[Jaula]});
    return listing;
}
