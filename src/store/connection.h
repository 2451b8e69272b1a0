#pragma once

// Private to the store: the open SQLite connection shared by a Database and its results.

#include "store/schema.h"

#include <QString>

struct sqlite3;

namespace store::detail
{

struct Connection {
    sqlite3* db = nullptr;
    QString path;
    Schema schema;
    int transactionDepth = 0;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    const TableDef* table(const QString& name) const;
    QString fileName() const;

    // Raises store::Error with a Spanish message for a failed SQLite call.
    [[noreturn]] void fail(int code) const;
    void check(int code) const
    {
        if (code != 0 /* SQLITE_OK */)
            fail(code);
    }
    void execute(const char* sql) const;
};

// Registers the general sort order and the functions of the query subset on a connection.
// They live in the connection only; nothing of them is written into the file.
void registerFunctions(sqlite3* db);

} // namespace store::detail
