#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class QLabel;
struct AppState;
class ConfigWindow;
class ReceptionWindow;

class JudgingWindow;

class ClubMaintenanceWindow;

class ListabcWindow;
class ListadosWindow;
class ListadoClWindow;

class ReceptionImportWindow;
class ScoreImportWindow;

class BackupsWindow;
class ShowCheckWindow;
class PaperCheckWindow;

class NetworkWindow;
class HistoryWindow;
class PrintoutWindow;

namespace Ui
{
class MainWindow;
}

// The window of an open exhibition: its name, region and emblem, the status bar, and the menu
// from which every task window is opened modally. Closing it returns to the start-up window.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(AppState& state, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The opening sequence. False, after an "Aviso" box, when the exhibition cannot be opened;
    // the shared state is then left as it was.
    bool openExhibition();

    // Shows the window modally and returns when it is closed.
    void runModal();

    // A click on a status bar panel: "texto", "dia" or "hora".
    void panelClicked(const QString& key);

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A menu item that opens a task: its action runs guarded, so that a store failure leaves
    // the main window usable.
    void connectTask(QAction* action, std::function<void()> open);
    // The listing choice handed to the listing windows, always all three, in this order.
    void selectListing(const QString& grupo, const QString& categ, const QString& sexo);
    // The exhibition's name and region, as ConfigRs holds them.
    void showConfiguration();
    void showStatusTimes();
    void setUpHeading();
    void setUpStatusBar();
    void connectTasks();
    void connectListings();
    void connectBackups();
    void connectChecks();
    ReceptionWindow& reception();
    void connectClosing();
    // The exhibition's name, region and emblem, the status text and the caption.
    void showExhibition();
    // After a copy was restored: the window shows the restored exhibition, and every task window
    // starts afresh from it.
    void showRestored();

    template <class Window> void showTask(std::unique_ptr<Window>& window)
    {
        if (!window)
            window = std::make_unique<Window>(m_state, this);
        window->exec();
    }

    AppState& m_state;
    std::unique_ptr<Ui::MainWindow> m_ui;
    QLabel* m_texto = nullptr;
    QLabel* m_dia = nullptr;
    QLabel* m_hora = nullptr;
    QLabel* m_archivo = nullptr; // the open file's path
    bool m_switch = false;       // the panel click's switch
    bool m_diaShowsDate = true;

    // The task windows, one instance each, created when first shown.
    std::unique_ptr<ReceptionWindow> m_reception;
    std::unique_ptr<ConfigWindow> m_config;

    std::unique_ptr<JudgingWindow> m_judging;

    std::unique_ptr<ClubMaintenanceWindow> m_club;

    std::unique_ptr<ListabcWindow> m_listabc;
    std::unique_ptr<ListadosWindow> m_listados;
    std::unique_ptr<ListadoClWindow> m_listadoCl;

    std::unique_ptr<ReceptionImportWindow> m_receptionImport;
    std::unique_ptr<ScoreImportWindow> m_scoreImport;

    std::unique_ptr<BackupsWindow> m_backups;

    // The checks before closing, and the scores read against the judges' sheets.
    std::unique_ptr<ShowCheckWindow> m_showCheck;
    std::unique_ptr<PaperCheckWindow> m_paperCheck;

    // Kept while the exhibition is open, since the server it started runs on
    std::unique_ptr<NetworkWindow> m_network;
    std::unique_ptr<HistoryWindow> m_history;
    // The printouts: labels, judges' sheets, catalogue, receipts.
    std::array<std::unique_ptr<PrintoutWindow>, 4> m_printouts;
};
