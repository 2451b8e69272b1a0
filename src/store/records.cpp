#include "store/records.h"

#include <vector>

namespace store::records
{

namespace
{

const QString now = QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')");

QString origin()
{
    return QStringLiteral("coalesce((SELECT origen FROM \"Origen\" LIMIT 1), '%1')").arg(otherProgram());
}

// A value as the history shows it: numbers with the decimal comma, without trailing zeros.
QString shown(const QString& value)
{
    return QStringLiteral("CASE typeof(%1) WHEN 'real' THEN replace(printf('%g', %1), '.', ',') "
                          "ELSE CAST(%1 AS TEXT) END")
        .arg(value);
}

// The five criteria of a score row, in one text.
QString scoreSummary(const QString& row)
{
    QStringList parts;
    for (int i = 1; i <= 5; ++i)
        parts << QStringLiteral("coalesce(%1, '-')").arg(shown(QStringLiteral("%1.puntos%2").arg(row).arg(i)));
    return parts.join(QStringLiteral(" || ' ' || "));
}

QString statusSummary(const QString& row)
{
    return QStringLiteral("%1.estado || CASE WHEN coalesce(%1.motivo, '') <> '' THEN ': ' || %1.motivo ELSE '' END")
        .arg(row);
}

QString birdSummary(const QString& row)
{
    return QStringLiteral("trim(coalesce(%1.anilla, '') || ' ' || coalesce(%1.sexo, '') || ' ' || "
                          "trim(coalesce(%1.grupo, '') || coalesce(%1.categ, '')) || "
                          "CASE WHEN trim(coalesce(%1.club, '')) <> '' THEN ' club ' || trim(%1.club) ELSE '' END)")
        .arg(row);
}

QString insertHistory(const QString& select)
{
    return QStringLiteral("INSERT INTO \"Historial\" (fecha, origen, jaula, juez, campo, antes, despues) %1;")
        .arg(select);
}

QString line(const QString& jaula, const QString& juez, const QString& campo, const QString& antes,
             const QString& despues, const QString& when = {})
{
    return QStringLiteral("SELECT %1, %2, %3, %4, '%5', %6, %7%8")
        .arg(now, origin(), jaula, juez, campo, antes, despues,
             when.isEmpty() ? QString() : QStringLiteral(" WHERE ") + when);
}

// One line per field whose value changed (on an insert, per field given a value).
QString fieldLines(const QString& jaula, const QString& juez, const QStringList& fields, bool inserted = false)
{
    QStringList arms;
    for (const QString& field : fields) {
        const QString before = inserted ? QStringLiteral("NULL") : QStringLiteral("old.\"%1\"").arg(field);
        const QString after = QStringLiteral("new.\"%1\"").arg(field);
        arms << line(jaula, juez, field, shown(before), shown(after), before + QStringLiteral(" IS NOT ") + after);
    }
    return insertHistory(arms.join(QStringLiteral(" UNION ALL ")));
}

QString trigger(const QString& name, const QString& event, const QString& table, const QString& body)
{
    return QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"%1\" AFTER %2 ON \"%3\" BEGIN %4 END")
        .arg(name, event, table, body);
}

const QStringList guardedTables = {QStringLiteral("Recepcion"), QStringLiteral("Puntos"),
                                   QStringLiteral("Config"), QStringLiteral("Estado"),
                                   QStringLiteral("Comprobadas")};
const QStringList events = {QStringLiteral("INSERT"), QStringLiteral("UPDATE"), QStringLiteral("DELETE")};

} // namespace

QString otherProgram()
{
    return QStringLiteral("Otro programa");
}

QString closedMessage()
{
    return QStringLiteral("La exposición está cerrada");
}

