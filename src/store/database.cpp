#include "store/database.h"

#include "store/connection.h"
#include "store/error.h"
#include "store/jet_sql.h"
#include "store/records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace store
{

namespace
{

QString columnDefinition(const FieldDef& f)
{
    const QString name = u'"' + f.name + u'"';
    switch (f.type) {
    case FieldType::Text:
        return QStringLiteral("%1 TEXT CHECK (length(%1) <= %2)").arg(name).arg(f.size);
    case FieldType::Memo:
    case FieldType::Date:
        return name + QStringLiteral(" TEXT");
    case FieldType::Long:
        return QStringLiteral("%1 INTEGER CHECK (%1 BETWEEN -2147483648 AND 2147483647)").arg(name);
    case FieldType::Boolean:
        return QStringLiteral("%1 INTEGER CHECK (%1 IN (0, 1))").arg(name);
    case FieldType::Double:
        return name + QStringLiteral(" REAL");
    }
    return name;
}

QString createTableSql(const TableDef& table)
{
    QStringList columns;
    for (const FieldDef& f : table.fields)
        columns << columnDefinition(f);
    return QStringLiteral("CREATE TABLE \"%1\" (%2) STRICT")
        .arg(table.name, columns.join(QStringLiteral(", ")));
}

QString declaredType(FieldType type)
{
    switch (type) {
    case FieldType::Long:
    case FieldType::Boolean:
        return QStringLiteral("INTEGER");
    case FieldType::Double:
        return QStringLiteral("REAL");
    default:
        return QStringLiteral("TEXT");
    }
}

// opened: the file SQLite opens, when it is not the one named by path (":memory:").
std::shared_ptr<detail::Connection> connect(const QString& path, const Schema& schema, int flags,
                                            const char* opened = nullptr)
{
    auto connection = std::make_shared<detail::Connection>();
    connection->path = QFileInfo(path).absoluteFilePath();
    connection->schema = schema;
    const QByteArray name = QFile::encodeName(connection->path);
    const int rc =
        sqlite3_open_v2(opened != nullptr ? opened : name.constData(), &connection->db, flags, nullptr);
    if (rc != SQLITE_OK)
        connection->fail(rc);
    connection->opened = true;
    sqlite3_extended_result_codes(connection->db, 1);
    sqlite3_busy_timeout(connection->db, detail::busyTimeoutMs);
    detail::registerFunctions(connection->db);
    // A listing visits the score rows of thousands of cages in score order; with the default
    // 2 MB page cache the largest exhibitions went back to the file at each visit. The setting
    // reads the file's tables first: its failure is the file's (damaged, or locked by another
    // program after a wait of busyTimeoutMs), and it is reported, not left to fail again later.
    connection->execute("PRAGMA cache_size = -65536");
    return connection;
}

// The fields of a database header that every SQLite file holds with these values. A damaged file
// (random bytes after the first sixteen) fails here: left to SQLite, a "write version" byte
// above 2 opens it read-only, and the user would be told that the file cannot be written.
bool isSoundHeader(const QByteArray& header)
{
    if (header.size() < 100)
        return false;
    const auto byte = [&](int i) { return int(quint8(header[i])); };
    const int pageSize = byte(16) << 8 | byte(17);
    const bool pageSizeOk =
        pageSize == 1 || (pageSize >= 512 && pageSize <= 32768 && (pageSize & (pageSize - 1)) == 0);
    return pageSizeOk && (byte(18) == 1 || byte(18) == 2) && (byte(19) == 1 || byte(19) == 2) &&
           byte(21) == 64 && byte(22) == 32 && byte(23) == 32;
}

// Refuses, before SQLite touches it, a file that cannot be one of ours.
void checkLooksLikeDatabase(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists())
        throw Error(QStringLiteral("No se encuentra el archivo «%1».").arg(path));
    if (info.isDir())
        throw Error(QStringLiteral("«%1» es una carpeta, no una base de datos.").arg(name));
    if (info.size() == 0)
        throw Error(QStringLiteral("El archivo «%1» está vacío: no es una base de datos de este programa.")
                        .arg(name));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("No se puede leer el archivo «%1».").arg(name));
    const QByteArray header = file.read(100);
    if (!header.startsWith(QByteArray("SQLite format 3", 16)))
        throw Error(QStringLiteral("El archivo «%1» no es una base de datos de este programa "
                                   "(puede ser de otro programa o de una versión antigua).")
                        .arg(name));
    if (!isSoundHeader(header))
        throw Error(QStringLiteral("El archivo «%1» está dañado: empieza como una base de datos, pero el "
                                   "resto no se puede leer como tal.")
                        .arg(name),
                    Error::Kind::Storage);
}

} // namespace

