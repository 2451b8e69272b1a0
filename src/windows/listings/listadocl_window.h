#pragma once

#include "windows/listings/listing_window.h"

#include <memory>

namespace Ui
{
class ListadoClWindow;
}

// ListadoCl: the provinces ranked by the places of their clubs' birds in every classification,
// computed anew at each opening.
class ListadoClWindow : public listings::ListingWindow
{
    Q_OBJECT
public:
    ListadoClWindow(AppState& state, QWidget* parent = nullptr);
    ~ListadoClWindow() override;

    void load() override;
    listings::Listing shown() const override;

private:
    std::unique_ptr<Ui::ListadoClWindow> m_ui;
};
