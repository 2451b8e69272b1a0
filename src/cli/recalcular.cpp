#include "cli/commands.h"
#include "rules/judging/final_score.h"
#include "store/database.h"

namespace cli
{

// palomas-cli recalcular EXPOSICION.mdb: the final score of every cage, as the reception list's
// reload computes and stores it.
int recalcular(const QStringList& args, Streams io)
{
    if (args.size() != 1)
        throw UsageError{QStringLiteral("Uso: palomas-cli recalcular EXPOSICION.mdb")};
    const store::Database db = store::Database::open(args[0], store::schema::exhibition());
    const int stored = judging::recalcularPuntuaciones(db);
    io.out << QStringLiteral("%1 jaulas recalculadas").arg(stored) << Qt::endl;
    return 0;
}

} // namespace cli
