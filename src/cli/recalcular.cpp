#include "cli/command_line.h"
#include "cli/commands.h"
#include "rules/exhibition/exhibition.h"
#include "rules/judging/final_score.h"
#include "rules/records/closed_state.h"
#include "store/database.h"

namespace cli
{

// palomas-cli recalcular EXPOSICION.mdb: the final score of every cage, as the reception list's
// reload computes and stores it.
int recalcular(const QStringList& args, Streams io)
{
    const CommandLine line(args, QStringLiteral("Uso: palomas-cli recalcular EXPOSICION.mdb"), {}, {}, 1);
    store::Database db = exhibition::openShow(line[0]);
    records::refuseIfClosed(db); // the pass would leave a closed show's scores as sealed
    const int stored = judging::recomputeFinalScores(db);
    io.out << QStringLiteral("%1 jaulas recalculadas").arg(stored) << Qt::endl;
    return 0;
}

} // namespace cli
