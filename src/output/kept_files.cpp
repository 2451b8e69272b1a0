#include "output/kept_files.h"

#include <QFileInfo>

namespace output
{

QString overwriteRefusal(const QString& target, const QStringList& kept, const QString& document)
{
    // The same file by whatever path it is named ("./expo.mdb", a link): a file that does not
    // exist yet cannot be one of them.
    const QString written = QFileInfo(target).canonicalFilePath();
    if (written.isEmpty())
        return {};
    for (const QString& file : kept)
        if (!file.isEmpty() && written == QFileInfo(file).canonicalFilePath())
            return QStringLiteral("«%1» es un archivo de la exposición: %2 necesita otro nombre.")
                .arg(target, document);
    return {};
}

} // namespace output
