#include "store/connection.h"

#include "base/formats.h"
#include "store/error.h"
#include "store/records.h"
#include "store/text_order.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace store::detail
{

namespace
{
constexpr std::size_t keptStatements = 48;
}

Connection::~Connection()
{
    for (const auto& [sql, statement] : m_kept)
        sqlite3_finalize(statement);
    if (db != nullptr)
        sqlite3_close_v2(db);
}

sqlite3_stmt* Connection::takeStatement(const QByteArray& sql)
{
    for (auto kept = m_kept.rbegin(); kept != m_kept.rend(); ++kept)
        if (kept->first == sql) {
            sqlite3_stmt* statement = kept->second;
            m_kept.erase(std::next(kept).base());
            return statement;
        }
    return nullptr;
}

void Connection::keepStatement(QByteArray sql, sqlite3_stmt* statement)
{
    sqlite3_reset(statement); // its outcome was raised when the statement ran
    sqlite3_clear_bindings(statement);
    m_kept.emplace_back(std::move(sql), statement);
    if (m_kept.size() > keptStatements) {
        sqlite3_finalize(m_kept.front().second);
        m_kept.erase(m_kept.begin());
    }
}

const TableDef* Connection::table(const QString& name) const
{
    return schema.table(name);
}

QString Connection::fileName() const
{
    return QFileInfo(path).fileName();
}

Error Connection::errorFor(int code) const
{
    const QString file = fileName();
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    const QString detail = db != nullptr ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    const auto storage = [code](const QString& message) {
        return Error(message, Error::Kind::Storage, code);
    };
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return storage(QStringLiteral("El archivo «%1» de la carpeta «%2» está ocupado por otro programa: se "
                                      "ha esperado %3 segundos a que lo deje libre. Espere a que termine o "
                                      "ciérrelo, y vuelva a intentarlo.")
                           .arg(file, folder)
                           .arg(busyTimeoutMs / 1000));
    case SQLITE_FULL:
        return storage(QStringLiteral("No queda espacio en el disco para guardar «%1».").arg(file));
    case SQLITE_READONLY:
        return storage(QStringLiteral("No se puede escribir en «%1»: el archivo o su carpeta es de solo "
                                      "lectura.")
                           .arg(file));
    case SQLITE_NOTADB:
        return storage(QStringLiteral("El archivo «%1» no es una base de datos de este programa.").arg(file));
    case SQLITE_CORRUPT:
        return storage(QStringLiteral("El archivo «%1» está dañado.").arg(file));
    case SQLITE_CANTOPEN:
        // Once the file is open, what cannot be opened is the journal that SQLite makes beside it
        // for every change.
        if (opened)
            return storage(QStringLiteral("No se puede escribir en la carpeta «%1»: los cambios de «%2» "
                                          "necesitan crear un archivo en ella.")
                               .arg(folder, file));
        return storage(QStringLiteral("No se puede abrir el archivo «%1».").arg(file));
    case SQLITE_IOERR:
        return storage(QStringLiteral("Error de lectura o escritura en el archivo «%1».").arg(file));
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return storage(QStringLiteral("No hay permiso para usar el archivo «%1».").arg(file));
    case SQLITE_ERROR:
        // A file whose schema SQLite cannot read: written by a newer SQLite, or its header damaged.
        if (detail == u"unsupported file format")
            return storage(
                QStringLiteral("El archivo «%1» tiene un formato de base de datos que este programa "
                               "no conoce: es de una versión más moderna de SQLite o está dañado.")
                    .arg(file));
        return storage(QStringLiteral("Error de la base de datos «%1»: %2.").arg(file, detail));
    // The row's own values: a pass may leave this row and go on; but a closed show refuses the
    // whole pass.
    case SQLITE_CONSTRAINT:
        if (detail == records::closedMessage())
            return storage(detail);
        [[fallthrough]];
    case SQLITE_MISMATCH:
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
        return Error(QStringLiteral("Error de la base de datos «%1»: %2.").arg(file, detail),
                     Error::Kind::Data, code);
    default:
        return storage(QStringLiteral("Error de la base de datos «%1»: %2.").arg(file, detail));
    }
}

void Connection::fail(int code) const
{
    const Error error = errorFor(code);
    // After a full disk or an I/O error SQLite may roll the whole transaction back by itself; when
    // it keeps it (a statement with triggers undoes only itself), the store does: nothing of a pass
    // whose file failed is kept.
    if (transactionDepth > 0 && db != nullptr && lostTransaction.isEmpty() &&
        (sqlite3_get_autocommit(db) != 0 || error.isStorage())) {
        if (sqlite3_get_autocommit(db) == 0)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        lostTransaction = error.message();
    }
    throw error;
}

void Connection::checkTransactionAlive() const
{
    if (transactionDepth == 0 || db == nullptr || sqlite3_get_autocommit(db) == 0)
        return;
    const QString cause =
        lostTransaction.isEmpty()
            ? QStringLiteral("La base de datos «%1» ha deshecho los cambios en curso.").arg(fileName())
            : lostTransaction;
    throw Error(cause + QStringLiteral(" No se ha guardado nada de la operación."), Error::Kind::Storage);
}

void Connection::execute(const char* sql) const
{
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

void Connection::writeOrigin(const QString& text)
{
    sqlite3_stmt* statement = nullptr;
    static const QByteArray sql = QByteArrayLiteral("UPDATE \"Origen\" SET origen = ?");
    check(sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr));
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(statement, 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        fail(rc);
}

void Connection::markOrigin()
{
    if (!records || markedDepth > 0 || origin.isEmpty())
        return;
    writeOrigin(origin);
    markedDepth = transactionDepth > 0 ? transactionDepth : 1;
}

void Connection::unmarkOrigin()
{
    if (markedDepth == 0)
        return;
    writeOrigin(records::otherProgram());
    markedDepth = 0;
}

namespace
{

int collateJet(void*, int aLength, const void* a, int bLength, const void* b)
{
    return text::compareUtf8(static_cast<const char*>(a), aLength, static_cast<const char*>(b), bLength);
}

QString argumentText(sqlite3_value* value)
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(value));
}

void resultText(sqlite3_context* context, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    sqlite3_result_text(context, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

// cstr(x): the text of a value as the user's settings write it (85.5 gives "85,5").
void functionCstr(sqlite3_context* context, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(context);
        break;
    case SQLITE_INTEGER:
        resultText(context, QString::number(sqlite3_value_int64(argv[0])));
        break;
    case SQLITE_FLOAT:
        resultText(context, formats::plainNumber(sqlite3_value_double(argv[0])));
        break;
    default:
        sqlite3_result_value(context, argv[0]);
    }
}

// val(x): the leading number of a text; numbers stay as they are.
void functionVal(sqlite3_context* context, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(context);
        break;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_value(context, argv[0]);
        break;
    default:
        sqlite3_result_double(context, formats::leadingNumber(argumentText(argv[0])));
    }
}

// x LIKE pattern, with the wildcards and the sort order of the exhibition files. SQLite calls
// like(pattern, x).
void functionLike(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int(context, text::like(argumentText(argv[1]), argumentText(argv[0])) ? 1 : 0);
}

} // namespace

void registerFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_collation(db, "jet", SQLITE_UTF8, nullptr, collateJet);
    sqlite3_create_function(db, "jet_cstr", 1, flags, nullptr, functionCstr, nullptr, nullptr);
    sqlite3_create_function(db, "jet_val", 1, flags, nullptr, functionVal, nullptr, nullptr);
    sqlite3_create_function(db, "like", 2, flags, nullptr, functionLike, nullptr, nullptr);
}

} // namespace store::detail
