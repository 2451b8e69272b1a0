#pragma once

// Whole-file copies of an open database through SQLite's online backup: the copy is one state
// that the file held, even while another program writes to it, and a restore replaces the file's
// content in one transaction.

#include <QString>
#include <optional>

namespace store
{

class Database;

// Copies the database, as it stands, into the file at path, which must be new or empty. On any
// failure the file is removed. The caller writes under a name nobody takes for a copy and
// renames the file once complete, so that a copy interrupted half way (a crash, a full disk)
// never looks like one. Raises store::Error (Storage) when it cannot.
void backupTo(const Database& source, const QString& path);

// Replaces the whole content of the open database with that of the file at copyPath, which must
// hold the database's schema. One write transaction: on any failure the database keeps what it
// had. Raises store::Error.
void restoreFrom(Database& destination, const QString& copyPath);

// Whether SQLite's own check of the whole file (PRAGMA integrity_check: every page read, every
// table matched with its indexes) finds it sound. Random bytes or a page of zeros inside a file
// whose header is sound open, and even count their rows, without a word: a copy is only trusted
// after this check. A failure that is not the file's damage (a lock, a read error) raises
// store::Error.
bool isIntact(const Database& db);

// A number that changes at every change committed to the file, by this or any other program (the
// change counter of the database header); nullopt when the file cannot be read.
std::optional<quint32> changeCounter(const QString& path);

} // namespace store
