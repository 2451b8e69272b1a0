#pragma once

#include "rules/clubs/club.h"

#include <QDialog>
#include <memory>
#include <vector>

class QAction;
class QTreeWidgetItem;
struct AppState;

namespace Ui
{
class ClubMaintenanceWindow;
}

// "Club": the clubs of Club.mdb, which outlive the exhibitions. Lists them by code as text and
// adds, changes and deletes them; each operation has its toolbar button and Ctrl key, and the
// keys act in every state. When the window closes, the shared clubs result holds every club.
class ClubMaintenanceWindow : public QDialog
{
    Q_OBJECT
public:
    ClubMaintenanceWindow(AppState& state, QWidget* parent);
    ~ClubMaintenanceWindow() override;

    // The opening work, done each time the window is shown: consultation, the list filled.
    void load();
    int exec() override;

private:
    // The operations.
    void grabar();
    void anular();
    void modificar();
    void aceptar();
    void cancelar();
    void openSearch();
    void searchByName();

    void fill();
    void showEntry(int index);
    void select(int index);
    int selectedIndex() const;
    clubs::Club typedClub() const;
    void showClub(const clubs::Club& club);
    void clearFields();
    void enterEntry(const QString& status, const QString& caption);
    void leaveEntry();
    void enableButtons(std::initializer_list<QAction*> buttons, bool enabled);
    bool handleKey(int digit);

    AppState& m_state;
    std::unique_ptr<Ui::ClubMaintenanceWindow> m_ui;
    std::vector<clubs::Club> m_clubs; // the list's clubs, in its order: entry i is record i of ClubRs
    bool m_newClub = false;
    int m_shown = -1;       // the index of the club the fields show; ClubRs stands on it
    bool m_filling = false; // the list is being changed by the window, not by the user
};
