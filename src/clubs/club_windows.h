#pragma once

// What the two club windows share: their numbered Ctrl keys and the box of a search that finds
// nothing.

#include "shell/messages.h"

#include <QKeyEvent>
#include <QString>

namespace clubs
{

// The digit of a key of the main row pressed with Ctrl and no other shift key; -1 for any other
// key.
inline int ctrlDigit(const QKeyEvent* key)
{
    if (key->modifiers() != Qt::ControlModifier || key->key() < Qt::Key_0 || key->key() > Qt::Key_9)
        return -1;
    return key->key() - Qt::Key_0;
}

// The box has no title of its own; it carries the program's name, as boxes without a title did.
inline void showNotFound(QWidget* parent)
{
    Messages::inform(parent, QStringLiteral("Programa para Exposiciones de Palomas Mensajeras"),
                     QStringLiteral("No se ha encontrado"));
}

} // namespace clubs
