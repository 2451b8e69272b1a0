#include "rules/records/closing.h"

#include "base/error.h"
#include "rules/judging/final_score.h"
#include "rules/records/history.h"
#include "rules/records/seal.h"
#include "store/database.h"
#include "store/error.h"
#include "store/records.h"
#include "store/statement.h"

namespace records
{

namespace
{

void record(store::Database& db, bool closed, const QString& sello, const QString& motivo)
{
    store::Statement insert =
        db.prepare(QStringLiteral("INSERT INTO \"Cierre\" (fecha, cerrada, sello, motivo) "
                                  "VALUES (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'), ?, ?, ?)"));
    insert.bind(1, qint64(closed ? 1 : 0));
    insert.bind(2, sello.isEmpty() ? QVariant() : QVariant(sello));
    insert.bind(3, motivo.isEmpty() ? QVariant() : QVariant(motivo));
    insert.run();
    for (const QString& statement : store::records::closingStatements(closed))
        db.prepare(statement).run();
}

// A path that names itself (palomas-cli) is kept; otherwise the change is the closing's.
QString originOf(const store::Database& db)
{
    return db.origin().isEmpty() ? origins::closing() : db.origin();
}

} // namespace

QString reopenNeedsReason()
{
    return QStringLiteral("Hace falta un motivo para reabrir la exposición.");
}

QString notClosedMessage()
{
    return QStringLiteral("La exposición no está cerrada.");
}

QString closeShow(store::Database& db)
{
    refuseIfClosed(db);
    store::OriginScope scope(db, originOf(db));
    judging::recomputeFinalScores(db);
    store::Transaction closing(db);
    const QString sello = seal(db);
    record(db, true, sello, {});
    closing.commit();
    return sello;
}

void reopenShow(store::Database& db, const QString& motivo)
{
    if (motivo.trimmed().isEmpty())
        throw base::ValidationError(reopenNeedsReason());
    if (!isClosed(db))
        throw base::ValidationError(notClosedMessage());
    store::OriginScope scope(db, originOf(db));
    store::Transaction reopening(db);
    record(db, false, {}, motivo.trimmed());
    reopening.commit();
}

} // namespace records
