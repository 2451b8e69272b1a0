#pragma once

// The show's own files, which no document may be written over. A slip in a file dialog or on the
// command line ("expo.mdb" where "expo.xlsx" was meant) would replace the exhibition with a
// workbook or a PDF, and the show would be lost with it.

#include <QString>
#include <QStringList>

namespace output
{

// Empty when target is none of the kept files; otherwise the refusal, naming the document
// ("el libro", "el PDF") that needs another name.
QString overwriteRefusal(const QString& target, const QStringList& kept, const QString& document);

} // namespace output
