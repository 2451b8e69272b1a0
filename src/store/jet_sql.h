#pragma once

// Private to the store: turns the query texts of the windows, written in the original's query
// language, into SQLite statements. The subset: select * from a table, an optional where
// condition and an optional order by list, each term optionally desc; string literals in single
// quotes; cstr, val and trim; like with "*" as wildcard. Blanks are free: "'12'order by juez" and
// "grupo  = 'A'and" read as written. Names of tables and fields are matched without regard to
// case. Texts compare and sort in the general sort order of the files; rows that tie keep the
// order in which they were stored.

#include "store/schema.h"

#include <QString>

namespace store::detail
{

struct Query {
    const TableDef* table = nullptr;
    QString where;   // SQLite condition; empty for none
    QString orderBy; // SQLite ORDER BY terms, rowid last
};

Query translateSelect(const QString& jet, const Schema& schema);
QString translateCondition(const QString& jet, const TableDef& table);

// SELECT rowid, then every field of the table in its order.
QString selectSql(const Query& query);

} // namespace store::detail
