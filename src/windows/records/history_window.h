#pragma once

#include <QDialog>
#include <memory>

struct AppState;

namespace Ui
{
class HistoryWindow;
}

// "Historial": every change on record in the open exhibition, oldest first, one line each, as
// palomas-cli historial prints them; the boxes "Jaula" and "Juez" keep only the lines of a cage,
// of a judge, or of both, as they are typed.
class HistoryWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HistoryWindow(AppState& state, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Reads the history again each time the window is shown, with the newest line in view.
    int exec() override;
    void load();

private:
    AppState& m_state;
    std::unique_ptr<Ui::HistoryWindow> m_ui;
};
