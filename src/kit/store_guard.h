#pragma once

// Every handler that reaches the store, a document or a workbook runs inside guarded(): any error
// of the program (base::Error and its kinds) becomes a box titled "Aviso" with its message, a
// warning when a file could not be written or read, and the window stays usable with the user's
// entry on screen. No exception crosses the event loop.

#include "base/error.h"
#include "kit/messages.h"

#include <QString>
#include <exception>

class QWidget;

template <typename Handler> bool guarded(QWidget* window, Handler&& handler)
{
    try {
        handler();
        return true;
    } catch (const base::Error& e) {
        Messages::inform(window, QStringLiteral("Aviso"), e.message(),
                         e.isStorage() ? Messages::Icon::Warning : Messages::Icon::Information);
    } catch (const std::exception& e) {
        Messages::inform(window, QStringLiteral("Aviso"),
                         QStringLiteral("Error inesperado: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    return false;
}