QStringList tableStatements(bool temporary)
{
    const QString create = temporary ? QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS")
                                     : QStringLiteral("CREATE TABLE IF NOT EXISTS");
    QStringList statements = {
        create + QStringLiteral(" \"Estado\" (jaula INTEGER, anilla TEXT, estado TEXT, motivo TEXT)"),
        create + QStringLiteral(" \"Comprobadas\" (jaula TEXT, juez INTEGER, puntos1 REAL, puntos2 REAL, "
                                "puntos3 REAL, puntos4 REAL, puntos5 REAL)"),
        create + QStringLiteral(" \"Cierre\" (id INTEGER PRIMARY KEY, fecha TEXT, cerrada INTEGER, "
                                "sello TEXT, motivo TEXT)"),
        create + QStringLiteral(" \"Historial\" (id INTEGER PRIMARY KEY, fecha TEXT, origen TEXT, jaula "
                                "TEXT, juez INTEGER, campo TEXT, antes TEXT, despues TEXT)"),
        create + QStringLiteral(" \"Origen\" (origen TEXT)"),
    };
    if (!temporary)
        statements << QStringLiteral("INSERT INTO \"Origen\" (origen) SELECT '%1' WHERE NOT EXISTS "
                                     "(SELECT 1 FROM \"Origen\")")
                          .arg(otherProgram());
    return statements;
}

QStringList historyTriggers()
{
    const QStringList birdFields = {QStringLiteral("jaula"),  QStringLiteral("anilla"), QStringLiteral("año"),
                                    QStringLiteral("sexo"),   QStringLiteral("licencia"), QStringLiteral("club"),
                                    QStringLiteral("nombre"), QStringLiteral("color"),  QStringLiteral("grupo"),
                                    QStringLiteral("categ"),  QStringLiteral("puntos"), QStringLiteral("termina"),
                                    QStringLiteral("conc"),   QStringLiteral("km"),     QStringLiteral("coef")};
    const QStringList configFields = {QStringLiteral("Nombre"), QStringLiteral("fecha"), QStringLiteral("Jueces"),
                                      QStringLiteral("Dibujo"), QStringLiteral("Region"), QStringLiteral("media"),
                                      QStringLiteral("quitar"), QStringLiteral("juez")};
    const QString none = QStringLiteral("NULL");
    return {
        trigger(QStringLiteral("historial_recepcion_alta"), QStringLiteral("INSERT"), QStringLiteral("Recepcion"),
                insertHistory(line(QStringLiteral("new.jaula"), none, QStringLiteral("paloma"), none,
                                   birdSummary(QStringLiteral("new"))))),
        trigger(QStringLiteral("historial_recepcion_cambio"), QStringLiteral("UPDATE"), QStringLiteral("Recepcion"),
                fieldLines(QStringLiteral("new.jaula"), none, birdFields)),
        trigger(QStringLiteral("historial_recepcion_baja"), QStringLiteral("DELETE"), QStringLiteral("Recepcion"),
                insertHistory(line(QStringLiteral("old.jaula"), none, QStringLiteral("paloma"),
                                   birdSummary(QStringLiteral("old")), none))),
        trigger(QStringLiteral("historial_puntos_alta"), QStringLiteral("INSERT"), QStringLiteral("Puntos"),
                insertHistory(line(QStringLiteral("new.jaula"), QStringLiteral("new.juez"), QStringLiteral("puntos"),
                                   none, scoreSummary(QStringLiteral("new"))))),
        trigger(QStringLiteral("historial_puntos_cambio"), QStringLiteral("UPDATE"), QStringLiteral("Puntos"),
                insertHistory(line(QStringLiteral("new.jaula"), QStringLiteral("new.juez"), QStringLiteral("puntos"),
                                   scoreSummary(QStringLiteral("old")), scoreSummary(QStringLiteral("new")),
                                   scoreSummary(QStringLiteral("old")) + QStringLiteral(" IS NOT ") +
                                       scoreSummary(QStringLiteral("new"))))),
        trigger(QStringLiteral("historial_puntos_baja"), QStringLiteral("DELETE"), QStringLiteral("Puntos"),
                insertHistory(line(QStringLiteral("old.jaula"), QStringLiteral("old.juez"), QStringLiteral("puntos"),
                                   scoreSummary(QStringLiteral("old")), none))),
        trigger(QStringLiteral("historial_config_alta"), QStringLiteral("INSERT"), QStringLiteral("Config"),
                fieldLines(none, none, configFields, true)),
        trigger(QStringLiteral("historial_config_cambio"), QStringLiteral("UPDATE"), QStringLiteral("Config"),
                fieldLines(none, none, configFields)),
        trigger(QStringLiteral("historial_estado_alta"), QStringLiteral("INSERT"), QStringLiteral("Estado"),
                insertHistory(line(QStringLiteral("new.jaula"), none, QStringLiteral("estado"),
                                   QStringLiteral("'Presente'"), statusSummary(QStringLiteral("new"))))),
        trigger(QStringLiteral("historial_estado_cambio"), QStringLiteral("UPDATE"), QStringLiteral("Estado"),
                insertHistory(line(QStringLiteral("new.jaula"), none, QStringLiteral("estado"),
                                   statusSummary(QStringLiteral("old")), statusSummary(QStringLiteral("new"))))),
        trigger(QStringLiteral("historial_estado_baja"), QStringLiteral("DELETE"), QStringLiteral("Estado"),
                insertHistory(line(QStringLiteral("old.jaula"), none, QStringLiteral("estado"),
                                   statusSummary(QStringLiteral("old")), QStringLiteral("'Presente'")))),
        trigger(QStringLiteral("historial_cierre"), QStringLiteral("INSERT"), QStringLiteral("Cierre"),
                insertHistory(line(none, none, QStringLiteral("exposición"),
                                   QStringLiteral("CASE WHEN new.cerrada THEN 'abierta' ELSE 'cerrada' END"),
                                   QStringLiteral("CASE WHEN new.cerrada THEN 'cerrada, sello ' || new.sello "
                                                  "ELSE 'abierta: ' || coalesce(new.motivo, '') END")))),
    };
}

