#include "rules/records/history.h"

#include "store/database.h"
#include "store/records.h"

namespace records
{

namespace origins
{
QString reception() { return QStringLiteral("Recepción"); }
QString judging() { return QStringLiteral("Puntuación"); }
QString configuration() { return QStringLiteral("Configuración"); }
QString recalculation() { return QStringLiteral("Recálculo"); }
QString commandLine() { return QStringLiteral("Línea de órdenes"); }
QString restore() { return QStringLiteral("Restauración"); }
QString closing() { return QStringLiteral("Cierre"); }
QString phone(int judge) { return QStringLiteral("Teléfono juez %1").arg(judge); }
QString import(const QString& fileName) { return QStringLiteral("Importación %1").arg(fileName); }
} // namespace origins

namespace
{

bool kept(const Change& change, const HistoryFilter& filter)
{
    return (!filter.jaula || change.jaula == QString::number(*filter.jaula)) &&
           (!filter.juez || change.juez == filter.juez);
}

// The rows of a pass recorded in one line: one change each, at the pass's time and origin.
void unpack(const Change& pass, const HistoryFilter& filter, std::vector<Change>& changes)
{
    const QStringList rows = pass.despues.split(u'\n');
    for (const QString& row : rows) {
        const QStringList fields = row.split(u'\t');
        if (fields.size() != 5)
            continue;
        Change change{pass.fecha, pass.origen, fields[0], std::nullopt, fields[2], fields[3], fields[4]};
        bool number = false;
        if (const int juez = fields[1].toInt(&number); number)
            change.juez = juez;
        if (kept(change, filter))
            changes.push_back(std::move(change));
    }
}

} // namespace

std::vector<Change> history(const store::Database& db, const HistoryFilter& filter)
{
    store::Transaction reading(db, store::Transaction::Kind::Read);
    store::Statement rows = db.query(QStringLiteral(
        "SELECT fecha, origen, jaula, juez, campo, antes, despues FROM \"Historial\" "
        "WHERE campo = ?3 OR ((?1 IS NULL OR CAST(jaula AS INTEGER) = ?1) AND (?2 IS NULL OR juez = ?2)) "
        "ORDER BY id"));
    rows.bind(1, filter.jaula ? QVariant(*filter.jaula) : QVariant());
    rows.bind(2, filter.juez ? QVariant(*filter.juez) : QVariant());
    rows.bind(3, store::records::packedPassField());
    std::vector<Change> changes;
    while (rows.step()) {
        Change change{rows.text(0), rows.text(1), rows.text(2), std::nullopt, rows.text(4), rows.text(5),
                      rows.text(6)};
        if (!rows.isNull(3))
            change.juez = int(rows.int64(3));
        if (change.campo == store::records::packedPassField() && change.jaula.isEmpty())
            unpack(change, filter, changes);
        else
            changes.push_back(std::move(change));
    }
    return changes;
}

QString historyLine(const Change& change)
{
    const auto shown = [](const QString& value) {
        return value.isEmpty() ? QStringLiteral("(nada)") : value;
    };
    QString where;
    if (!change.jaula.isEmpty())
        where = QStringLiteral("jaula %1").arg(change.jaula);
    if (change.juez)
        where += QStringLiteral("%1juez %2").arg(where.isEmpty() ? QString() : QStringLiteral(" ")).arg(*change.juez);
    QStringList parts = {change.fecha, change.origen};
    if (!where.isEmpty())
        parts << where;
    parts << QStringLiteral("%1: %2 -> %3").arg(change.campo, shown(change.antes), shown(change.despues));
    return parts.join(QStringLiteral("  "));
}

void recordEvent(store::Database& db, const QString& origin, const QString& campo, const QString& antes,
                 const QString& despues)
{
    store::Transaction recording(db);
    store::Statement insert = db.prepare(QStringLiteral(
        "INSERT INTO \"Historial\" (fecha, origen, campo, antes, despues) "
        "VALUES (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'), ?, ?, ?, ?)"));
    insert.bind(1, origin).bind(2, campo).bind(3, antes.isEmpty() ? QVariant() : QVariant(antes));
    insert.bind(4, despues.isEmpty() ? QVariant() : QVariant(despues));
    insert.run();
    recording.commit();
}

QString lastChangeTime(const store::Database& db)
{
    store::Statement last = db.query(QStringLiteral("SELECT fecha FROM \"Historial\" ORDER BY id DESC LIMIT 1"));
    return last.step() ? last.text(0) : QString();
}

} // namespace records
