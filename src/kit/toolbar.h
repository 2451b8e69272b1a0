#pragma once

// The one way a window's toolbar is made: its buttons are actions of the window's .ui, in a
// QToolBar of the .ui; here they get their pictures from the style, and stay out of the Tab
// order (the keyboard reaches them by Ctrl and their number, KeyboardHelper::numberedCommands).

#include <QStyle>
#include <initializer_list>
#include <utility>

class QAction;
class QToolBar;

namespace toolbar
{

void setUp(QToolBar* bar, std::initializer_list<std::pair<QAction*, QStyle::StandardPixmap>> icons);

} // namespace toolbar