namespace detail
{

// The show's own records (store/records.h): added to a file that lacks them, in one transaction
// that writes nothing when it has them; a file only read gets empty stand-ins for the tables it
// lacks.
void addRecords(Database& database, bool readOnly)
{
    detail::Connection& c = *database.connection();
    if (!c.schema.records)
        return;
    if (readOnly) {
        for (const QString& statement : records::tableStatements(true)) {
            const QByteArray table = statement.section(u'"', 1, 1).toUtf8();
            const bool found = sqlite3_table_column_metadata(c.db, "main", table.constData(), nullptr, nullptr,
                                                             nullptr, nullptr, nullptr, nullptr) == SQLITE_OK;
            if (!found)
                c.execute(statement.toUtf8().constData());
        }
        return;
    }
    Transaction transaction(database);
    for (const QString& statement : records::tableStatements(false) + records::historyTriggers())
        c.execute(statement.toUtf8().constData());
    transaction.commit();
    c.records = true;
}

} // namespace detail

Database::Database(std::shared_ptr<detail::Connection> connection) : m_connection(std::move(connection)) {}

Database::~Database() = default;

const detail::Connection& Database::live() const
{
    if (!m_connection)
        throw Error(QStringLiteral("No hay ninguna base de datos abierta."));
    return *m_connection;
}

QString Database::path() const
{
    return m_connection ? m_connection->path : QString();
}

const Schema& Database::schema() const
{
    return live().schema;
}

