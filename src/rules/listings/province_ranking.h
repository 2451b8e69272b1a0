#pragma once

// The classification by province (ListadoCl): the first five birds of each of the eleven
// classifications earn 5, 4, 3, 2 and 1 points for the province of their owner's club; the
// provinces are totalled (one more than the sum of their points) and listed, best first. The
// work tables lclub and lclub1 of the exhibition hold the credited birds and the totals.

#include "rules/listings/listing.h"

#include <vector>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace listings
{

// CalcularPuntosClub: empties lclub and writes one row per credited bird (at most 55). The
// province of a club is found in clubs (ClubRs); an unknown club, or one without province,
// counts under " ".
void calcularPuntosClub(const store::Database& db, store::Recordset& clubs);

// SumarProvincias: empties lclub1 and writes one total per run of equal provinces of lclub.
void sumarProvincias(const store::Database& db);

// LlenarLista: the rows of lclub1, highest total first, numbered from 1.
std::vector<ProvinceRow> llenarListaProvincias(const store::Database& db);

// The three in order, lclub and lclub1 rewritten in one transaction: all or nothing.
std::vector<ProvinceRow> clasificacionPorProvincia(const store::Database& db, store::Recordset& clubs);

} // namespace listings
