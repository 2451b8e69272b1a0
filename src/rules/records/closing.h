#pragma once

// Closing a show and reopening it. A closed show is sealed (records/seal.h) and the file itself
// refuses every change to its results (store::records::closingStatements) until it is reopened
// with a reason; every closing and reopening is a row of Cierre, the last one saying which holds.

#include "rules/records/closed_state.h"

#include <QString>

namespace store
{
class Database;
}

namespace records
{

// Stores the final scores as they are now, then seals them, records the closing and makes the
// file refuse every change, in one transaction. Returns the seal. The checks (records/checks.h)
// are the caller's: closing does not run them. A show already closed is refused. The history names
// the change "Cierre" unless the caller named its own origin (store::OriginScope).
QString closeShow(store::Database& db);

// What a reopening without a reason is refused with.
QString reopenNeedsReason();
// What reopening a show that is open is refused with.
QString notClosedMessage();

// Records the reopening with its reason and lets the file take changes again, in one transaction.
void reopenShow(store::Database& db, const QString& motivo);

} // namespace records
