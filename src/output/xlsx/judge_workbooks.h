#pragma once

// The judges' score sheets as workbooks: one for each judge, in the very layout "Imp Puntuacion"
// reads back once the judge's scores are typed in.

#include <QString>

namespace store
{
class Database;
}

namespace output
{

// Writes "Juez 1.xlsx" to "Juez N.xlsx" in folder, N being the configured number of judges:
// the sheet "Hoja1", the judge number in B2, and from row 5 one row per bird of groups A to C
// (group D is not scored) in cage order, with A the cage, B the group, C the sex, and the five
// scores (I to M) and the total (N) left for the judge, written as one set (DocumentSet): all
// of them, or none. Returns the number of workbooks.
// Raises listings::OutputError for a folder that does not exist or a file that cannot be
// written, store::Error from the store (and for a configuration without a number of judges).
int writeJudgeWorkbooks(const store::Database& db, const QString& folder);

} // namespace output
