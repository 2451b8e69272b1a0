#include "cli/command_line.h"
#include "cli/commands.h"
#include "rules/exhibition/exhibition.h"

namespace cli
{

// palomas-cli crear CARPETA NOMBRE: the exhibition NOMBRE.mdb in CARPETA, as "Nuevo" then
// "Aceptar" creates it.
int crear(const QStringList& args, Streams io)
{
    const CommandLine line(args, QStringLiteral("Uso: palomas-cli crear CARPETA NOMBRE"), {}, {}, 2);
    io.out << exhibition::create(line[0], line[1], exhibition::programFolder()) << Qt::endl;
    return 0;
}

} // namespace cli
