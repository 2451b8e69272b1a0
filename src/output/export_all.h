#pragma once

// "Exportar todos los listados" and palomas-cli listados: the TXT documents of the twelve
// listings (and, if asked, their printouts as PDF files of the same names) written into one
// folder, byte for byte as "&Documento" writes each.

#include <QString>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace listings
{

// Brings the scores up to date, rewrites the province work tables as ListadoCl does, and writes
// the documents, as one set (DocumentSet): all of them, or none. A classification of groups A to C without
// birds has no document (its window cannot save one). Returns the number of TXT documents written. Raises
// OutputError for a folder that does not exist or a file that cannot be written, store::Error from the store.
int exportAll(store::Database& db, store::Recordset& clubs, const QString& folder, bool pdf);

} // namespace listings
