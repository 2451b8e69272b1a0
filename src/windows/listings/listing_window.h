#pragma once

// What the three listing windows share: the opening work done at each showing, Esc and
// "&Salir", the output buttons, and the list of rows numbered by their tag.

#include "rules/listings/listing.h"

#include <QDialog>
#include <utility>
#include <vector>

class QLineEdit;
class QPushButton;
class QTreeWidget;
struct AppState;

namespace listings
{

class ListingOutput;
struct OutputControls;

class ListingWindow : public QDialog
{
    Q_OBJECT
public:
    // The opening sequence, from the current selection and database.
    virtual void load() = 0;
    // Runs the opening sequence, then shows the window modally; a store failure is reported
    // and the window is not shown half built.
    int exec() override;

    // The listing as the window shows it now: what its output prints and saves.
    virtual Listing shown() const = 0;

protected:
    ListingWindow(AppState& state, QWidget* parent);

    // After the form is set up: keyboard, "&Salir" and the output controls.
    void setUpOutput(QPushButton* salir, const OutputControls& controls);

    // Rows of the list: each row's tag (its order number) and its cells, the first cell the
    // order number as text.
    static void showRows(QTreeWidget* list, const std::vector<std::pair<int, QStringList>>& rows);
    static std::vector<std::pair<int, QStringList>> rowsShown(const QTreeWidget* list);

    AppState& m_state;
    ListingOutput* m_output = nullptr; // owned by the window
};

} // namespace listings