QString packedPassField()
{
    return QStringLiteral("filas");
}

QString insertTrigger(const QString& table)
{
    return QStringLiteral("historial_%1_alta").arg(table.toLower());
}

QString createInsertTrigger(const QString& table)
{
    const QString name = QStringLiteral("\"%1\"").arg(insertTrigger(table));
    for (const QString& trigger : historyTriggers())
        if (trigger.contains(name))
            return trigger;
    return {};
}

QString packedInsertLines(const QString& table)
{
    const bool scores = table.compare(QStringLiteral("Puntos"), Qt::CaseInsensitive) == 0;
    const QString line =
        scores ? QStringLiteral("jaula || char(9) || juez || char(9) || 'puntos' || char(9) || char(9) || (%1)")
                     .arg(scoreSummary(QStringLiteral("t")))
               : QStringLiteral("jaula || char(9) || char(9) || 'paloma' || char(9) || char(9) || (%1)")
                     .arg(birdSummary(QStringLiteral("t")));
    return insertHistory(
        QStringLiteral("SELECT %1, %2, NULL, NULL, '%3', NULL, group_concat(line, char(10)) FROM "
                       "(SELECT %4 AS line FROM \"%5\" AS t WHERE t.rowid > ?1 ORDER BY t.rowid) HAVING count(*) > 0")
            .arg(now, origin(), packedPassField(), line, table));
}

QStringList closingStatements(bool closed)
{
    QStringList statements;
    for (const QString& table : guardedTables)
        for (const QString& event : events) {
            const QString name = QStringLiteral("cerrada_%1_%2").arg(table.toLower(), event.toLower());
            statements << (closed ? QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"%1\" BEFORE %2 ON \"%3\" "
                                                   "BEGIN SELECT RAISE(ABORT, '%4'); END")
                                        .arg(name, event, table, closedMessage())
                                  : QStringLiteral("DROP TRIGGER IF EXISTS \"%1\"").arg(name));
        }
    return statements;
}

} // namespace store::records
