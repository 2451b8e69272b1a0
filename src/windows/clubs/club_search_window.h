#pragma once

#include "rules/clubs/club.h"

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

struct AppState;

namespace Ui
{
class ClubSearchWindow;
}

// "Ayuda de Club": picks a club for the reception's club box. Lists every club by code (as a
// number) or by name, finds one by its code or the beginning of its name, and hands back the
// chosen club's code as stored. It never writes a club; the shared clubs result is left over
// every club in the order last used here.
//
//     ClubSearchWindow search(state, parent);
//     std::optional<QString> code = search.choose();
class ClubSearchWindow : public QDialog
{
    Q_OBJECT
public:
    ClubSearchWindow(AppState& state, QWidget* parent);
    ~ClubSearchWindow() override;

    // Shows the window modally: the chosen club's code, or nothing when it was closed without
    // a choice.
    std::optional<QString> choose();

    // The opening work, done each time the window is shown: by code, first entry selected.
    void load();
    int exec() override;
    const std::optional<QString>& chosen() const { return m_chosen; }

private:
    void fill(clubs::Order order);
    void orderBy(clubs::Order order);
    void chooseSelected();
    void openSearch();
    void presetPattern();
    void search();
    void select(int index);

    AppState& m_state;
    std::unique_ptr<Ui::ClubSearchWindow> m_ui;
    std::vector<clubs::Club> m_clubs; // the list's clubs, in its order
    std::optional<QString> m_chosen;
};
