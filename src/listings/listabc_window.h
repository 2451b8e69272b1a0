#pragma once

#include "listings/listing.h"

#include <QDialog>
#include <memory>

struct AppState;

namespace Ui
{
class ListabcWindow;
}

// Listabc: the classification of one group (A to C) and sex chosen in the menu, shown as its
// preview text, which is printed or saved as it stands.
class ListabcWindow : public QDialog
{
    Q_OBJECT
public:
    ListabcWindow(AppState& state, QWidget* parent = nullptr);
    ~ListabcWindow() override;

    // The opening sequence: captions, picture and preview text from the current selection.
    void load();
    int exec() override;

    // The listing as the window shows it now (its labels and its text).
    listings::Listing shown() const;

private:
    AppState& m_state;
    std::unique_ptr<Ui::ListabcWindow> m_ui;
    QString m_text; // the preview text with its CR LF line ends
};
