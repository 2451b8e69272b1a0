#include "cli/command_line.h"
#include "cli/commands.h"
#include "rules/exhibition/exhibition.h"
#include "rules/records/checks.h"
#include "store/database.h"

namespace cli
{

// palomas-cli comprobar EXPOSICION.mdb [--clubs CLUB.mdb]: the checks before closing the show,
// one warning a line and their count; exit 1 when there is any, so a script can stop there.
int comprobar(const QStringList& args, Streams io)
{
    const CommandLine line(args,
                           QStringLiteral("Uso: palomas-cli comprobar EXPOSICION.mdb [--clubs CLUB.mdb]"),
                           {QStringLiteral("clubs")}, {}, 1);
    const QString clubsPath = clubsFile(line.value(QStringLiteral("clubs")), false);
    const store::Database db = exhibition::openShowToRead(line[0]);
    const std::vector<records::Warning> warnings = records::checkShow(db, clubsPath);
    for (const records::Warning& warning : warnings)
        io.out << warning.text << '\n';
    io.out << records::warningsCount(warnings.size()) << Qt::endl;
    return warnings.empty() ? 0 : 1;
}

} // namespace cli
