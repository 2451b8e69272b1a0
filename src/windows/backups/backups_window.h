#pragma once

#include "rules/backups/copies.h"

#include <QDialog>
#include <memory>
#include <vector>

struct AppState;

namespace Ui
{
class BackupsWindow;
}

// "Copias de seguridad": the copies of the open exhibition, newest first, with the date and time
// each was taken and how many cages and score rows it holds; "Restaurar" puts the exhibition
// back as the chosen copy holds it, after a confirmation, and reopens it.
class BackupsWindow : public QDialog
{
    Q_OBJECT
public:
    BackupsWindow(AppState& state, QWidget* parent);
    ~BackupsWindow() override;

    // Lists the copies again each time the window is shown.
    int exec() override;
    void load();

    // Whether the exhibition was replaced by a copy while the window was open.
    bool restored() const { return m_restored; }

private:
    void restaurar();

    AppState& m_state;
    std::unique_ptr<Ui::BackupsWindow> m_ui;
    std::vector<backups::Copy> m_copies; // the list's copies, in its order
    bool m_restored = false;
};
