#pragma once

#include "store/recordset.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QString>
#include <memory>

namespace store
{

namespace detail
{
struct Connection;
}

// One open database file. The file is SQLite in rollback-journal mode, so a closed exhibition is
// a single file that can be copied; the store adds nothing to it that the standard sqlite3 tool
// cannot read. Results opened from a database keep its connection alive.
class Database
{
public:
    Database() = default; // not open
    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Creates a new file holding the schema's tables, empty. Refuses an existing file; on any
    // failure nothing is left behind.
    static Database create(const QString& path, const Schema& schema);

    // InMemory: the file is read once, in one transaction, into a database in memory, which is
    // what is then read and written; the file itself is never written. For passes that only
    // read a show but compute as they go (the final scores before a listing), on a file that may
    // not be writable at all (a CD, a locked share).
    enum class Access { ReadWrite, ReadOnly, InMemory };

    // Opens an existing file for reading and writing (or only for reading: a backup copy is
    // looked at without a byte of it changing). Refuses, without changing it, a file that is not
    // such a database or lacks a table or field of the schema.
    static Database open(const QString& path, const Schema& schema, Access access = Access::ReadWrite);

    // A copy of the whole database in memory, as the file stands: one state of it to compute from
    // (and to write to, since nothing goes back to the file) without holding the file meanwhile.
    Database memoryCopy() const;

    bool isOpen() const { return m_connection != nullptr; }
    QString path() const;
    const Schema& schema() const;

    // A result over the query subset of the windows (see Recordset).
    Recordset openRecordset(const QString& query) const;

    // The store's own SQL, for the bulk passes: values are bound, never spliced. A statement
    // that may write needs the database itself; query() is for reading only and refuses a
    // statement that would change the file.
    Statement prepare(const QString& sql);
    void execute(const QString& sql);
    Statement query(const QString& sql) const;

    // A condition of the query subset, translated for this database's table (for passes that
    // filter with the windows' own condition texts).
    QString translateCondition(const QString& table, const QString& condition) const;

    // Where this program's changes come from, named in the history of every change it makes
    // ("Recepción", "Importación ARCHIVO"...); empty: "Otro programa". A transaction that has
    // already written takes the new origin for its further changes.
    void setOrigin(const QString& origin);
    QString origin() const;

    const std::shared_ptr<detail::Connection>& connection() const { return m_connection; }

private:
    explicit Database(std::shared_ptr<detail::Connection> connection);
    const detail::Connection& live() const;

    std::shared_ptr<detail::Connection> m_connection;
};

// Names the origin of the changes made while it lives, then gives back the one before.
class OriginScope
{
public:
    OriginScope(Database& database, const QString& origin);
    OriginScope(const OriginScope&) = delete;
    OriginScope& operator=(const OriginScope&) = delete;
    ~OriginScope();

private:
    Database& m_database;
    QString m_before;
};

// Begins in its constructor and rolls back in its destructor unless committed. Transactions
// nest: an inner one is a savepoint of the outer.
//
// A transaction that writes takes the file's write lock at once (BEGIN IMMEDIATE), so that it
// never fails half way for want of it. One that only reads (Kind::Read) sees one state of the
// file and takes no write lock: another program writing meanwhile neither waits for it nor is
// refused. A read within another transaction is part of it.
class Transaction
{
public:
    enum class Kind { Write, Read };

    explicit Transaction(const Database& database, Kind kind = Kind::Write);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    void commit();

private:
    std::shared_ptr<detail::Connection> m_connection;
    int m_depth = 0;
    bool m_done = false;
};

} // namespace store
