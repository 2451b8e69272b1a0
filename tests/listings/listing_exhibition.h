#pragma once

// The exhibition the listing window tests start from: a new file in the folder, three judges by
// average, one club of Toledo, opened into the shared state as the main window opens it.

#include "shell/app_state.h"
#include "shell/exhibition.h"
#include "support/fixtures.h"

#include <QDir>

namespace listingtest
{

inline void openExhibition(AppState& state, const QString& folder, const QString& nombre)
{
    state.programFolder = folder;
    const QString path = QDir(folder).filePath(QStringLiteral("expo.mdb"));
    {
        const store::Database created = store::Database::create(path, store::schema::exhibition());
        fixtures::setConfig(created, 3, true);
        store::Recordset config = created.openRecordset(QStringLiteral("select * from config"));
        config.edit();
        config.setValue(QStringLiteral("nombre"), nombre);
        config.update();
        const store::Database clubs = store::Database::create(
            QDir(folder).filePath(QStringLiteral("Club.mdb")), store::schema::clubs());
        fixtures::addClub(clubs, QStringLiteral("1"), QStringLiteral("Club Uno"), QStringLiteral("Toledo"));
    }
    exhibition::open(state, path);
}

} // namespace listingtest
