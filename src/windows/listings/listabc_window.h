#pragma once

#include "windows/listings/listing_window.h"

#include <memory>

namespace Ui
{
class ListabcWindow;
}

// Listabc: the classification of one group (A to C) and sex chosen in the menu, shown as its
// preview text, which is printed or saved as it stands.
class ListabcWindow : public listings::ListingWindow
{
    Q_OBJECT
public:
    ListabcWindow(AppState& state, QWidget* parent = nullptr);
    ~ListabcWindow() override;

    // Captions, picture and preview text from the current selection.
    void load() override;
    listings::Listing shown() const override;

private:
    std::unique_ptr<Ui::ListabcWindow> m_ui;
    QString m_text; // the preview text with its CR LF line ends
};
