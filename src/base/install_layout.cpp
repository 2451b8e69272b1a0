#include "base/install_layout.h"

#include "base/build_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace install
{

Layout layoutOf(const QString& executableFolder)
{
    Layout layout;
    layout.executableFolder = executableFolder;
    layout.helperFolder = executableFolder;
    const QDir bin(executableFolder);
    // The installed data folder marks an installed program; a build folder never has one beside it.
    const QString data = QDir::cleanPath(bin.filePath(QString::fromUtf8(buildinfo::dataFromBin)));
    if (QFileInfo(data).isDir()) {
        layout.installed = true;
        layout.sharedData = data;
        layout.helperFolder = QDir::cleanPath(bin.filePath(QString::fromUtf8(buildinfo::helpersFromBin)));
    }
    return layout;
}

const Layout& current()
{
    static const Layout layout = layoutOf(QCoreApplication::applicationDirPath());
    return layout;
}

QString programFolder(const Layout& layout, const QString& userDataFolder)
{
    // An installed program run by root could write beside itself, into the system's folders:
    // installed, the user's folder is used whatever the permissions.
    if (!layout.installed && QFileInfo(layout.executableFolder).isWritable())
        return layout.executableFolder;
    QDir().mkpath(userDataFolder);
    return userDataFolder;
}

QString picture(const Layout& layout, const QString& programFolder, const QString& name)
{
    const QString own = QDir(programFolder).filePath(name);
    if (QFileInfo::exists(own))
        return own;
    if (layout.installed) {
        const QString shipped = QDir(layout.sharedData).filePath(name);
        if (QFileInfo::exists(shipped))
            return shipped;
    }
    return {};
}

QString guideFolder(const Layout& layout)
{
    if (!layout.installed)
        return layout.executableFolder;
    return QDir::cleanPath(QDir(layout.executableFolder).filePath(QString::fromUtf8(buildinfo::docFromBin)));
}

QString guidePage(const QString& guideFolder, const QString& chapter)
{
    const QDir folder(guideFolder);
    for (const QString& name : {QStringLiteral("guia/%1.html").arg(chapter), QStringLiteral("guia.pdf")})
        if (QFileInfo::exists(folder.filePath(name)))
            return folder.filePath(name);
    return {};
}

QString helperProgram(const Layout& layout, const QString& name)
{
#if defined(Q_OS_WIN)
    return QDir(layout.helperFolder).filePath(name + QStringLiteral(".exe"));
#else
    return QDir(layout.helperFolder).filePath(name);
#endif
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Palomas"));
    QCoreApplication::setOrganizationName(QStringLiteral("Palomas"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(buildinfo::version));
}

QString versionLine(const QString& program)
{
    return program + u' ' + QString::fromUtf8(buildinfo::version);
}

QString aboutText(const QString& programFolder, const QString& guide)
{
    QString text =
        QStringLiteral("Programa para Exposiciones de Palomas Mensajeras<br>Versión %1<br><br>Carpeta "
                       "de los datos: %2")
            .arg(QString::fromUtf8(buildinfo::version),
                 QDir::toNativeSeparators(programFolder).toHtmlEscaped());
    if (!guide.isEmpty())
        text += QStringLiteral("<br><br><a href=\"%1\">Guía de la exposición</a> (F1 en cualquier ventana)")
                    .arg(QUrl::fromLocalFile(guide).toString(QUrl::FullyEncoded).toHtmlEscaped());
    return text;
}

} // namespace install
