#pragma once

// The organisers' guide from any window: F1 opens it at the chapter of the window that has the
// focus (a message box or a dialog at the chapter of the window it belongs to). A window's own
// use of F1 (the club search in Recepción's club box) is seen first, by its KeyboardHelper.

#include <QString>
#include <functional>

class QWidget;

namespace guide
{

// The chapter of a window ("05-recepcion"), or "" when the window has none of its own.
using ChapterOf = std::function<QString(const QWidget* window)>;

// F1 opens the guide kept in folder (install::guideFolder), at the chapter chapterOf gives the
// window with the focus or, failing it, the nearest window below it; the guide's first page when
// none has one.
void installForApplication(const QString& folder, ChapterOf chapterOf);

// The guide's file at a chapter ("" when the guide is not there), as installForApplication found it.
QString page(const QString& chapter);

// Opens the guide at the chapter with the desktop's viewer; says so, in an "Aviso" box, when the
// guide is not there or no viewer opens it.
void open(QWidget* parent, const QString& chapter);

} // namespace guide
