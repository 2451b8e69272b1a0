#include "rules/clubs/club.h"

#include "store/database.h"
#include "store/error.h"
#include "store/schema.h"

namespace clubs
{

namespace
{

const QString kCodigo = QStringLiteral("codigo");
const QString kNombre = QStringLiteral("nombre");
const QString kProvincia = QStringLiteral("provincia");

// The size of a Text field of club, as the schema gives it.
int sizeOf(const QString& field)
{
    const store::TableDef* club = store::schema::clubs().table(QStringLiteral("club"));
    return club->fields[std::size_t(club->fieldIndex(field))].size;
}

std::optional<Refusal> tooLong(Field field, const QString& value, const QString& fieldName,
                               const QString& what)
{
    const int size = sizeOf(fieldName);
    if (value.size() <= size)
        return std::nullopt;
    return Refusal{field,
                   QStringLiteral("%1 admite como máximo %2 caracteres, y el escrito tiene %3. Acórtelo.")
                       .arg(what)
                       .arg(size)
                       .arg(value.size())};
}

void refuseIfNeeded(const Club& club)
{
    if (const auto refused = refusal(club))
        throw base::ValidationError(refused->message);
}

// Stores the record started by addNew or edit; a failing write leaves the result browsing.
void write(store::Recordset& result, const Club& club)
{
    try {
        result.setValue(kCodigo, club.codigo);
        result.setValue(kNombre, club.nombre);
        result.setValue(kProvincia, club.provincia);
        result.update();
    } catch (...) {
        result.cancelUpdate();
        throw;
    }
}

void moveToExisting(store::Recordset& result, int index)
{
    if (!moveTo(result, index))
        throw base::Error(QStringLiteral("El club elegido ya no está en la lista de clubes."));
}

} // namespace

QString query(Order order)
{
    switch (order) {
    case Order::CodeAsText:
        return QStringLiteral("select * from club order by codigo");
    case Order::CodeAsNumber:
        return QStringLiteral("select * from club order by val(codigo)");
    case Order::Name:
        break;
    }
    return QStringLiteral("select * from club order by nombre");
}

std::vector<Club> reopen(const store::Database& clubDb, store::Recordset& result, Order order)
{
    store::Recordset reopened = clubDb.openRecordset(query(order));
    std::vector<Club> clubs;
    clubs.reserve(std::size_t(reopened.recordCount()));
    for (reopened.moveFirst(); !reopened.eof(); reopened.moveNext())
        clubs.push_back(current(reopened));
    reopened.moveFirst();
    result = std::move(reopened);
    return clubs;
}

bool moveTo(store::Recordset& result, int index)
{
    if (index < 0 || index >= result.recordCount())
        return false;
    result.moveFirst();
    for (int i = 0; i < index && !result.eof(); ++i)
        result.moveNext();
    return !result.eof();
}

Club current(const store::Recordset& result)
{
    return {result.text(kCodigo), result.text(kNombre), result.text(kProvincia)};
}

ListEntry maintenanceEntry(const Club& club)
{
    return {club.codigo.trimmed(), club.codigo, club.nombre, club.provincia.toUpper()};
}

ListEntry searchEntry(const Club& club)
{
    return {club.codigo, club.codigo, club.nombre.toUpper(), club.provincia.toUpper()};
}

std::optional<Refusal> refusal(const Club& club)
{
    if (club.codigo.trimmed().isEmpty())
        return Refusal{Field::Codigo, QStringLiteral("Escriba el código del club.")};
    if (auto refused = tooLong(Field::Codigo, club.codigo, kCodigo, QStringLiteral("El código del club")))
        return refused;
    if (auto refused = tooLong(Field::Nombre, club.nombre, kNombre, QStringLiteral("El nombre del club")))
        return refused;
    return tooLong(Field::Provincia, club.provincia, kProvincia, QStringLiteral("La provincia del club"));
}

void add(store::Recordset& result, const Club& club)
{
    refuseIfNeeded(club);
    result.addNew();
    write(result, club);
}

void changeAt(store::Recordset& result, int index, const Club& club)
{
    refuseIfNeeded(club);
    moveToExisting(result, index);
    result.edit();
    write(result, club);
}

void removeAt(store::Recordset& result, int index)
{
    moveToExisting(result, index);
    result.remove();
}

} // namespace clubs
