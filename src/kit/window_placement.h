#pragma once

// Every window fits the screen it opens on, laptops with a taskbar included, and comes back where
// the user left it in the previous run.

#include <QSize>

class QWidget;

namespace placement
{

// Places every window of the application when it is first shown: where the user left it in an
// earlier run, or at its own size centred over the window below it, in both cases within the
// screen's available area (a window larger than that area is made smaller). Where each window
// stood is remembered in the program's settings (QSettings) when it closes. Message boxes and
// other passing boxes are fitted but not remembered.
void installForApplication();

// The size of a window that would like `preferred`, within the available area of the screen the
// window is on, with room left for the frame that the window manager adds.
QSize fitted(const QWidget* window, QSize preferred);

} // namespace placement
