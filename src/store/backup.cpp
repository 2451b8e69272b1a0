#include "store/backup.h"

#include "store/connection.h"
#include "store/database.h"
#include "store/error.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <sqlite3.h>

namespace store
{

// Another program's lock on either file is waited for by that connection's busy timeout.
int detail::copyPages(sqlite3* destination, sqlite3* source)
{
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    if (backup == nullptr)
        return sqlite3_errcode(destination);
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup); // rolls the destination back when unfinished
    return stepped == SQLITE_DONE ? finished : stepped;
}

namespace
{

// Whose failure a backup's result code is: damage is the file read's; a full disk or a folder
// that refuses writes is the file written's; a lock is the live exhibition's, which other
// programs share, whereas nobody else writes a copy.
const detail::Connection& culprit(int code, const detail::Connection& read, const detail::Connection& written,
                                  const detail::Connection& live)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return live;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return read;
    default:
        return written;
    }
}

} // namespace

void backupTo(const Database& source, const QString& path)
{
    const std::shared_ptr<detail::Connection>& from = source.connection();
    if (!from)
        throw Error(QStringLiteral("No hay ninguna base de datos abierta."));
    const QFileInfo target(path);
    if (target.exists() && target.size() > 0)
        throw Error(QStringLiteral("Ya existe un archivo «%1».").arg(target.fileName()),
                    Error::Kind::Storage);

    detail::Connection to;
    to.path = target.absoluteFilePath();
    int rc = sqlite3_open_v2(QFile::encodeName(to.path).constData(), &to.db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    to.opened = rc == SQLITE_OK;
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(to.db, detail::busyTimeoutMs);
        // Nobody else sees the file until it is renamed: no journal is needed, but its pages are
        // synced to the disk when the copy ends.
        sqlite3_exec(to.db, "PRAGMA journal_mode = OFF", nullptr, nullptr, nullptr);
        rc = detail::copyPages(to.db, from->db);
    }
    if (rc != SQLITE_OK) {
        const Error error = culprit(rc, *from, to, *from).errorFor(rc);
        sqlite3_close_v2(std::exchange(to.db, nullptr));
        QFile::remove(to.path);
        throw Error(error.message(), Error::Kind::Storage);
    }
    if (sqlite3_close(std::exchange(to.db, nullptr)) != SQLITE_OK) {
        QFile::remove(to.path);
        throw Error(QStringLiteral("No se ha podido terminar la copia «%1».").arg(target.fileName()),
                    Error::Kind::Storage);
    }
}

void restoreFrom(Database& destination, const QString& copyPath)
{
    const std::shared_ptr<detail::Connection>& to = destination.connection();
    if (!to)
        throw Error(QStringLiteral("No hay ninguna base de datos abierta."));
    if (to->transactionDepth > 0)
        throw Error(QStringLiteral("No se puede restaurar una copia en medio de otra operación."));
    // The copy must be one of ours, with every table and field; it is only read.
    const Database copy = Database::open(copyPath, destination.schema(), Database::Access::ReadOnly);
    const int rc = detail::copyPages(to->db, copy.connection()->db);
    if (rc != SQLITE_OK)
        throw culprit(rc, *copy.connection(), *to, *to).errorFor(rc);
    // A copy from before the records were kept gains them, empty.
    detail::addRecords(destination, false);
}

bool isIntact(const Database& db)
{
    const std::shared_ptr<detail::Connection>& connection = db.connection();
    if (!connection)
        throw Error(QStringLiteral("No hay ninguna base de datos abierta."));
    sqlite3_stmt* check = nullptr;
    // One line is enough to know: the whole list of faults is for SQLite's own tools.
    int rc = sqlite3_prepare_v2(connection->db, "PRAGMA integrity_check(1)", -1, &check, nullptr);
    bool intact = false;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(check);
        if (rc == SQLITE_ROW) {
            const auto* line = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
            intact = line != nullptr && std::strcmp(line, "ok") == 0;
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(check);
    switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
        return intact;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return false;
    default:
        connection->fail(rc);
    }
}

std::optional<quint32> changeCounter(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(24))
        return std::nullopt;
    const QByteArray bytes = file.read(4);
    if (bytes.size() != 4)
        return std::nullopt;
    return quint32(quint8(bytes[0])) << 24 | quint32(quint8(bytes[1])) << 16 |
           quint32(quint8(bytes[2])) << 8 | quint32(quint8(bytes[3]));
}

} // namespace store
