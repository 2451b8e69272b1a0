#include "store/backup.h"

#include "store/connection.h"
#include "store/database.h"
#include "store/error.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace store
{

namespace
{

// Copies every page of source into destination in one step, so that the source is read in one
// transaction: one consistent state, whatever other programs write. Another program's lock on
// either file is waited for by that connection's busy timeout. Returns the SQLite result.
int copyPages(sqlite3* destination, sqlite3* source)
{
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    if (backup == nullptr)
        return sqlite3_errcode(destination);
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup); // rolls the destination back when unfinished
    return stepped == SQLITE_DONE ? finished : stepped;
}

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
        rc = copyPages(to.db, from->db);
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
    const int rc = copyPages(to->db, copy.connection()->db);
    if (rc != SQLITE_OK)
        throw culprit(rc, *copy.connection(), *to, *to).errorFor(rc);
}

Database Database::memoryCopy() const
{
    const detail::Connection& from = live();
    auto copy = std::make_shared<detail::Connection>();
    copy->path = from.path; // its messages name the file it came from
    copy->schema = from.schema;
    int rc = sqlite3_open_v2(":memory:", &copy->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        copy->fail(rc);
    copy->opened = true;
    sqlite3_extended_result_codes(copy->db, 1);
    detail::registerFunctions(copy->db);
    rc = copyPages(copy->db, from.db);
    if (rc != SQLITE_OK)
        throw from.errorFor(rc);
    return Database(copy);
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
