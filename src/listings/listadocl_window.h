#pragma once

#include "listings/listing.h"

#include <QDialog>
#include <memory>

struct AppState;

namespace Ui
{
class ListadoClWindow;
}

// ListadoCl: the provinces ranked by the places of their clubs' birds in every classification,
// computed anew at each opening.
class ListadoClWindow : public QDialog
{
    Q_OBJECT
public:
    ListadoClWindow(AppState& state, QWidget* parent = nullptr);
    ~ListadoClWindow() override;

    void load();
    int exec() override;

    // The listing as the window shows it now: its labels and the rows of its list.
    listings::Listing shown() const;

private:
    AppState& m_state;
    std::unique_ptr<Ui::ListadoClWindow> m_ui;
};
