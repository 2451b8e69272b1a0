#include "cli/command_line.h"
#include "cli/commands.h"
#include "rules/exhibition/exhibition.h"
#include "rules/records/checks.h"
#include "rules/records/closing.h"
#include "rules/records/history.h"
#include "rules/records/seal.h"
#include "store/database.h"

namespace cli
{

// palomas-cli cerrar EXPOSICION.mdb [--con-avisos] [--clubs Club.mdb]: the checks, then the
// closing. A show with warnings is closed only when --con-avisos says so.
int cerrar(const QStringList& args, Streams io)
{
    const CommandLine line(
        args, QStringLiteral("Uso: palomas-cli cerrar EXPOSICION.mdb [--con-avisos] [--clubs Club.mdb]"),
        {QStringLiteral("clubs")}, {QStringLiteral("con-avisos")}, 1);
    store::Database db = exhibition::openShow(line[0]);
    records::refuseIfClosed(db);
    const std::vector<records::Warning> warnings =
        records::checkShow(db, clubsFile(line.value(QStringLiteral("clubs")), false));
    if (!warnings.empty() && !line.isSet(QStringLiteral("con-avisos"))) {
        for (const records::Warning& warning : warnings)
            io.err << warning.text << Qt::endl;
        io.err << records::warningsCount(warnings.size()) << Qt::endl
               << QStringLiteral(
                      "La exposición no se ha cerrado: revise los avisos o ciérrela con --con-avisos.")
               << Qt::endl;
        return 1;
    }
    io.out << QStringLiteral("Exposición cerrada. Sello: %1").arg(records::closeShow(db)) << Qt::endl;
    return 0;
}

// palomas-cli sello EXPOSICION.mdb: the seal of the results as they are now, closed or not. Only
// reads the file.
int sello(const QStringList& args, Streams io)
{
    const CommandLine line(args, QStringLiteral("Uso: palomas-cli sello EXPOSICION.mdb"), {}, {}, 1);
    const store::Database db =
        store::Database::open(line[0], store::schema::exhibition(), store::Database::Access::ReadOnly);
    io.out << records::seal(db) << Qt::endl;
    return 0;
}

// palomas-cli verificar EXPOSICION.mdb SELLO: whether the results are still those of the seal;
// when not, the time of the last change on record.
int verificar(const QStringList& args, Streams io)
{
    const CommandLine line(args, QStringLiteral("Uso: palomas-cli verificar EXPOSICION.mdb SELLO"), {}, {},
                           2);
    const store::Database db =
        store::Database::open(line[0], store::schema::exhibition(), store::Database::Access::ReadOnly);
    if (records::sameSeal(records::seal(db), line[1])) {
        io.out << QStringLiteral("El sello coincide") << Qt::endl;
        return 0;
    }
    const QString last = records::lastChangeTime(db);
    io.out << QStringLiteral("El sello no coincide") +
                  (last.isEmpty() ? QStringLiteral(".") : QStringLiteral(". Último cambio: %1").arg(last))
           << Qt::endl;
    return 1;
}

// palomas-cli reabrir EXPOSICION.mdb --motivo TEXTO: the show takes changes again; the reason is
// kept with the reopening.
int reabrir(const QStringList& args, Streams io)
{
    const CommandLine line(args, QStringLiteral("Uso: palomas-cli reabrir EXPOSICION.mdb --motivo TEXTO"),
                           {QStringLiteral("motivo")}, {}, 1);
    store::Database db = store::Database::open(line[0], store::schema::exhibition());
    db.setOrigin(records::origins::commandLine());
    records::reopenShow(db, line.value(QStringLiteral("motivo")));
    io.out << QStringLiteral("Exposición reabierta") << Qt::endl;
    return 0;
}

} // namespace cli
