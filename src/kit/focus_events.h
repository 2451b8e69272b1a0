#pragma once

// Validation and preparation of controls when they lose or get the focus. Focus changes caused
// by another window (a message box, a popup list) are not the user's moves and are ignored.

#include <functional>

class QLineEdit;
class QWidget;

namespace focus
{

void onFocusOut(QWidget* control, std::function<void()> handler);
void onFocusIn(QWidget* control, std::function<void()> handler);

// The focus going to this control ("Cancelar") runs no focus-out check: a check never stands
// in the way of leaving an entry, whatever the box being left holds.
void leavesWithoutChecks(QWidget* control);

// The whole text is selected when the box gets the focus, so that typing replaces it.
void selectAllOnFocus(QLineEdit* box);

// Gives the control the focus once the current event is over (from inside a focus handler, or
// after a message box). A box gets its whole text selected, so that a refused value is retyped,
// not typed after.
void later(QWidget* control);

} // namespace focus
