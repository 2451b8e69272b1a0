#include "rules/records/checks.h"

#include "store/database.h"

namespace records
{

std::vector<Warning> checkShow(const store::Database&, const QString&)
{
    return {};
}

QString warningsCount(std::size_t count)
{
    if (count == 0)
        return QStringLiteral("Sin avisos");
    return count == 1 ? QStringLiteral("1 aviso") : QStringLiteral("%1 avisos").arg(count);
}

} // namespace records
