#pragma once

// What the two import windows share below the file choice: the preview list (ListView1), one
// entry per data row in sheet order with its cage as the entry's tag and a last column "Motivo"
// that says why a row will not be stored (refused rows in red, skipped rows in grey); the
// progress bar while the sheet is read; the status line "Proceso Terminado"; and "&Grabar".

#include "rules/import/sheet_rows.h"

#include <QStringList>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QWidget;

class SheetPreview
{
public:
    struct Controls {
        QTreeWidget* list = nullptr;      // ListView1
        QProgressBar* progress = nullptr; // ProgressBar1
        QLineEdit* status = nullptr;      // Text1
        QLabel* refused = nullptr;        // the count of refused rows
        QPushButton* grabar = nullptr;    // Command3
    };
    struct Column {
        QString title;
        int width = 60;
        bool number = false; // right-aligned
    };

    // Sets the columns, with "Motivo" after them.
    SheetPreview(QWidget* window, Controls controls, const std::vector<Column>& columns);

    // The opening: no entries, the progress bar and the status line hidden, Grabar disabled.
    void clear();

    // Empties the preview and runs the reading with the progress bar shown: busy while the
    // workbook is read, then the rows. A workbook that cannot be read is told in an "Aviso" box;
    // false then, with the preview left empty.
    bool read(const std::function<void(const imports::Progress&)>& reading);

    // Shows the rows read (the first text of each is also the entry's tag), marked by their
    // statuses; "Proceso Terminado"; Grabar enabled when there are rows.
    void show(const std::vector<QStringList>& rows, const std::vector<imports::RowStatus>& statuses);

    // Marks the entries again, for statuses that changed (another judge).
    void mark(const std::vector<imports::RowStatus>& statuses);

    // Runs the storing pass with the wait cursor, guarded; shows the summary it returns in an
    // "Aviso" box. False when the store failed (nothing stored, the window stays as it is).
    bool grabar(const std::function<QString()>& pass);

private:
    void showRefused(const std::vector<imports::RowStatus>& statuses);

    QWidget* m_window;
    Controls m_controls;
};
