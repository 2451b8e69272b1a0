#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace store
{

namespace detail
{
struct Connection;
}

// One prepared SQL statement of the store's own (the bulk passes use it directly). Values are
// bound, never spliced. Failures raise store::Error.
class Statement
{
public:
    Statement(std::shared_ptr<detail::Connection> connection, const QString& sql);
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Binds by position, from 1. An invalid or null QVariant binds NULL.
    Statement& bind(int index, const QVariant& value);
    Statement& bind(int index, qint64 value);
    Statement& bind(int index, double value);
    Statement& bind(int index, const QString& value);

    // Runs one step: true when a row is ready, false when done.
    bool step();
    // Runs to completion (for statements that return no rows).
    void run();
    void reset();

    // Whether running it leaves the file as it is.
    bool readOnly() const;
    int columnCount() const;
    bool isNull(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // The raw UTF-8 bytes of a text column, valid until the next step.
    std::string_view utf8(int column) const;
    QVariant value(int column) const;

private:
    bool stepAlone();
    bool finishStep(int rc);

    void release();

    std::shared_ptr<detail::Connection> m_connection;
    QByteArray m_sql;
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace store
