#include "kit/toolbar.h"

#include <QAction>
#include <QToolBar>

namespace toolbar
{

void setUp(QToolBar* bar, std::initializer_list<std::pair<QAction*, QStyle::StandardPixmap>> icons)
{
    for (const auto& [action, icon] : icons)
        action->setIcon(bar->style()->standardIcon(icon));
    for (QWidget* button : bar->findChildren<QWidget*>())
        button->setFocusPolicy(Qt::NoFocus);
}

} // namespace toolbar
