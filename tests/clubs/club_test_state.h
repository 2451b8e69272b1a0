#pragma once

// The state the club windows find when the main window has opened: an empty Club.mdb of its own
// in the program folder, open with its shared result.

#include "shell/app_state.h"
#include "shell/exhibition.h"

#include <QStringList>
#include <QTreeWidget>

namespace clubtest
{

// The title of the box of a search that finds nothing: the program's name.
inline const QString kNotFoundTitle = QStringLiteral("Programa para Exposiciones de Palomas Mensajeras");

inline void openEmptyClubs(AppState& state, const QString& folder)
{
    state = AppState{};
    state.programFolder = folder;
    const QString path = exhibition::clubsPath(folder);
    store::Database::create(path, store::schema::clubs());
    state.clubDb = store::Database::open(path, store::schema::clubs());
    state.clubRs = state.clubDb.openRecordset(QStringLiteral("select * from club "));
}

// One column of a list, entry by entry.
inline QStringList listed(const QTreeWidget* list, int column)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(column);
    return out;
}

} // namespace clubtest
