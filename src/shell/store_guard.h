#pragma once

// Every handler that reaches the store runs inside guarded(): a store::Error becomes a box
// titled "Aviso" with its message, and the window stays usable with the user's entry on
// screen. No exception crosses the event loop.

#include "shell/messages.h"
#include "store/error.h"

#include <QString>
#include <exception>

class QWidget;

template <typename Handler> bool guarded(QWidget* window, Handler&& handler)
{
    try {
        handler();
        return true;
    } catch (const store::Error& e) {
        Messages::inform(window, QStringLiteral("Aviso"), e.message());
    } catch (const std::exception& e) {
        Messages::inform(window, QStringLiteral("Aviso"),
                         QStringLiteral("Error inesperado: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    return false;
}
