#pragma once

// What each listing window builds when it opens, without the window: the captions and the body,
// from the database as it stands. A classification or the province ranking never ranks birds on
// stale scores: every final score is brought up to date first, by the pass of the reception
// list's reload.

#include "rules/listings/listing.h"

#include <vector>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace listings
{

// The name of the exhibition (nombre of the Config row); "" without a row.
QString exhibitionName(const store::Database& db);

// The absent and disqualified birds of a group and sex (A to C) or of a group and category (D),
// by cage, one line each as the listing shows its birds: cage, ring, owner and status
// ("   12  0012345-05  Juan Pérez  Descalificada: Ala cortada").
std::vector<QString> unrankedLines(const store::Database& db, const QString& grupo, const QString& categ,
                                   const QString& sexo);

// Listabc: the classification of a group (A to C) and sex.
Listing openClassification(store::Database& db, const QString& nombre, const QString& grupo,
                           const QString& categ, const QString& sexo);

// Listados: the group D list of a category.
Listing openGroupD(store::Database& db, const QString& nombre, const QString& grupo, const QString& categ,
                   const QString& sexo);

// ListadoCl: the provinces; rewrites lclub and lclub1.
Listing openProvinces(store::Database& db, store::Recordset& clubs, const QString& nombre);

// The twelve listings of the exhibition, as the menu opens them: groups A to C by sex, group D
// by category, then the provinces. Scores are brought up to date once.
std::vector<Listing> allListings(store::Database& db, store::Recordset& clubs);

} // namespace listings
