#include "cli/command_line.h"
#include "cli/commands.h"
#include "output/kept_files.h"
#include "output/printouts/show_printouts.h"
#include "output/text_document.h"
#include "rules/exhibition/exhibition.h"
#include "store/database.h"
#include "store/error.h"

#include <QFileInfo>

namespace cli
{

namespace
{

const QString impresoUsage = QStringLiteral(
    "Uso: palomas-cli impreso {etiquetas|hojas-jueces|catalogo|resguardos} EXPOSICION.mdb SALIDA.pdf "
    "[--clubs CLUB.mdb] [--url URL]");

} // namespace

// palomas-cli impreso CLASE EXPOSICION.mdb SALIDA.pdf [--clubs CLUB.mdb] [--url URL]: one of the
// show-day printouts as a PDF, as the window's "PDF" writes it.
int impreso(const QStringList& args, Streams io)
{
    const CommandLine line(args, impresoUsage, {QStringLiteral("clubs"), QStringLiteral("url")}, {}, 3);
    const QStringList& positional = line.positional();
    printouts::Options options;
    options.networkAddress = line.value(QStringLiteral("url"));
    const std::optional<printouts::Kind> kind = printouts::kindOfCommand(positional[0]);
    if (!kind)
        throw UsageError{QStringLiteral("Impreso desconocido: «%1»\n").arg(positional[0]) + impresoUsage};

    // The clubs only name the clubs of the catalogue and the receipts: without the file, they
    // are left blank, as for a club the file does not know.
    const QString clubsPath = clubsFile(line.value(QStringLiteral("clubs")), false);
    if (const QString refusal =
            output::overwriteRefusal(positional[2], {positional[1], clubsPath}, QStringLiteral("el PDF"));
        !refusal.isEmpty())
        throw UsageError{refusal};
    const store::Database db = exhibition::openShowToRead(positional[1]);
    store::Database clubs;
    if (!clubsPath.isEmpty())
        clubs = store::Database::open(clubsPath, store::schema::clubs(), store::Database::Access::ReadOnly);
    const printouts::Show show = printouts::readShow(db, &clubs);
    try {
        const int pages = printouts::writePdf(*kind, show, options, positional[2]);
        io.out << pages << " paginas grabadas" << Qt::endl;
    } catch (const listings::OutputError& e) {
        io.err << e.message() << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace cli
