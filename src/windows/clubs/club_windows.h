#pragma once

// What the two club windows share: their look, the filling of their lists and the box of a search
// that finds nothing.

#include "rules/clubs/club.h"

#include <vector>

class QLabel;
class QTreeWidget;
class QWidget;

namespace clubs
{

// The heading in bold, scale times the window's font.
void emphasize(QLabel* heading, double scale);

// The Ctrl legend keeps its space while hidden, so the window does not jump while Ctrl is held.
void keepPlace(QWidget* legend);

// Panels stacked beside the list take the width of the widest, so that showing one of them does
// not narrow the list.
void sameWidth(QWidget* first, QWidget* second);

// Columns of a club list: a narrow code, the name taking the room, the province.
void setUpList(QTreeWidget* list);

// Fills the list with one entry per club, in order; each entry keeps its tag under Qt::UserRole.
void fillList(QTreeWidget* list, const std::vector<Club>& clubs, ListEntry (*entryOf)(const Club&));

// "No se ha encontrado". The box has no title of its own; it carries the program's name, as boxes
// without a title did.
void showNotFound(QWidget* parent);

} // namespace clubs
