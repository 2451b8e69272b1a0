#pragma once

// Private to the store: the open SQLite connection shared by a Database and its results.

#include "store/error.h"
#include "store/schema.h"

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace store
{
class Database;
}

namespace store::detail
{

// How long a statement waits for another program's lock on the file before it gives up. A second
// copy of the program holds its lock only for the length of a write.
constexpr int busyTimeoutMs = 5000;

struct Connection {
    sqlite3* db = nullptr;
    QString path;
    Schema schema;
    int transactionDepth = 0;
    bool opened = false; // the file itself is open: a later failure to open is the journal's
    // The failure after which SQLite undid the open transaction by itself; empty while none.
    mutable QString lostTransaction;
    // Where this program's changes come from, for the history (store/records.h); empty: "Otro
    // programa". markedDepth: the depth of the transaction (1 the outermost) that wrote it into
    // the file's Origen row; 0 while not written.
    bool records = false;
    QString origin;
    int markedDepth = 0;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    const TableDef* table(const QString& name) const;
    QString fileName() const;

    // Raises store::Error with a Spanish message for a failed SQLite call.
    [[noreturn]] void fail(int code) const;
    store::Error errorFor(int code) const;
    // Refuses a write or a commit after SQLite undid the transaction it belongs to: in autocommit
    // it would be stored alone, and the pass would be left half written.
    void checkTransactionAlive() const;
    void check(int code) const
    {
        if (code != 0 /* SQLITE_OK */)
            fail(code);
    }
    void execute(const char* sql) const;

    // Before the first write of a transaction: writes the origin into the file's Origen row, so
    // that the history's triggers name it. writeOrigin(otherProgram) gives it back before commit.
    void markOrigin();
    void writeOrigin(const QString& origin);
    void unmarkOrigin();

    // Prepared statements kept for their next use: compiling costs more than running most of the
    // program's small statements, which the rules and the server run over and over with other
    // values bound. A statement taken is the caller's alone; one given back is reset, its values
    // cleared. The least recently given back goes first when the cache is full.
    sqlite3_stmt* takeStatement(const QByteArray& sql);
    void keepStatement(QByteArray sql, sqlite3_stmt* statement);

private:
    std::vector<std::pair<QByteArray, sqlite3_stmt*>> m_kept;
};

// Copies every page of source into destination in one step (SQLite's online backup), so that the
// source is read in one transaction: one consistent state, whatever other programs write.
// Returns the SQLite result.
int copyPages(sqlite3* destination, sqlite3* source);

// Adds the show's own records (store/records.h) to a database that lacks them; for one only
// read, empty stand-ins that last as long as the connection.
void addRecords(Database& database, bool readOnly);

// Registers the general sort order and the functions of the query subset on a connection.
// They live in the connection only; nothing of them is written into the file.
void registerFunctions(sqlite3* db);

} // namespace store::detail
