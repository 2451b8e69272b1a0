#pragma once

// An exhibition whose every final score is stale, so that the final-score pass rewrites every
// bird: the largest write the passes make, for the tests that fail it in its middle.

#include "support/fixtures.h"

#include <QFile>

namespace fixtures
{

// Birds 1 to count (at most 999) in groups A to C, each scored by three judges (every seventh by
// two), stored with 0 points.
inline void fillScoredExhibition(const store::Database& db, int count)
{
    store::Transaction transaction(db);
    setConfig(db, 3, count % 2 == 0);
    const char* groups[] = {"A", "B", "C"};
    for (int cage = 1; cage <= count; ++cage) {
        addBird(db, cage, groups[cage % 3], cage % 2 == 0 ? "M" : "H");
        const int judges = cage % 7 == 0 ? 2 : 3;
        for (int juez = 1; juez <= judges; ++juez)
            addScore(db, QString::number(cage), juez, 80.0 + (cage * 7 + juez * 3) % 13 + 0.25 * juez);
    }
    transaction.commit();
}

// The same in a new file (replacing one of that name); returns its path.
inline QString createScoredExhibition(const QString& path, int count)
{
    QFile::remove(path);
    fillScoredExhibition(store::Database::create(path, store::schema::exhibition()), count);
    return path;
}

} // namespace fixtures
