#pragma once

// Qt's print preview as every window shows it: titled "Vista previa", a page's height where the
// screen has room for it, and PageDown and PageUp turning the pages, as a clerk on the keyboard
// expects of a document.

#include <functional>

class QPrinter;
class QWidget;

namespace preview
{

void show(QPrinter& printer, QWidget* parent, const std::function<void(QPrinter*)>& paint);

} // namespace preview
