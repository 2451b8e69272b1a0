#pragma once

#include "store/field.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace store
{

namespace detail
{
struct Connection;
}

// An updatable result (a dynaset): the rows of one table that a query selects, in the query's
// order, through which rows are read, added, changed and deleted. Field names are matched
// without regard to case. A field without a value reads as an invalid QVariant (Null); Long
// fields read as int, Double as double, Text and Memo as QString, Boolean as bool.
//
// A default-constructed result is closed and empty: it has no records and finds nothing.
class Recordset
{
public:
    Recordset();
    Recordset(std::shared_ptr<detail::Connection> connection, const TableDef& table, const QString& sql);
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    ~Recordset();

    bool isOpen() const { return m_connection != nullptr; }
    const TableDef* table() const { return m_table; }

    // The number of records, 0 for an empty result; rows added through the result count, rows
    // deleted through it no longer do.
    int recordCount() const;
    bool eof() const;
    bool bof() const;

    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();

    // Positions the result on the first record, in its own order, that meets the condition
    // (written in the query subset: "cstr(jaula) = '12'"). Returns false, and leaves the
    // position where it was, when none does; noMatch() then tells so.
    bool findFirst(const QString& condition);
    bool noMatch() const { return m_noMatch; }

    // The current record's field. Raises store::Error when there is no current record.
    QVariant value(const QString& field) const;
    // The field as text: "" for Null.
    QString text(const QString& field) const;
    // The current record's row in its table (SQLite's rowid): what tells apart two records whose
    // fields are alike. Raises store::Error when there is no current record.
    qint64 rowid() const;
    // Stages a field of the record being added or edited.
    void setValue(const QString& field, const QVariant& value);

    void addNew(); // starts a new record; all fields Null
    void edit();   // starts changing the current record
    void update(); // stores the record started by addNew or edit
    void cancelUpdate();
    void remove(); // deletes the current record at once; move on with moveNext

private:
    struct Row {
        qint64 rowid = 0;
        std::vector<QVariant> values;
        qint64 stamp = 0; // the connection's change count when the values were read
        bool deleted = false;
    };
    enum class Mode { Browse, Edit, AddNew };
    // The fields an update writes: their quoted names and their values converted for the field,
    // at the field's index (empty for the others).
    struct Staged {
        std::vector<QVariant> values;
        QStringList names;
        std::vector<std::size_t> written;
    };

    // The rows are read at the first use, so that a shared result opened over a large table
    // and replaced before anyone reads it costs nothing.
    void load() const;
    Row& currentRow() const;
    void refresh(Row& row) const;
    int fieldIndex(const QString& field) const;
    void skipDeleted(int step);
    qint64 changeCount() const;
    Staged staged() const;
    void insertStaged(Staged staged);
    void writeStaged(const Staged& staged);

    std::shared_ptr<detail::Connection> m_connection;
    const TableDef* m_table = nullptr;
    QString m_sql;
    mutable bool m_loaded = true;
    mutable std::vector<Row> m_rows;
    int m_position = 0; // m_rows.size() is past the end, -1 before the start
    mutable int m_count = 0;
    bool m_noMatch = false;
    Mode m_mode = Mode::Browse;
    // The row an edit started on: update() stores into it even when the position moved since
    // (to the end, say), rather than into whatever row, or none, the position then names.
    std::size_t m_editing = 0;
    std::vector<QVariant> m_buffer;
    std::vector<bool> m_staged;
};

// Converts a value for a field the way the store writes it: a text into a Long or Double is
// read with the decimal comma; a Text(n) value longer than n, a Long that is not a whole number
// or a number that is not a number raise store::Error naming the field and its limit.
QVariant convertForField(const FieldDef& field, const QVariant& value);

} // namespace store
