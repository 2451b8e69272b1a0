#pragma once

#include "windows/listings/listing_window.h"

#include <memory>

namespace Ui
{
class ListadosWindow;
}

// Listados: the group D birds of the category chosen in the menu, ranked by contests and
// coefficient.
class ListadosWindow : public listings::ListingWindow
{
    Q_OBJECT
public:
    ListadosWindow(AppState& state, QWidget* parent = nullptr);
    ~ListadosWindow() override;

    void load() override;
    listings::Listing shown() const override;

private:
    std::unique_ptr<Ui::ListadosWindow> m_ui;
};
