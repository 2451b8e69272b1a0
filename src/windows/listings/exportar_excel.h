#pragma once

// "Exportar a Excel" of the listings menu: every listing in one workbook, a sheet each.

class QWidget;
struct AppState;

namespace listings
{

// Asks where to save the workbook, writes it (scores brought up to date first) and tells how
// many sheets it holds, or why it could not be written.
void exportarAExcel(QWidget* parent, AppState& state);

} // namespace listings
