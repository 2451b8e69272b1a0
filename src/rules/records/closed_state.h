#pragma once

// Whether a show is closed, for every path that reads or would change it; closing and reopening
// are in records/closing.h. Kept apart so that the passes closing runs can ask it too.

#include <QString>

namespace store
{
class Database;
}

namespace records
{

// Whether the last row of Cierre closed the show.
bool isClosed(const store::Database& db);

// The seal the show was closed with; empty when it is open.
QString closedSeal(const store::Database& db);

// The last line of every document of a closed show: "Sello: XXXX-XXXX-XXXX".
QString sealLine(const QString& sello);

// Raises store::Error with store::records::closedMessage() when the show is closed: for the
// paths that would change it, before they write or ask anything.
void refuseIfClosed(const store::Database& db);

} // namespace records
