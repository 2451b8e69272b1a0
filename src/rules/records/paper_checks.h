#pragma once

// Checking the scores against the judges' paper sheets: a second clerk reads each stored row
// beside the sheet and marks it "comprobada". The mark keeps the row's cage, judge and five
// values, so a row changed afterwards is no longer checked and comes back to the list by itself.

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

struct PaperRow {
    QString jaula; // as the score row holds it
    int juez = 0;
    std::array<double, judging::apartadoCount> puntos{};
    double total = 0;
};

// The judge's rows not yet checked, by cage number.
std::vector<PaperRow> uncheckedRows(const store::Database& db, int juez);

// Marks the row checked, in one transaction, as the judging clerks' work.
void markChecked(store::Database& db, const PaperRow& row);
// Marks them all, in one transaction (a sheet read at once).
void markChecked(store::Database& db, const std::vector<PaperRow>& rows);

struct UncheckedCount {
    int juez = 0;
    int count = 0;
};

// The judges with unchecked rows, by judge number, and how many each has left.
std::vector<UncheckedCount> uncheckedCounts(const store::Database& db);

// "Juez 2: 14 puntuaciones sin comprobar", "Juez 2: 1 puntuación sin comprobar".
QString uncheckedText(const UncheckedCount& judge);

} // namespace records
