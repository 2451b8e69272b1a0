#pragma once

#include "listings/listing.h"

#include <QDialog>
#include <memory>

struct AppState;

namespace Ui
{
class ListadosWindow;
}

// Listados: the group D birds of the category chosen in the menu, ranked by contests and
// coefficient.
class ListadosWindow : public QDialog
{
    Q_OBJECT
public:
    ListadosWindow(AppState& state, QWidget* parent = nullptr);
    ~ListadosWindow() override;

    void load();
    int exec() override;

    // The listing as the window shows it now: its labels and the rows of its list.
    listings::Listing shown() const;

private:
    AppState& m_state;
    std::unique_ptr<Ui::ListadosWindow> m_ui;
};
