#pragma once

// The group D list (LlenarLista of Listados): the birds of one category ranked by their racing
// record, more contests first; at equal contests the higher coefficient first in categories A
// and B, the lower first in C, D and E.

#include "rules/listings/listing.h"

#include <vector>

namespace store
{
class Database;
}

namespace listings
{

// The ring as the group D list shows it: the year's last two digits, "-", the ring as stored.
QString groupDRing(const QString& anilla, const QString& anio);

// The birds of the group and category in the list's order, as every output of it reads them.
// Absent and disqualified birds are not ranked.
QString groupDQuery(const store::Database& db, const QString& grupo, const QString& categ);

// The rows of the group and category, numbered from 1; empty when none.
std::vector<GroupDRow> llenarListaGrupoD(const store::Database& db, const QString& grupo,
                                         const QString& categ);

} // namespace listings
