#include "cli/command_line.h"
#include "cli/commands.h"
#include "output/export_all.h"
#include "output/text_document.h"
#include "rules/exhibition/exhibition.h"
#include "store/database.h"
#include "store/error.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <cstring>

namespace cli
{

namespace
{

const QString listadosUsage =
    QStringLiteral("Uso: palomas-cli listados EXPOSICION.mdb CARPETA [--clubs CLUB.mdb] [--pdf]");

} // namespace

// palomas-cli listados EXPOSICION.mdb CARPETA [--clubs CLUB.mdb] [--pdf]: the documents of the
// twelve listings in CARPETA, as "&Documento" writes each, and with --pdf their printouts.
int listados(const QStringList& args, Streams io)
{
    const CommandLine line(args, listadosUsage, {QStringLiteral("clubs")}, {QStringLiteral("pdf")}, 2);
    const QStringList& positional = line.positional();
    const bool pdf = line.isSet(QStringLiteral("pdf"));
    const QString clubsPath = clubsFile(line.value(QStringLiteral("clubs")), true);

    // Read only: the final scores brought up to date before the ranking stay in memory.
    store::Database db = exhibition::openShowToRead(positional[0]);
    const store::Database clubs =
        store::Database::open(clubsPath, store::schema::clubs(), store::Database::Access::ReadOnly);
    store::Recordset clubRs = clubs.openRecordset(QStringLiteral("select * from club "));
    try {
        const int written = listings::exportAll(db, clubRs, positional[1], pdf);
        io.out << written << " documentos grabados" << Qt::endl;
    } catch (const listings::OutputError& e) {
        io.err << e.message() << Qt::endl;
        return 1;
    }
    return 0;
}

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv)
{
    bool pdf = false;
    for (int i = 2; i < argc; ++i)
        pdf = pdf || std::strcmp(argv[i], "--pdf") == 0;
    // Without its arguments the command only prints its usage: no painting, no platform.
    const bool printout = argc > 2 && std::strcmp(argv[1], "impreso") == 0;
    if ((argc > 1 && std::strcmp(argv[1], "listados") == 0 && pdf) || printout) {
        // No display is needed, and unlike "minimal" this platform writes the text of the PDFs.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace cli
