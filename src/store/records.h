#pragma once

// The show's own records, kept in the exhibition file beside its five tables: the birds' statuses,
// the score rows checked against the judges' papers, the closings and reopenings, and the history
// of every change. The tables are added to a file the first time it is opened for writing (an
// older file gains them empty); a file only read gets empty stand-ins that last as long as the
// connection, so that every reader can rely on them.
//
// The history is written by triggers in the file itself, so that a change is recorded whoever
// makes it: this program, the sqlite3 tool or any other. Each line names where the change came
// from: the one row of Origen, which a transaction of this program sets to its origin at its first
// write and gives back to "Otro programa" before it commits (see Database::setOrigin).

#include <QString>
#include <QStringList>

namespace store::records
{

// Statuses: a bird with no row here is present.
inline constexpr const char* statusTable = "Estado";
inline constexpr const char* checkedTable = "Comprobadas";
inline constexpr const char* closingTable = "Cierre";
inline constexpr const char* historyTable = "Historial";
inline constexpr const char* originTable = "Origen";

// The origin of a change made by a program that does not say where it comes from.
QString otherProgram();

// What a change to a closed show is refused with, from any path.
QString closedMessage();

// The tables (and the Origen row) as CREATE ... IF NOT EXISTS statements; temporary ones for a
// connection that only reads.
QStringList tableStatements(bool temporary);

// The triggers that record every change (CREATE TRIGGER IF NOT EXISTS).
QStringList historyTriggers();

// A pass that inserts many rows into Recepcion or Puntos (the imports) records them in one line of
// the history, its rows packed, rather than one line a row: the insert trigger of the table costs
// more than the row itself. packedPassField: the field of such a line; its value after the change
// holds one row a line, "jaula TAB juez TAB campo TAB antes TAB despues".
QString packedPassField();
// The name of the table's insert trigger, and the statement that creates it again.
QString insertTrigger(const QString& table);
QString createInsertTrigger(const QString& table);
// The statement that records, in one line, every row of the table whose rowid is above ?1.
QString packedInsertLines(const QString& table);

// The triggers that refuse every change to the results of a closed show: created when the show
// is closed (closed true), dropped when it is reopened, in the transaction that records it. An
// open show pays nothing for them.
QStringList closingStatements(bool closed);

} // namespace store::records
