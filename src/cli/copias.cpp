#include "cli/command_line.h"
#include "cli/commands.h"
#include "rules/backups/copies.h"
#include "rules/backups/keeper.h"
#include "store/database.h"

#include <QDir>
#include <QFileInfo>

namespace cli
{

// palomas-cli copia EXPOSICION.mdb: a backup copy now, in "Copias de seguridad" beside it.
int copia(const QStringList& args, Streams io)
{
    const CommandLine line(args, QStringLiteral("Uso: palomas-cli copia EXPOSICION.mdb"), {}, {}, 1);
    const store::Database db = store::Database::open(line[0], store::schema::exhibition());
    const QString path = backups::take(db);
    io.out << QStringLiteral("Copia de seguridad guardada en «%1»").arg(QDir::toNativeSeparators(path))
           << Qt::endl;
    return 0;
}

// palomas-cli restaurar EXPOSICION.mdb COPIA.mdb: the exhibition as the copy holds it; its
// current state is copied first.
int restaurar(const QStringList& args, Streams io)
{
    const CommandLine line(args, QStringLiteral("Uso: palomas-cli restaurar EXPOSICION.mdb COPIA.mdb"), {}, {}, 2);
    store::Database db = store::Database::open(line[0], store::schema::exhibition());
    const QString kept = backups::restore(db, line[1]);
    const backups::Contents now = backups::contentsOf(line[0]);
    io.out << QStringLiteral("Restaurada la copia «%1»: %2 jaulas y %3 puntuaciones; la exposición anterior "
                             "está en «%4»")
                  .arg(QFileInfo(line[1]).fileName())
                  .arg(now.cages)
                  .arg(now.scoreRows)
                  .arg(QDir::toNativeSeparators(kept))
           << Qt::endl;
    return 0;
}

void copyBeforeImport(const store::Database& db, Streams io)
{
    backups::Keeper keeper;
    keeper.onOutcome = [&io](const QString& problem) {
        if (!problem.isEmpty())
            io.err << problem << Qt::endl;
    };
    keeper.take(db, backups::Occasion::BeforeImport);
}

} // namespace cli
