#pragma once

// Writes exhibitions of any size for the benchmarks and for trying the windows: received birds in
// realistic proportions (groups A to C judged, one bird in ten in group D), every judged bird
// scored by the configured judges, and clubs spread over the provinces of a region.

#include <QString>
#include <functional>

namespace bench
{

struct ExhibitionSize {
    int cages = 999;
    int judgesPerCage = 5;    // score rows per judged bird (the fewest, when maxJudgesPerCage is larger)
    int maxJudgesPerCage = 0; // larger than judgesPerCage: each bird gets between the two, at random
    int stepsPerPoint = 4;    // partial scores in steps of 1/stepsPerPoint: 4 gives 8,25; 1000 gives 8,125
    int jueces = 5;           // judges in the configuration
    bool media = false;
    int clubs = 60;
    unsigned seed = 1;
};

struct Generated {
    QString exhibition; // the .mdb
    QString clubs;      // Club.mdb beside it
};

// Creates folder/name (replacing it) and folder/Club.mdb. Cages beyond 999 are written with the
// file's checks switched off, since score rows hold the cage in three characters.
Generated generate(const QString& folder, const QString& name, const ExhibitionSize& size);

struct Timing {
    double medianMs = 0;
    double minMs = 0;
    double maxMs = 0;
};

// Runs the pass the given number of times (after one warm-up run) and times each run.
Timing measure(int repetitions, const std::function<void()>& pass);

// The same, with an untimed preparation before each run (a fresh copy of an exhibition).
Timing measure(int repetitions, const std::function<void()>& prepare, const std::function<void()>& pass);

// One line of a benchmark's report: name, then median, min and max in milliseconds.
void report(const QString& name, const Timing& timing);

} // namespace bench
