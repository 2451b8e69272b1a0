#pragma once

// Which chapter of the organisers' guide (docs/guia) tells each window, for F1.

#include <QString>

class QWidget;

// The chapter's name ("05-recepcion"), or "" for a window that is not one of the program's.
QString guideChapter(const QWidget* window);

// F1 in every window from here on: the guide of the running program at the window's chapter.
// Called before any window is made, so that a window's own F1 (Recepción's club box) comes first.
void installGuide();
