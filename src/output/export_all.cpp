#include "output/export_all.h"

#include "output/printout_painter.h"
#include "output/text_document.h"
#include "rules/listings/openings.h"

#include <QDir>
#include <QFileInfo>

namespace listings
{

int exportAll(store::Database& db, store::Recordset& clubs, const QString& folder, bool pdf)
{
    DocumentSet documents(folder);
    int written = 0;
    for (const Listing& listing : allListings(db, clubs)) {
        if (!listing.canBeSaved())
            continue;
        const QString fileName = documentFileName(listing);
        documents.add(fileName, documentBytes(listing));
        if (pdf) {
            const QString title = QFileInfo(fileName).completeBaseName();
            documents.add(title + QStringLiteral(".pdf"), pdfBytes(printout(listing), title));
        }
        ++written;
    }
    documents.commit();
    return written;
}

} // namespace listings
