#pragma once

#include "store/field.h"

#include <QStringList>
#include <vector>

namespace store
{

// What a database file must hold: its tables, field by field, and the indexes the store adds
// for speed (they are no part of the data model).
struct Schema {
    std::vector<TableDef> tables;
    QStringList indexes; // CREATE INDEX IF NOT EXISTS statements
    // The file also keeps the show's own records (statuses, checks, closings, history: see
    // store/records.h), added to it when it is opened for writing.
    bool records = false;

    const TableDef* table(const QString& name) const; // matched without regard to case
};

namespace schema
{

// The exhibition database: Config, Puntos, Recepcion, lclub and lclub1, in this order.
const Schema& exhibition();

// The clubs database Club.mdb: the one table club.
const Schema& clubs();

} // namespace schema

} // namespace store
