#include "cli/command_line.h"
#include "cli/commands.h"
#include "output/kept_files.h"
#include "output/text_document.h"
#include "output/xlsx/export_xlsx.h"
#include "output/xlsx/judge_workbooks.h"
#include "rules/exhibition/exhibition.h"
#include "store/database.h"
#include "store/error.h"

#include <QFileInfo>

namespace cli
{

namespace
{

const QString exportarUsage =
    QStringLiteral("Uso: palomas-cli exportar-xlsx EXPOSICION.mdb SALIDA.xlsx [--clubs CLUB.mdb]");
const QString hojasUsage = QStringLiteral("Uso: palomas-cli hojas-jueces-xlsx EXPOSICION.mdb CARPETA");

} // namespace

// palomas-cli exportar-xlsx EXPOSICION.mdb SALIDA.xlsx [--clubs CLUB.mdb]: every listing in one
// workbook, a sheet each, as "Exportar a Excel" writes it.
int exportarXlsx(const QStringList& args, Streams io)
{
    const CommandLine line(args, exportarUsage, {QStringLiteral("clubs")}, {}, 2);
    const QStringList& positional = line.positional();
    const QString clubsPath = clubsFile(line.value(QStringLiteral("clubs")), true);

    if (const QString refusal =
            output::overwriteRefusal(positional[1], {positional[0], clubsPath}, QStringLiteral("el libro"));
        !refusal.isEmpty())
        throw UsageError{refusal};

    // Read only: the final scores brought up to date before the ranking stay in memory.
    store::Database db = exhibition::openShowToRead(positional[0]);
    const store::Database clubs =
        store::Database::open(clubsPath, store::schema::clubs(), store::Database::Access::ReadOnly);
    store::Recordset clubRs = clubs.openRecordset(QStringLiteral("select * from club "));
    try {
        const int sheets = output::exportXlsx(db, clubRs, positional[1]);
        io.out << sheets << " hojas grabadas" << Qt::endl;
    } catch (const listings::OutputError& e) {
        io.err << e.message() << Qt::endl;
        return 1;
    }
    return 0;
}

// palomas-cli hojas-jueces-xlsx EXPOSICION.mdb CARPETA: a workbook for each judge to fill in, in
// the layout "Imp Puntuacion" reads.
int hojasJuecesXlsx(const QStringList& args, Streams io)
{
    const CommandLine line(args, hojasUsage, {}, {}, 2);
    const store::Database db = exhibition::openShowToRead(line[0]);
    try {
        const int written = output::writeJudgeWorkbooks(db, line[1]);
        io.out << written << " libros grabados" << Qt::endl;
    } catch (const listings::OutputError& e) {
        io.err << e.message() << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace cli
