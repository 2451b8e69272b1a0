#include "store/recordset.h"

#include "base/formats.h"
#include "base/shown_value.h"
#include "store/connection.h"
#include "store/error.h"
#include "store/jet_sql.h"
#include "store/statement.h"

#include <QDateTime>
#include <cmath>
#include <sqlite3.h>
#include <unordered_set>

namespace store
{

namespace
{

QVariant readField(const Statement& statement, int column, FieldType type)
{
    if (statement.isNull(column))
        return {};
    switch (type) {
    case FieldType::Long:
        return QVariant(int(statement.int64(column)));
    case FieldType::Double:
        return QVariant(statement.real(column));
    case FieldType::Boolean:
        return QVariant(statement.int64(column) != 0);
    default:
        return QVariant(statement.text(column));
    }
}

QString asText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return formats::plainNumber(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Verdadero") : QStringLiteral("Falso");
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODate);
    default:
        return value.toString();
    }
}

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

[[noreturn]] void noCurrentRecord()
{
    throw Error(QStringLiteral("No hay ningún registro actual."));
}

[[noreturn]] void refuse(const QString& message, const FieldDef& field, const QVariant& value)
{
    throw Error(message.arg(field.name, formats::shownValue(asText(value))));
}

// A value for a numeric field: a number as it is, Sí/No as 1/0, a text as the user writes
// numbers (formats::parseNumber); nothing when it is none of them.
std::optional<double> numberOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1.0 : 0.0;
    if (isNumber(value))
        return value.toDouble();
    return formats::parseNumber(value.toString());
}

QVariant forText(const FieldDef& field, const QVariant& value)
{
    const QString text = asText(value);
    if (text.size() > field.size)
        throw Error(QStringLiteral("El valor «%1» no cabe en el campo «%2», que admite como máximo %3.")
                        .arg(formats::shownValue(text), field.name,
                             field.size == 1 ? QStringLiteral("1 carácter")
                                             : QStringLiteral("%1 caracteres").arg(field.size)));
    return text;
}

QVariant forLong(const FieldDef& field, const QVariant& value)
{
    const std::optional<double> number = numberOf(value);
    if (!number || *number != std::floor(*number))
        refuse(QStringLiteral("El campo «%1» solo admite números enteros, y «%2» no lo es."), field, value);
    if (*number < -2147483648.0 || *number > 2147483647.0)
        refuse(QStringLiteral("El campo «%1» solo admite números enteros entre -2.147.483.648 y "
                              "2.147.483.647, y «%2» no lo está."),
               field, value);
    return QVariant(int(*number));
}

QVariant forDouble(const FieldDef& field, const QVariant& value)
{
    const std::optional<double> number = numberOf(value);
    if (!number)
        refuse(QStringLiteral("El campo «%1» solo admite números, y «%2» no lo es."), field, value);
    return QVariant(*number);
}

QVariant forBoolean(const FieldDef& field, const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value;
    if (isNumber(value))
        return QVariant(value.toDouble() != 0);
    static const QStringList yes{QStringLiteral("true"), QStringLiteral("verdadero"), QStringLiteral("sí"),
                                 QStringLiteral("si"),   QStringLiteral("-1"),        QStringLiteral("1")};
    static const QStringList no{QStringLiteral("false"), QStringLiteral("falso"), QStringLiteral("no"),
                                QStringLiteral("0")};
    const QString text = value.toString().trimmed().toLower();
    if (yes.contains(text))
        return QVariant(true);
    if (no.contains(text))
        return QVariant(false);
    refuse(QStringLiteral("El campo «%1» solo admite Sí o No, y «%2» no lo es."), field, value);
}

QVariant forDate(const FieldDef& field, const QVariant& value)
{
    QDateTime when;
    if (value.typeId() == QMetaType::QDate)
        when = value.toDate().startOfDay();
    else if (value.typeId() == QMetaType::QDateTime)
        when = value.toDateTime();
    else
        when = QDateTime::fromString(value.toString().trimmed(), Qt::ISODate);
    if (!when.isValid())
        refuse(QStringLiteral("El campo «%1» solo admite fechas, y «%2» no lo es."), field, value);
    return when.toString(Qt::ISODate);
}

} // namespace

QVariant convertForField(const FieldDef& field, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (field.type) {
    case FieldType::Text:
        return forText(field, value);
    case FieldType::Memo:
        return asText(value);
    case FieldType::Long:
        return forLong(field, value);
    case FieldType::Double:
        return forDouble(field, value);
    case FieldType::Boolean:
        return forBoolean(field, value);
    case FieldType::Date:
        return forDate(field, value);
    }
    return value;
}

