#pragma once

#include <QDialog>
#include <functional>
#include <memory>

struct AppState;
class QListWidgetItem;

namespace Ui
{
class ShowCheckWindow;
}

// "Comprobar la exposición": the checks before closing, one warning a line and their count below.
// Enter or a double click on a line about a cage opens that cage in reception, and the checks run
// again when it closes.
class ShowCheckWindow : public QDialog
{
    Q_OBJECT
public:
    ShowCheckWindow(AppState& state, QWidget* parent);
    ~ShowCheckWindow() override;

    // Runs the checks again each time the window is shown.
    int exec() override;
    void load();

    // Opens a cage in reception; without it a line opens nothing.
    void setCageOpener(std::function<void(int)> opener) { m_openCage = std::move(opener); }

private:
    void openLine(QListWidgetItem* item);

    AppState& m_state;
    std::unique_ptr<Ui::ShowCheckWindow> m_ui;
    std::function<void(int)> m_openCage;
};
