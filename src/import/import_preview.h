#pragma once

// The preview list of the import windows (ListView1): one entry per data row, in sheet order,
// with its cage as the entry's tag, and a last column "Motivo" that says why a row will not be
// stored. Refused rows are shown in red, skipped rows in grey.

#include "import/sheet_rows.h"

#include <QStringList>
#include <vector>

class QLabel;
class QTreeWidget;

namespace preview
{

struct Column {
    QString title;
    int width;
    bool number = false; // right-aligned
};

// Sets the columns, with "Motivo" after them.
void setColumns(QTreeWidget* list, const std::vector<Column>& columns);

// Replaces the entries: one per row of texts (the first text is also the entry's tag), marked
// by the row's status.
void fill(QTreeWidget* list, const std::vector<QStringList>& rows,
          const std::vector<imports::RowStatus>& statuses);

// Marks the entries again, for statuses that changed (another judge).
void mark(QTreeWidget* list, const std::vector<imports::RowStatus>& statuses);

// Tells on the label how many entries will be refused; empty when none.
void showRefused(QLabel* label, const std::vector<imports::RowStatus>& statuses);

} // namespace preview