Recordset::Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::~Recordset() = default;

Recordset::Recordset(std::shared_ptr<detail::Connection> connection, const TableDef& table,
                     const QString& sql)
    : m_connection(std::move(connection)), m_table(&table), m_sql(sql), m_loaded(false)
{
    // Prepared now, so that a query the store cannot run fails where it is opened.
    Statement check(m_connection, m_sql);
}

void Recordset::load() const
{
    if (m_loaded)
        return;
    // Read whole before it counts as read: a read the file failed (another program's lock) is
    // tried again at the next use, instead of leaving the result empty or half filled.
    std::vector<Row> rows;
    Statement statement(m_connection, m_sql);
    const qint64 stamp = changeCount();
    const int fieldCount = int(m_table->fields.size());
    while (statement.step()) {
        Row row;
        row.rowid = statement.int64(0);
        row.stamp = stamp;
        row.values.reserve(std::size_t(fieldCount));
        for (int i = 0; i < fieldCount; ++i)
            row.values.push_back(readField(statement, i + 1, m_table->fields[std::size_t(i)].type));
        rows.push_back(std::move(row));
    }
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    m_count = int(m_rows.size());
    m_loaded = true;
}

int Recordset::recordCount() const
{
    load();
    return m_count;
}

qint64 Recordset::changeCount() const
{
    return sqlite3_total_changes64(m_connection->db);
}

bool Recordset::eof() const
{
    load();
    return m_position >= int(m_rows.size());
}

bool Recordset::bof() const
{
    load();
    return m_position < 0;
}

void Recordset::skipDeleted(int step)
{
    while (m_position >= 0 && m_position < int(m_rows.size()) && m_rows[std::size_t(m_position)].deleted)
        m_position += step;
}

void Recordset::moveFirst()
{
    load();
    m_position = 0;
    skipDeleted(+1);
}

void Recordset::moveLast()
{
    load();
    m_position = int(m_rows.size()) - 1;
    skipDeleted(-1);
    if (m_position < 0)
        m_position = int(m_rows.size());
}

void Recordset::moveNext()
{
    load();
    if (eof())
        noCurrentRecord();
    ++m_position;
    skipDeleted(+1);
}

void Recordset::movePrevious()
{
    load();
    if (bof())
        noCurrentRecord();
    --m_position;
    skipDeleted(-1);
}

bool Recordset::findFirst(const QString& condition)
{
    m_noMatch = true;
    if (!isOpen())
        return false;
    load();
    const QString sql = QStringLiteral("SELECT rowid FROM \"%1\" WHERE %2")
                            .arg(m_table->name, detail::translateCondition(condition, *m_table));
    Statement statement(m_connection, sql);
    std::unordered_set<qint64> matching;
    while (statement.step())
        matching.insert(statement.int64(0));
    if (matching.empty())
        return false;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (!m_rows[i].deleted && matching.count(m_rows[i].rowid) != 0) {
            m_position = int(i);
            m_noMatch = false;
            return true;
        }
    }
    return false;
}

Recordset::Row& Recordset::currentRow() const
{
    load();
    if (!isOpen() || m_position < 0 || m_position >= int(m_rows.size()))
        noCurrentRecord();
    Row& row = m_rows[std::size_t(m_position)];
    if (row.deleted)
        throw Error(QStringLiteral("El registro actual ha sido borrado."));
    if (row.stamp != changeCount())
        refresh(row);
    return row;
}

// Another result or pass of this program changed the file since the row was read: read it
// again, so that what is shown is what is stored.
void Recordset::refresh(Row& row) const
{
    QStringList columns;
    for (const FieldDef& f : m_table->fields)
        columns << u'"' + f.name + u'"';
    Statement statement(m_connection, QStringLiteral("SELECT %1 FROM \"%2\" WHERE rowid = ?")
                                          .arg(columns.join(QStringLiteral(", ")), m_table->name));
    statement.bind(1, row.rowid);
    if (!statement.step()) {
        row.deleted = true;
        throw Error(QStringLiteral("El registro actual ha sido borrado."));
    }
    for (std::size_t i = 0; i < m_table->fields.size(); ++i)
        row.values[i] = readField(statement, int(i), m_table->fields[i].type);
    row.stamp = changeCount();
}

int Recordset::fieldIndex(const QString& field) const
{
    if (!isOpen())
        noCurrentRecord();
    const int index = m_table->fieldIndex(field);
    if (index < 0)
        throw Error(QStringLiteral("El campo «%1» no existe en la tabla «%2».").arg(field, m_table->name));
    return index;
}

