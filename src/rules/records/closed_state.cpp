#include "rules/records/closed_state.h"

#include "store/database.h"
#include "store/error.h"
#include "store/records.h"
#include "store/statement.h"

namespace records
{

namespace
{

struct LastClosing {
    bool closed = false;
    QString sello;
};

LastClosing lastClosing(const store::Database& db)
{
    store::Statement last =
        db.query(QStringLiteral("SELECT cerrada, sello FROM \"Cierre\" ORDER BY id DESC LIMIT 1"));
    if (!last.step() || last.isNull(0) || last.int64(0) != 1)
        return {};
    return {true, last.text(1)};
}

} // namespace

bool isClosed(const store::Database& db)
{
    return lastClosing(db).closed;
}

QString closedSeal(const store::Database& db)
{
    return lastClosing(db).sello;
}

QString sealLine(const QString& sello)
{
    return QStringLiteral("Sello: %1").arg(sello);
}

void refuseIfClosed(const store::Database& db)
{
    if (isClosed(db))
        throw store::Error(store::records::closedMessage(), store::Error::Kind::Storage);
}

} // namespace records
