#pragma once

#include "rules/import/score_import.h"

#include <QDialog>
#include <memory>
#include <vector>

struct AppState;
class SheetPreview;
class WorkbookChooser;

namespace Ui
{
class ScoreImportWindow;
}

// "Importar Puntuacion de los Jueces" (Idatosexc): picks a judge's workbook, reads its sheet
// "Hoja1" into the preview and the judge's number into "Juez nº", and stores the scores with
// "&Grabar". The birds' final scores are brought up to date by the next reception list reload.
class ScoreImportWindow : public QDialog
{
    Q_OBJECT
public:
    ScoreImportWindow(AppState& state, QWidget* parent);
    ~ScoreImportWindow() override;

    // The opening work, done each time the window is shown: drive "A:", an empty preview.
    void load();
    int exec() override;

private:
    void aceptar();
    void grabar();
    // The verdicts of the rows for the judge in "Juez nº".
    std::vector<imports::RowStatus> statuses() const;

    AppState& m_state;
    std::unique_ptr<Ui::ScoreImportWindow> m_ui;
    WorkbookChooser* m_chooser = nullptr;
    std::unique_ptr<SheetPreview> m_preview;
    std::vector<imports::ScoreRow> m_rows; // what the preview shows and Grabar stores
};
