#include "cli/commands.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/import/worksheet.h"
#include "store/database.h"
#include "store/error.h"

namespace cli
{

namespace
{

// Each refused row on err, so that the sheet can be mended; the summary alone goes to out.
template <class Row, class Assess> void reportRefused(const std::vector<Row>& rows, Assess assess, Streams io)
{
    for (const Row& row : rows)
        if (const imports::RowStatus status = assess(row); status.verdict == imports::Verdict::Refuse)
            io.err << QStringLiteral("Fila %1: %2").arg(row.sheetRow).arg(status.reason) << Qt::endl;
}

int workbookFailure(const imports::WorkbookError& e, Streams io)
{
    io.err << e.message() << Qt::endl;
    return 1;
}

} // namespace

// palomas-cli importar-recepcion EXPOSICION.mdb HOJA.xls: the birds of the sheet, as
// "Imp Recepcion" then "Aceptar" and "&Grabar" store them.
int importarRecepcion(const QStringList& args, Streams io)
{
    if (args.size() != 2)
        throw UsageError{QStringLiteral("Uso: palomas-cli importar-recepcion EXPOSICION.mdb HOJA.xls")};
    const store::Database db = store::Database::open(args[0], store::schema::exhibition());
    try {
        const std::vector<imports::ReceptionRow> rows = imports::readReception(args[1]);
        reportRefused(rows, imports::assessReception, io);
        copyBeforeImport(db, io);
        const imports::StoreCounts counts = imports::storeReception(db, rows);
        io.out << imports::receptionSummary(counts) << Qt::endl;
        if (const QString note = imports::groupDWithoutCategoryNote(counts); !note.isEmpty())
            io.err << note << Qt::endl;
    } catch (const imports::WorkbookError& e) {
        return workbookFailure(e, io);
    }
    return 0;
}

// palomas-cli importar-puntuacion EXPOSICION.mdb HOJA.xls [--juez N]: one judge's scores, as
// "Imp Puntuacion" stores them; the judge is cell B2 unless --juez gives it.
int importarPuntuacion(const QStringList& args, Streams io)
{
    const QString usage =
        QStringLiteral("Uso: palomas-cli importar-puntuacion EXPOSICION.mdb HOJA.xls [--juez N]");
    QStringList files;
    std::optional<QString> juez;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--juez") {
            if (i + 1 >= args.size() || juez)
                throw UsageError{usage};
            juez = args[++i].trimmed();
        } else {
            files << args[i];
        }
    }
    if (files.size() != 2)
        throw UsageError{usage};
    const store::Database db = store::Database::open(files[0], store::schema::exhibition());
    const int jueces = imports::configuredJudges(db);
    // A judge given that cannot score is refused at once, as "Grabar" refuses it in the window.
    if (juez)
        if (const QString refusal = imports::judgeRefusal(*juez, jueces); !refusal.isEmpty())
            throw UsageError{refusal};
    try {
        const imports::ScoreSheet sheet = imports::readScores(files[1]);
        const QString judge = juez.value_or(sheet.juez);
        reportRefused(
            sheet.rows,
            [&](const imports::ScoreRow& row) { return imports::assessScore(row, judge, jueces); }, io);
        copyBeforeImport(db, io);
        io.out << imports::scoreSummary(imports::storeScores(db, sheet.rows, judge)) << Qt::endl;
    } catch (const imports::WorkbookError& e) {
        return workbookFailure(e, io);
    }
    return 0;
}

} // namespace cli
