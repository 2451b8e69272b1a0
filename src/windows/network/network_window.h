#pragma once

// "Red de la Exposición": the organiser starts and stops the show's server here and sees what
// to open on a phone (the address as text and QR code, and the key), how many devices are
// connected and the last scores received. The server runs on when the window is closed; it
// stops with the exhibition, when this window goes with the main window.

#include "server/show_server.h"

#include <QDialog>
#include <memory>

struct AppState;

namespace Ui
{
class NetworkWindow;
}

class NetworkWindow : public QDialog
{
    Q_OBJECT

public:
    // The scores kept in the list, newest first.
    static constexpr int shownScores = 20;

    NetworkWindow(AppState& state, QWidget* parent = nullptr);
    ~NetworkWindow() override;

    bool serving() const { return m_show.running(); }

private:
    void start();
    void stop();
    void showState();
    void changeKey();
    void showScore(const server::ScoreNotice& notice);
    void showLine(const QString& line);

    AppState& m_state;
    std::unique_ptr<Ui::NetworkWindow> m_ui;
    server::ShowServer m_show;
};
