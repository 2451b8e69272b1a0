#include "base/drives.h"

#include <QDir>
#include <QRegularExpression>

namespace drives
{

QString folderOf(const QString& drive, const QString& programFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(programFolder);
    return drive.left(1).toUpper() + QStringLiteral(":/");
#else
    const QString folder =
        QDir(programFolder).filePath(QStringLiteral("Unidades/") + drive.left(1).toUpper());
    QDir().mkpath(folder);
    return folder;
#endif
}

QString resolve(const QString& typed, const QString& programFolder)
{
    static const QRegularExpression driveLetter(QStringLiteral("^([A-Za-z]):[\\\\/]*(.*)$"));
    const QRegularExpressionMatch match = driveLetter.match(typed);
    if (match.hasMatch()) {
        QString rest = match.captured(2);
        rest.replace(u'\\', u'/');
        return QDir(folderOf(match.captured(1), programFolder)).filePath(rest);
    }
    QString path = typed;
    path.replace(u'\\', u'/');
    return QDir(programFolder).filePath(path);
}

} // namespace drives
