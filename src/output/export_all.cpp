#include "output/export_all.h"

#include "output/printout_painter.h"
#include "output/text_document.h"
#include "rules/listings/openings.h"

#include <QDir>
#include <QFileInfo>

namespace listings
{

int exportAll(const store::Database& db, store::Recordset& clubs, const QString& folder, bool pdf)
{
    if (!QFileInfo(folder).isDir())
        throw OutputError(QStringLiteral("La carpeta «%1» no existe.").arg(QDir::toNativeSeparators(folder)));
    const QDir target(folder);
    int written = 0;
    for (const Listing& listing : allListings(db, clubs)) {
        if (!listing.canBeSaved())
            continue;
        const QString fileName = documentFileName(listing);
        writeFile(target.filePath(fileName), documentBytes(listing));
        if (pdf) {
            const QString title = QFileInfo(fileName).completeBaseName();
            writePdf(printout(listing), target.filePath(title + QStringLiteral(".pdf")), title);
        }
        ++written;
    }
    return written;
}

} // namespace listings