QVariant Recordset::value(const QString& field) const
{
    const int index = fieldIndex(field);
    if (m_mode != Mode::Browse)
        return m_buffer[std::size_t(index)];
    return currentRow().values[std::size_t(index)];
}

qint64 Recordset::rowid() const
{
    return currentRow().rowid;
}

QString Recordset::text(const QString& field) const
{
    const QVariant v = value(field);
    return v.isValid() ? asText(v) : QString();
}

void Recordset::setValue(const QString& field, const QVariant& value)
{
    const int index = fieldIndex(field);
    if (m_mode == Mode::Browse)
        throw Error(
            QStringLiteral("No se puede escribir el campo «%1» sin empezar un registro nuevo o un cambio.")
                .arg(field));
    m_buffer[std::size_t(index)] = value;
    m_staged[std::size_t(index)] = true;
}

void Recordset::addNew()
{
    if (!isOpen())
        noCurrentRecord();
    load();
    m_mode = Mode::AddNew;
    m_buffer.assign(m_table->fields.size(), QVariant());
    m_staged.assign(m_table->fields.size(), false);
}

void Recordset::edit()
{
    const Row& row = currentRow();
    m_editing = std::size_t(m_position);
    m_mode = Mode::Edit;
    m_buffer = row.values;
    m_staged.assign(m_table->fields.size(), false);
}

void Recordset::cancelUpdate()
{
    m_mode = Mode::Browse;
}

Recordset::Staged Recordset::staged() const
{
    const auto& fields = m_table->fields;
    Staged staged;
    staged.values.resize(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        // A Yes/No field always has a value: No until it is set.
        const bool defaultNo = m_mode == Mode::AddNew && fields[i].type == FieldType::Boolean && !m_staged[i];
        if (!m_staged[i] && !defaultNo)
            continue;
        staged.values[i] = defaultNo ? QVariant(false) : convertForField(fields[i], m_buffer[i]);
        staged.names << u'"' + fields[i].name + u'"';
        staged.written.push_back(i);
    }
    return staged;
}

void Recordset::insertStaged(Staged staged)
{
    const QString sql =
        staged.names.isEmpty()
            ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(m_table->name)
            : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                  .arg(m_table->name, staged.names.join(QStringLiteral(", ")),
                       QStringList(staged.names.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    Statement statement(m_connection, sql);
    for (std::size_t k = 0; k < staged.written.size(); ++k)
        statement.bind(int(k) + 1, staged.values[staged.written[k]]);
    statement.run();
    Row row;
    row.rowid = sqlite3_last_insert_rowid(m_connection->db);
    row.values = std::move(staged.values);
    row.stamp = changeCount();
    const bool atEnd = eof();
    m_rows.push_back(std::move(row));
    if (atEnd)
        m_position = int(m_rows.size());
    ++m_count;
}

void Recordset::writeStaged(const Staged& staged)
{
    Row& row = m_rows[m_editing];
    if (!staged.written.empty()) {
        QStringList assignments;
        for (const QString& name : staged.names)
            assignments << name + QStringLiteral(" = ?");
        Statement statement(m_connection, QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?")
                                              .arg(m_table->name, assignments.join(QStringLiteral(", "))));
        for (std::size_t k = 0; k < staged.written.size(); ++k)
            statement.bind(int(k) + 1, staged.values[staged.written[k]]);
        statement.bind(int(staged.written.size()) + 1, row.rowid);
        statement.run();
        if (sqlite3_changes(m_connection->db) == 0) {
            row.deleted = true;
            m_mode = Mode::Browse;
            throw Error(QStringLiteral("El registro actual ha sido borrado."));
        }
        for (std::size_t i : staged.written)
            row.values[i] = staged.values[i];
    }
    row.stamp = changeCount();
}

void Recordset::update()
{
    if (m_mode == Mode::Browse)
        throw Error(QStringLiteral("No hay ningún registro nuevo ni cambio que guardar."));
    if (m_mode == Mode::AddNew)
        insertStaged(staged());
    else
        writeStaged(staged());
    m_mode = Mode::Browse;
}

void Recordset::remove()
{
    Row& row = currentRow();
    Statement statement(m_connection,
                        QStringLiteral("DELETE FROM \"%1\" WHERE rowid = ?").arg(m_table->name));
    statement.bind(1, row.rowid);
    statement.run();
    row.deleted = true;
    --m_count;
}

} // namespace store
