#include "base/error.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "rules/exhibition/exhibition.h"
#include "rules/reception/cage_number.h"
#include "rules/records/statuses.h"
#include "store/database.h"

namespace cli
{

// palomas-cli estado EXPOSICION.mdb JAULA ausente|descalificada|presente [--motivo TEXTO]
// [--anilla ANILLA]: the status of the bird of the cage, as the reception window's F2 sets it.
int estado(const QStringList& args, Streams io)
{
    const CommandLine line(
        args,
        QStringLiteral("Uso: palomas-cli estado EXPOSICION.mdb JAULA ausente|descalificada|presente "
                       "[--motivo TEXTO] [--anilla ANILLA]"),
        {QStringLiteral("motivo"), QStringLiteral("anilla")}, {}, 3);
    const std::optional<int> jaula = reception::parseCage(line[1]);
    if (!jaula)
        throw base::ValidationError(reception::invalidCageMessage(line[1]));
    const std::optional<records::Status> status = records::parseStatus(line[2]);
    if (!status)
        throw base::ValidationError(
            QStringLiteral("Estado desconocido: «%1». Es ausente, descalificada o presente.").arg(line[2]));
    store::Database db = exhibition::openShow(line[0]);
    store::OriginScope origin(db, QStringLiteral("Línea de órdenes"));
    records::setStatus(db, *jaula, line.value(QStringLiteral("anilla")), *status,
                       line.value(QStringLiteral("motivo")));
    io.out << QStringLiteral("Jaula %1: %2").arg(*jaula).arg(records::statusName(*status).toLower())
           << Qt::endl;
    return 0;
}

} // namespace cli
