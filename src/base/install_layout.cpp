#include "base/install_layout.h"

#include "base/build_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

QString aboutText(const QString& programFolder)
{
    return QStringLiteral("Programa para Exposiciones de Palomas Mensajeras\nVersión %1\n\nCarpeta de los "
                          "datos: %2")
        .arg(QString::fromUtf8(buildinfo::version), QDir::toNativeSeparators(programFolder));
}

} // namespace install
