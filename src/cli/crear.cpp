#include "cli/commands.h"
#include "rules/exhibition/exhibition.h"

namespace cli
{

// palomas-cli crear CARPETA NOMBRE: the exhibition NOMBRE.mdb in CARPETA, as "Nuevo" then
// "Aceptar" creates it.
int crear(const QStringList& args, Streams io)
{
    if (args.size() != 2)
        throw UsageError{QStringLiteral("Uso: palomas-cli crear CARPETA NOMBRE")};
    io.out << exhibition::create(args[0], args[1], exhibition::programFolder()) << Qt::endl;
    return 0;
}

} // namespace cli
