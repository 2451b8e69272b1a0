#pragma once

#include "rules/import/reception_import.h"

#include <QDialog>
#include <memory>
#include <vector>

struct AppState;
class SheetPreview;
class WorkbookChooser;

namespace Ui
{
class ReceptionImportWindow;
}

// "Importar Recepcion de Palomas" (Idatosexr): picks a census workbook, reads its sheet "Hoja1"
// into the preview, and stores the birds with "&Grabar".
class ReceptionImportWindow : public QDialog
{
    Q_OBJECT
public:
    ReceptionImportWindow(AppState& state, QWidget* parent);
    ~ReceptionImportWindow() override;

    // The opening work, done each time the window is shown: drive "A:", an empty preview.
    void load();
    int exec() override;

private:
    void aceptar();
    void grabar();

    AppState& m_state;
    std::unique_ptr<Ui::ReceptionImportWindow> m_ui;
    WorkbookChooser* m_chooser = nullptr;
    std::unique_ptr<SheetPreview> m_preview;
    std::vector<imports::ReceptionRow> m_rows; // what the preview shows and Grabar stores
};
