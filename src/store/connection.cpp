#include "store/connection.h"

#include "shell/formats.h"
#include "store/error.h"
#include "store/text_order.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace store::detail
{

Connection::~Connection()
{
    if (db != nullptr)
        sqlite3_close_v2(db);
}

const TableDef* Connection::table(const QString& name) const
{
    return schema.table(name);
}

QString Connection::fileName() const
{
    return QFileInfo(path).fileName();
}

void Connection::fail(int code) const
{
    const QString file = fileName();
    const QString detail = db != nullptr ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw Error(QStringLiteral("La base de datos «%1» está ocupada por otro programa. "
                                   "Espere un momento y vuelva a intentarlo.")
                        .arg(file));
    case SQLITE_FULL:
        throw Error(QStringLiteral("No queda espacio en el disco para guardar «%1».").arg(file));
    case SQLITE_READONLY:
        throw Error(QStringLiteral("No se puede escribir en «%1»: el archivo o su carpeta es de solo "
                                   "lectura.")
                        .arg(file));
    case SQLITE_NOTADB:
        throw Error(QStringLiteral("El archivo «%1» no es una base de datos de este programa.").arg(file));
    case SQLITE_CORRUPT:
        throw Error(QStringLiteral("El archivo «%1» está dañado.").arg(file));
    case SQLITE_CANTOPEN:
        throw Error(QStringLiteral("No se puede abrir el archivo «%1».").arg(file));
    case SQLITE_IOERR:
        throw Error(QStringLiteral("Error de lectura o escritura en el archivo «%1».").arg(file));
    case SQLITE_PERM:
    case SQLITE_AUTH:
        throw Error(QStringLiteral("No hay permiso para usar el archivo «%1».").arg(file));
    default:
        throw Error(QStringLiteral("Error de la base de datos «%1»: %2.").arg(file, detail));
    }
}

void Connection::execute(const char* sql) const
{
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
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