Database Database::create(const QString& path, const Schema& schema)
{
    const QFileInfo info(path);
    if (info.exists())
        throw Error(QStringLiteral("Ya existe un archivo «%1».").arg(info.fileName()));
    if (!info.absoluteDir().exists())
        throw Error(
            QStringLiteral("La carpeta «%1» no existe.").arg(QDir::toNativeSeparators(info.absolutePath())));

    const QString fullPath = info.absoluteFilePath();
    const auto removeLeftovers = [&fullPath] {
        QFile::remove(fullPath);
        QFile::remove(fullPath + QStringLiteral("-journal"));
    };
    try {
        auto connection = connect(fullPath, schema, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        connection->execute("PRAGMA journal_mode=DELETE");
        Database database(connection);
        Transaction transaction(database);
        for (const TableDef& table : schema.tables)
            database.execute(createTableSql(table));
        for (const QString& index : schema.indexes)
            database.execute(index);
        detail::addRecords(database, false);
        transaction.commit();
        return database;
    } catch (const Error& e) {
        removeLeftovers();
        switch (e.sqliteCode() & 0xff) {
        case SQLITE_CANTOPEN:
        case SQLITE_READONLY:
        case SQLITE_PERM:
            // The file cannot be made: the folder is at fault, not a file that is not there yet.
            throw Error(QStringLiteral("No se puede escribir en la carpeta «%1»: no se ha podido crear «%2».")
                            .arg(QDir::toNativeSeparators(info.absolutePath()), info.fileName()),
                        Error::Kind::Storage, e.sqliteCode());
        default:
            throw;
        }
    } catch (...) {
        removeLeftovers();
        throw;
    }
}

Database Database::memoryCopy() const
{
    const detail::Connection& from = live();
    // Named as the file, so that its messages name the show.
    auto memory = connect(from.path, from.schema, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, ":memory:");
    if (const int rc = detail::copyPages(memory->db, from.db); rc != SQLITE_OK)
        from.fail(rc);
    Database copy(memory);
    detail::addRecords(copy, false);
    return copy;
}

Database Database::open(const QString& path, const Schema& schema, Access access)
{
    if (access == Access::InMemory) {
        const Database file = [&] {
            try {
                return open(path, schema, Access::ReadOnly);
            } catch (const Error& e) {
                // A journal left by a program that ended in the middle of a change: rolled back
                // first, as any program that opens the file for writing does.
                if (e.sqliteCode() != SQLITE_READONLY_ROLLBACK)
                    throw;
                return open(path, schema, Access::ReadWrite);
            }
        }();
        return file.memoryCopy();
    }
    checkLooksLikeDatabase(path);
    const bool readOnly = access == Access::ReadOnly;
    auto connection = connect(path, schema, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    const QString name = connection->fileName();
    if (!readOnly && sqlite3_db_readonly(connection->db, "main") == 1)
        throw Error(QStringLiteral("No se puede escribir en «%1»: el archivo es de solo lectura.").arg(name),
                    Error::Kind::Storage);

    Database database(connection);
    for (const TableDef& table : schema.tables) {
        Statement info = database.prepare(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table.name));
        QHash<QString, QString> columns; // small letters name -> declared type
        while (info.step())
            columns.insert(info.text(1).toLower(), info.text(2).toUpper());
        if (columns.isEmpty())
            throw Error(
                QStringLiteral("A la base de datos «%1» le falta la tabla «%2».").arg(name, table.name));
        for (const FieldDef& field : table.fields) {
            const auto found = columns.constFind(field.name.toLower());
            if (found == columns.constEnd())
                throw Error(QStringLiteral("A la tabla «%1» de «%2» le falta el campo «%3».")
                                .arg(table.name, name, field.name));
            if (!found->isEmpty() && *found != declaredType(field.type))
                throw Error(QStringLiteral("El campo «%1» de la tabla «%2» de «%3» no es del tipo esperado.")
                                .arg(field.name, table.name, name));
        }
    }
    if (readOnly) {
        detail::addRecords(database, true);
        return database;
    }
    // The indexes only speed up the look-ups; a file that cannot take them still works.
    for (const QString& index : schema.indexes)
        sqlite3_exec(connection->db, index.toUtf8().constData(), nullptr, nullptr, nullptr);
    detail::addRecords(database, false);
    return database;
}

void Database::setOrigin(const QString& origin)
{
    detail::Connection& c = *m_connection;
    c.origin = origin;
    if (c.markedDepth > 0)
        c.writeOrigin(origin.isEmpty() ? records::otherProgram() : origin);
}

QString Database::origin() const
{
    return live().origin;
}

OriginScope::OriginScope(Database& database, const QString& origin)
    : m_database(database), m_before(database.origin())
{
    m_database.setOrigin(origin);
}

OriginScope::~OriginScope()
{
    try {
        m_database.setOrigin(m_before);
    } catch (const Error&) {
        // The transaction that had written is failing too; its rollback gives the row back.
    }
}

Recordset Database::openRecordset(const QString& query) const
{
    const detail::Connection& c = live();
    const detail::Query translated = detail::translateSelect(query, c.schema);
    return Recordset(m_connection, *translated.table, detail::selectSql(translated));
}

Statement Database::prepare(const QString& sql)
{
    live();
    return Statement(m_connection, sql);
}

Statement Database::query(const QString& sql) const
{
    live();
    Statement statement(m_connection, sql);
    if (!statement.readOnly())
        throw Error(
            QStringLiteral("La consulta «%1» cambiaría la base de datos, y solo se puede leer.").arg(sql));
    return statement;
}

void Database::execute(const QString& sql)
{
    // Through a statement, so that the writes of a pass are counted like any other.
    prepare(sql).run();
}

QString Database::translateCondition(const QString& table, const QString& condition) const
{
    const TableDef* def = live().table(table);
    if (def == nullptr)
        throw Error(QStringLiteral("La tabla «%1» no existe.").arg(table));
    return detail::translateCondition(condition, *def);
}

Transaction::Transaction(const Database& database, Kind kind) : m_connection(database.connection())
{
    if (!m_connection)
        throw Error(QStringLiteral("No hay ninguna base de datos abierta."));
    const int depth = m_connection->transactionDepth + 1;
    if (kind == Kind::Read && depth > 1) {
        // A read within a transaction already sees one state of the file, and writes nothing
        // that a savepoint would have to undo.
        m_done = true;
        return;
    }
    if (depth == 1)
        m_connection->lostTransaction.clear();
    else
        m_connection->checkTransactionAlive(); // a savepoint would begin a transaction of its own
    const char* begin = kind == Kind::Write ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED";
    m_connection->execute(depth == 1 ? begin : QStringLiteral("SAVEPOINT t%1").arg(depth).toUtf8().constData());
    m_depth = depth;
    m_connection->transactionDepth = depth;
}

void Transaction::commit()
{
    if (m_done)
        return;
    m_connection->checkTransactionAlive();
    if (m_depth == 1)
        m_connection->unmarkOrigin();
    else if (m_connection->markedDepth == m_depth)
        m_connection->markedDepth = m_depth - 1;
    m_connection->execute(m_depth == 1 ? "COMMIT"
                                       : QStringLiteral("RELEASE t%1").arg(m_depth).toUtf8().constData());
    m_done = true;
    m_connection->transactionDepth = m_depth - 1;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    const QByteArray sql = m_depth == 1
                               ? QByteArray("ROLLBACK")
                               : QStringLiteral("ROLLBACK TO t%1; RELEASE t%1").arg(m_depth).toUtf8();
    sqlite3_exec(m_connection->db, sql.constData(), nullptr, nullptr, nullptr);
    m_connection->transactionDepth = m_depth - 1;
    if (m_connection->markedDepth >= m_depth)
        m_connection->markedDepth = 0;
}

} // namespace store
