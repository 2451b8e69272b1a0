#pragma once

// The pieces of checkShow, one file each: what the show holds, read once, and the checks that
// look at its birds, its score rows and its clubs.

#include "rules/judging/score_ranges.h"

#include <QString>
#include <array>
#include <vector>

namespace store
{
class Database;
}

namespace records
{
struct Warning;
}

namespace records::detail
{

struct Bird {
    int jaula = 0;
    QString anilla;
    QString grupo;
    QString categ;
    QString club;
    bool present = true;
};

struct ScoreRow {
    int jaula = 0;
    int juez = 0;
    std::array<double, judging::apartadoCount> puntos{};
    double total = 0;
};

// The show as the checks see it: birds by cage, score rows in the order they were stored.
struct Show {
    int jueces = 0;
    std::vector<Bird> birds;
    std::vector<ScoreRow> scores;
};

Show readShow(const store::Database& db);

// A line about a bird: its ring is named when its cage holds another.
Warning birdWarning(const Show& show, const Bird& bird, const QString& what);

void checkMissingJudges(const Show& show, std::vector<Warning>& out);
void checkJudgeDifferences(const Show& show, std::vector<Warning>& out);
void checkBirds(const Show& show, std::vector<Warning>& out);
void checkClubs(const Show& show, const QString& clubsPath, std::vector<Warning>& out);
void checkRepeatedRows(const Show& show, std::vector<Warning>& out);

} // namespace records::detail
