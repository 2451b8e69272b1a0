#include "cli/command_line.h"
#include "cli/commands.h"
#include "rules/records/history.h"
#include "store/database.h"

namespace cli
{

// palomas-cli historial EXPOSICION.mdb [--jaula N]: every change on record, oldest first, one line
// each. The file is only read.
int historial(const QStringList& args, Streams io)
{
    const QString usage = QStringLiteral("Uso: palomas-cli historial EXPOSICION.mdb [--jaula N]");
    const CommandLine line(args, usage, {QStringLiteral("jaula")}, {}, 1);
    records::HistoryFilter filter;
    if (line.isSet(QStringLiteral("jaula"))) {
        bool number = false;
        filter.jaula = line.value(QStringLiteral("jaula")).trimmed().toInt(&number);
        if (!number)
            throw UsageError{QStringLiteral("La jaula «%1» no es un número.\n%2")
                                 .arg(line.value(QStringLiteral("jaula")), usage)};
    }
    const store::Database db =
        store::Database::open(line[0], store::schema::exhibition(), store::Database::Access::ReadOnly);
    for (const records::Change& change : records::history(db, filter))
        io.out << records::historyLine(change) << Qt::endl;
    return 0;
}

} // namespace cli
