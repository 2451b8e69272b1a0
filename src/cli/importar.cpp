#include "cli/command_line.h"
#include "cli/commands.h"
#include "rules/exhibition/exhibition.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/import/worksheet.h"
#include "rules/records/closed_state.h"
#include "rules/records/history.h"
#include "store/database.h"
#include "store/error.h"

#include <QFileInfo>

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

// A problem of the whole sheet or of the exhibition: told once, nothing stored.
int wholeFailure(const QString& message, Streams io)
{
    io.err << message << Qt::endl;
    return 1;
}

} // namespace

// palomas-cli importar-recepcion EXPOSICION.mdb HOJA.xls: the birds of the sheet, as
// "Imp Recepcion" then "Aceptar" and "&Grabar" store them.
int importarRecepcion(const QStringList& args, Streams io)
{
    const CommandLine line(args, QStringLiteral("Uso: palomas-cli importar-recepcion EXPOSICION.mdb HOJA.xls"), {},
                           {}, 2);
    store::Database db = exhibition::openShow(line[0]);
    records::refuseIfClosed(db);
    try {
        const std::vector<imports::ReceptionRow> rows = imports::readReception(line[1]);
        if (imports::isBlankSheet(rows))
            return wholeFailure(imports::blankSheetMessage(), io);
        reportRefused(rows, imports::assessReception, io);
        copyBeforeImport(db, io);
        const store::OriginScope origin(db, records::origins::import(QFileInfo(line[1]).fileName()));
        const imports::StoreCounts counts = imports::storeReception(db, rows);
        io.out << imports::receptionSummary(counts) << Qt::endl;
        if (const QString note = imports::groupDWithoutCategoryNote(counts); !note.isEmpty())
            io.err << note << Qt::endl;
    } catch (const imports::WorkbookError& e) {
        return wholeFailure(e.message(), io);
    }
    return 0;
}

// palomas-cli importar-puntuacion EXPOSICION.mdb HOJA.xls [--juez N]: one judge's scores, as
// "Imp Puntuacion" stores them; the judge is cell B2 unless --juez gives it.
int importarPuntuacion(const QStringList& args, Streams io)
{
    const QString usage =
        QStringLiteral("Uso: palomas-cli importar-puntuacion EXPOSICION.mdb HOJA.xls [--juez N]");
    const CommandLine line(args, usage, {QStringLiteral("juez")}, {}, 2);
    const QStringList& files = line.positional();
    const std::optional<QString> juez =
        line.isSet(QStringLiteral("juez")) ? std::optional(line.value(QStringLiteral("juez")).trimmed()) : std::nullopt;
    // Opened as the main window opens it: a new show has its three judges.
    store::Database db = exhibition::openShow(files[0]);
    records::refuseIfClosed(db);
    const int jueces = imports::configuredJudges(db);
    // A judge that cannot score is refused at once, as "Grabar" refuses it in the window, and
    // never once for every row.
    if (jueces < 1)
        return wholeFailure(imports::judgeRefusal({}, jueces), io);
    if (juez)
        if (const QString refusal = imports::judgeRefusal(*juez, jueces); !refusal.isEmpty())
            throw UsageError{refusal};
    try {
        const imports::ScoreSheet sheet = imports::readScores(files[1]);
        const QString judge = juez.value_or(sheet.juez);
        if (const QString refusal = imports::judgeRefusal(judge, jueces); !refusal.isEmpty())
            return wholeFailure(
                refusal +
                    QStringLiteral(" El juez es el número de la celda B2; otro se indica con --juez N."),
                io);
        if (imports::isBlankSheet(sheet.rows))
            return wholeFailure(imports::blankSheetMessage(), io);
        reportRefused(
            sheet.rows,
            [&](const imports::ScoreRow& row) { return imports::assessScore(db, row, judge, jueces); }, io);
        copyBeforeImport(db, io);
        const store::OriginScope origin(db, records::origins::import(QFileInfo(line[1]).fileName()));
        io.out << imports::scoreSummary(imports::storeScores(db, sheet.rows, judge)) << Qt::endl;
    } catch (const imports::WorkbookError& e) {
        return wholeFailure(e.message(), io);
    }
    return 0;
}

} // namespace cli
