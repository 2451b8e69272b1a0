#include "rules/records/paper_checks.h"

#include "rules/records/history.h"
#include "store/database.h"

namespace records
{

namespace
{

// The score rows without a mark of their cage, judge and five values. The marks are taken once
// each, so that the join finds each row's mark through one index that SQLite builds on the fly:
// the count stays fast on the largest shows without an index kept in the file.
const char* const uncheckedRowsSql =
    "FROM Puntos p LEFT JOIN (SELECT DISTINCT jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5 "
    "FROM \"Comprobadas\") c ON c.jaula = p.jaula AND c.juez = p.juez AND c.puntos1 IS p.puntos1 AND "
    "c.puntos2 IS p.puntos2 AND c.puntos3 IS p.puntos3 AND c.puntos4 IS p.puntos4 AND c.puntos5 IS p.puntos5 "
    "WHERE c.jaula IS NULL";

} // namespace

std::vector<PaperRow> uncheckedRows(const store::Database& db, int juez)
{
    store::Transaction reading(db, store::Transaction::Kind::Read);
    store::Statement rows =
        db.query(QStringLiteral("SELECT p.jaula, p.juez, p.puntos1, p.puntos2, p.puntos3, "
                                "p.puntos4, p.puntos5, p.puntost ") +
                 QLatin1String(uncheckedRowsSql) +
                 QStringLiteral(" AND p.juez = ?1 ORDER BY CAST(p.jaula AS INTEGER), p.rowid"));
    rows.bind(1, qint64(juez));
    std::vector<PaperRow> unchecked;
    while (rows.step()) {
        PaperRow row{rows.text(0), int(rows.int64(1)), {}, 0};
        for (int i = 0; i < judging::apartadoCount; ++i)
            row.puntos[std::size_t(i)] = rows.isNull(2 + i) ? 0 : rows.real(2 + i);
        row.total = rows.isNull(7) ? judging::totalOf(row.puntos) : rows.real(7);
        unchecked.push_back(row);
    }
    return unchecked;
}

void markChecked(store::Database& db, const PaperRow& row)
{
    markChecked(db, std::vector<PaperRow>{row});
}

void markChecked(store::Database& db, const std::vector<PaperRow>& rows)
{
    store::OriginScope scope(db, origins::judging());
    store::Transaction writing(db);
    store::Statement insert = db.prepare(QStringLiteral(
        "INSERT INTO \"Comprobadas\" (jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
    for (const PaperRow& row : rows) {
        insert.bind(1, row.jaula).bind(2, qint64(row.juez));
        for (int i = 0; i < judging::apartadoCount; ++i)
            insert.bind(3 + i, row.puntos[std::size_t(i)]);
        insert.run();
    }
    writing.commit();
}

std::vector<UncheckedCount> uncheckedCounts(const store::Database& db)
{
    store::Transaction reading(db, store::Transaction::Kind::Read);
    store::Statement rows =
        db.query(QStringLiteral("SELECT p.juez, count(*) ") + QLatin1String(uncheckedRowsSql) +
                 QStringLiteral(" GROUP BY p.juez ORDER BY p.juez"));
    std::vector<UncheckedCount> counts;
    while (rows.step())
        counts.push_back({int(rows.int64(0)), int(rows.int64(1))});
    return counts;
}

QString uncheckedText(const UncheckedCount& judge)
{
    return judge.count == 1
               ? QStringLiteral("Juez %1: 1 puntuación sin comprobar").arg(judge.juez)
               : QStringLiteral("Juez %1: %2 puntuaciones sin comprobar").arg(judge.juez).arg(judge.count);
}

} // namespace records
