#pragma once

// The four show-day printouts as pages of the listings' page model, so that the printer, the
// print preview and the PDF draw them with the listings' own painter: cage labels, judges'
// sheets, the catalogue and the exhibitors' receipts.

#include "output/printout.h"
#include "rules/printouts/show_contents.h"

#include <QString>
#include <optional>

namespace printouts
{

enum class Kind { Etiquetas, HojasJueces, Catalogo, Resguardos };

// "etiquetas", "hojas-jueces", "catalogo", "resguardos": the printout's name on the command line.
QString commandName(Kind kind);
std::optional<Kind> kindOfCommand(const QString& name);

// "Etiquetas de jaula", "Hojas de los jueces", "Catálogo", "Resguardos".
QString title(Kind kind);

// The sheet of labels: 3 across, 8 down, 70 x 37 mm each, placed from the paper's corner after
// the sheet's margins. A4 is 297 mm high and the labels take 296, so the common sheet has half a
// millimetre above; printers that pull the paper differently are set right with these margins.
struct LabelSheet {
    static constexpr int columns = 3;
    static constexpr int rows = 8;
    static constexpr double widthMm = 70;
    static constexpr double heightMm = 37;
    double topMm = 0.5;
    double leftMm = 0;
};

// The margins a window accepts, in millimetres either way.
inline constexpr double labelMarginLimitMm = 20;

struct Options {
    LabelSheet sheet;
    QString networkAddress; // the show's address on the hall's network; empty: no QR code
};

// What the QR code of a cage's label opens: the address, with "http://" when it names no
// scheme, then "/puntuar?jaula=N".
QString scoringUrl(const QString& networkAddress, int jaula);

listings::Printout labels(const Show& show, const LabelSheet& sheet, const QString& networkAddress);
listings::Printout judgesSheets(const Show& show);
listings::Printout catalogue(const Show& show);
listings::Printout receipts(const Show& show);

// The printout of the kind. Raises listings::OutputError with a sentence for the user when the
// show has nothing it could hold (no birds; for the judges' sheets, no judges or no bird to score).
listings::Printout build(Kind kind, const Show& show, const Options& options);

// The printout as a PDF at path, written whole or not at all. Returns its page count; raises
// listings::OutputError.
int writePdf(Kind kind, const Show& show, const Options& options, const QString& path);

} // namespace printouts
