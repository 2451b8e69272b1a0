#include "store/statement.h"

#include "store/connection.h"
#include "store/error.h"
#include "store/write_fault.h"

#include <sqlite3.h>

namespace store
{

Statement::Statement(std::shared_ptr<detail::Connection> connection, const QString& sql)
    : m_connection(std::move(connection)), m_sql(sql.toUtf8())
{
    m_statement = m_connection->takeStatement(m_sql);
    if (m_statement == nullptr)
        m_connection->check(sqlite3_prepare_v2(m_connection->db, m_sql.constData(), int(m_sql.size()),
                                               &m_statement, nullptr));
}

void Statement::release()
{
    if (m_statement != nullptr)
        m_connection->keepStatement(std::move(m_sql), std::exchange(m_statement, nullptr));
}

bool Statement::readOnly() const
{
    return sqlite3_stmt_readonly(m_statement) != 0;
}

Statement::Statement(Statement&& other) noexcept
    : m_connection(std::move(other.m_connection)), m_sql(std::move(other.m_sql)),
      m_statement(std::exchange(other.m_statement, nullptr))
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        release();
        m_connection = std::move(other.m_connection);
        m_sql = std::move(other.m_sql);
        m_statement = std::exchange(other.m_statement, nullptr);
    }
    return *this;
}

Statement::~Statement()
{
    release();
}

Statement& Statement::bind(int index, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        m_connection->check(sqlite3_bind_null(m_statement, index));
        return *this;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        return bind(index, qint64(value.toBool() ? 1 : 0));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        return bind(index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return bind(index, value.toDouble());
    default:
        return bind(index, value.toString());
    }
}

Statement& Statement::bind(int index, qint64 value)
{
    m_connection->check(sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

Statement& Statement::bind(int index, double value)
{
    m_connection->check(sqlite3_bind_double(m_statement, index, value));
    return *this;
}

Statement& Statement::bind(int index, const QString& value)
{
    const QByteArray bytes = value.toUtf8();
    m_connection->check(
        sqlite3_bind_text(m_statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT));
    return *this;
}

bool Statement::step()
{
    if (sqlite3_stmt_readonly(m_statement) == 0) {
        m_connection->checkTransactionAlive();
        if (const int forced = detail::countWrite(); forced != 0) {
            sqlite3_reset(m_statement);
            m_connection->fail(forced);
        }
        if (m_connection->transactionDepth > 0)
            m_connection->markOrigin();
        else if (m_connection->records && !m_connection->origin.isEmpty())
            return stepAlone();
    }
    return finishStep(sqlite3_step(m_statement));
}

// A write outside any transaction, with its origin: in a transaction of its own, so that the
// origin is given back whatever happens.
bool Statement::stepAlone()
{
    detail::Connection& c = *m_connection;
    c.execute("BEGIN IMMEDIATE");
    int rc = SQLITE_OK;
    try {
        c.markOrigin();
        rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW || rc == SQLITE_DONE) {
            c.unmarkOrigin();
            c.execute("COMMIT");
        }
    } catch (...) {
        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        c.markedDepth = 0;
        throw;
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        sqlite3_reset(m_statement);
        const Error error = c.errorFor(rc);
        sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
        c.markedDepth = 0;
        throw error;
    }
    return rc == SQLITE_ROW;
}

bool Statement::finishStep(int rc)
{
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_statement);
    m_connection->fail(rc);
}

void Statement::run()
{
    while (step()) {
    }
    reset();
}

void Statement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

QString Statement::text(int column) const
{
    const std::string_view bytes = utf8(column);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

std::string_view Statement::utf8(int column) const
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    if (bytes == nullptr)
        return {};
    return {bytes, std::size_t(sqlite3_column_bytes(m_statement, column))};
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(int64(column));
    case SQLITE_FLOAT:
        return QVariant(real(column));
    default:
        return QVariant(text(column));
    }
}

} // namespace store
