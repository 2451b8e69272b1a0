#pragma once

#include "rules/records/paper_checks.h"

#include <QDialog>
#include <memory>
#include <vector>

struct AppState;

namespace Ui
{
class PaperCheckWindow;
}

// "Comprobar las hojas de los jueces": a judge's score rows not yet read against his paper sheet,
// with their five values and total. Enter marks the selected row checked and moves on to the
// next; the label says how many are left.
class PaperCheckWindow : public QDialog
{
    Q_OBJECT
public:
    PaperCheckWindow(AppState& state, QWidget* parent);
    ~PaperCheckWindow() override;

    int exec() override;
    void load();

private:
    void showJudge();
    void markSelected();

    AppState& m_state;
    std::unique_ptr<Ui::PaperCheckWindow> m_ui;
    std::vector<records::PaperRow> m_rows; // the list's rows, in its order
};
