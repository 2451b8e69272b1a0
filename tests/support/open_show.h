#pragma once

// A show opened as the program opens it, in a folder of its own: expo.mdb ("Regional de Castilla")
// and Club.mdb holding club 1 of Toledo, for the windows that read both.

#include "rules/exhibition/exhibition.h"
#include "support/fixtures.h"
#include "windows/shell/app_state.h"

#include <QDir>

namespace fixtures
{

struct OpenShow {
    QTemporaryDir dir;
    AppState state;

    explicit OpenShow(int jueces)
    {
        state.programFolder = dir.path();
        {
            store::Database db = store::Database::create(path("expo.mdb"), store::schema::exhibition());
            setConfig(db, jueces, true);
            db.execute("UPDATE Config SET nombre = 'Regional de Castilla', region = 'Castilla'");
            addClub(store::Database::create(path("Club.mdb"), store::schema::clubs()), "1", "Club Uno",
                    "Toledo");
        }
        exhibition::open(state, path("expo.mdb"));
    }

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
};

} // namespace fixtures
