#pragma once

#include <QMainWindow>
#include <memory>

struct AppState;

namespace Ui
{
class StartupWindow;
}

// The first and the last window: creates a new exhibition or picks an existing one, then runs
// the main window above itself. Closing it ends the program.
class StartupWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit StartupWindow(AppState& state, QWidget* parent = nullptr);
    ~StartupWindow() override;

private:
    void nuevo();
    void checkExists();
    void aceptar();
    void cancelar();
    void existente();
    void archivoAbrir();
    void openMainWindow();

    AppState& m_state;
    std::unique_ptr<Ui::StartupWindow> m_ui;
};
