#pragma once

// The window of one show-day printout ("Impresos" in the main menu): "Vista previa", "Imprimir"
// and "PDF" of the printout as the exhibition stands when the button is pressed; for the labels,
// the sheet's margins and the show's network address for their QR codes.

#include "output/printout.h"
#include "output/printouts/show_printouts.h"

#include <QDialog>
#include <memory>
#include <optional>

class QBoxLayout;
struct AppState;

namespace Ui
{
class PrintoutWindow;
}

class PrintoutWindow : public QDialog
{
    Q_OBJECT
public:
    PrintoutWindow(AppState& state, printouts::Kind kind, QWidget* parent = nullptr);
    ~PrintoutWindow() override;

    // Where a printout's own further buttons go, beside "PDF" (the judges' workbooks).
    QBoxLayout* extraButtons() const;

    void vistaPrevia();
    void imprimir();
    void pdf();
    // The judges' sheets as workbooks, one for each judge, to be filled in and imported back.
    void libros();

protected:
    // Takes the network address the show is served at, while it is served.
    void showEvent(QShowEvent* event) override;

private:
    printouts::Options options() const;
    // Whether the labels may carry the address typed: true unless it differs from the server's
    // and the user says No.
    bool addressAgreed();
    // The pages as the exhibition stands; nothing, after telling why, when there is nothing to print.
    std::optional<listings::Printout> pages();

    AppState& m_state;
    printouts::Kind m_kind;
    std::unique_ptr<Ui::PrintoutWindow> m_ui;
};
