#pragma once

// "Cerrar la exposición" and "Reabrir" of the menu "Cierre": the checks, the question, the closing
// or reopening, and what the main window's status line says of it.

#include <QString>

class QWidget;
struct AppState;

namespace records
{

// Runs the checks; with warnings lists them and asks "¿Cerrar la exposición con N avisos?"; then
// closes and tells the seal. Store errors are the caller's guard's. True when the show was closed.
bool cerrarLaExposicion(QWidget* parent, AppState& state);

// Asks the reason (required) and reopens. True when the show was reopened.
bool reabrirLaExposicion(QWidget* parent, AppState& state);

// The status line's text: "Cerrada. Sello: XXXX-XXXX-XXXX" while the show is closed, otherwise
// the program's own line.
QString statusText(const AppState& state);

} // namespace records
