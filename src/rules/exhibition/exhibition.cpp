#include "rules/exhibition/exhibition.h"

#include "base/install_layout.h"
#include "rules/records/closed_state.h"
#include "rules/records/history.h"
#include "store/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace exhibition
{

namespace
{

// Names that some systems refuse as file names; an exhibition must open on every computer of
// the club, so they are refused everywhere.
void checkFileName(const QString& name)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    static const QRegularExpression reserved(QStringLiteral("^(con|prn|aux|nul|com[1-9]|lpt[1-9])(\\..*)?$"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (forbidden.match(name).hasMatch() || reserved.match(name).hasMatch() || name == u"." ||
        name == u".." || name.endsWith(u'.') || name.size() > 200)
        throw base::ValidationError(
            QStringLiteral("«%1» no sirve como nombre de archivo. Escriba un nombre sin los "
                           "caracteres \\ / : * ? \" < > |.")
                .arg(name));
}

// The same folder, however it was written ("dir", "dir/", "./dir").
bool sameFolder(const QString& a, const QString& b)
{
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

// Whether the file opens as a database of the schema. Only a file that has just been refused as
// the other kind is probed, to say which kind it is.
bool opensAs(const QString& path, const store::Schema& schema)
{
    try {
        store::Database::open(path, schema, store::Database::Access::ReadOnly);
        return true;
    } catch (const base::Error&) {
        return false;
    }
}

store::Database openExhibition(const QString& path,
                               store::Database::Access access = store::Database::Access::ReadWrite)
{
    try {
        return store::Database::open(path, store::schema::exhibition(), access);
    } catch (const base::Error&) {
        if (opensAs(path, store::schema::clubs()))
            throw base::ValidationError(
                QStringLiteral("«%1» es la base de datos de los clubes, no una exposición: elija "
                               "el archivo de una exposición.")
                    .arg(QFileInfo(path).fileName()));
        throw;
    }
}

store::Database openClubs(const QString& path)
{
    try {
        return store::Database::open(path, store::schema::clubs());
    } catch (const base::Error&) {
        if (opensAs(path, store::schema::exhibition()))
            throw base::ValidationError(
                QStringLiteral(
                    "«%1» es una exposición, no la base de datos de los clubes. Cámbiele el nombre "
                    "para abrirla como exposición; el programa creará entonces una base de datos de "
                    "clubes vacía.")
                    .arg(QDir::toNativeSeparators(path)));
        throw;
    }
}

// The row the configuration window shows for a new show.
void addDefaultConfig(const store::Database& db)
{
    store::Recordset config = db.openRecordset(QStringLiteral("select * from config "));
    // A closed show is read as it was sealed, even without the row.
    if (config.recordCount() > 0 || records::isClosed(db))
        return;
    config.addNew();
    config.setValue(QStringLiteral("jueces"), 3);
    config.setValue(QStringLiteral("nombre"), QStringLiteral("Sin Nombre"));
    config.setValue(QStringLiteral("region"), QStringLiteral(" "));
    config.update();
}

} // namespace

QString programFolder()
{
    return install::programFolder(install::current(),
                                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString checkedPath(const QString& folder, const QString& typedName)
{
    return QDir(folder).filePath(typedName.trimmed() + QStringLiteral(".mdb"));
}

QString clubsPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Club.mdb"));
}

QString create(const QString& folder, const QString& typedName, const QString& programFolder)
{
    QString name = typedName.trimmed();
    if (name.isEmpty())
        throw base::ValidationError(QStringLiteral("Escriba el nombre de la base de datos."));
    checkFileName(name);
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".mdb");
    // In any letter case: the file may be carried to a system that does not tell them apart.
    if (name.compare(QFileInfo(clubsPath(folder)).fileName(), Qt::CaseInsensitive) == 0 &&
        sameFolder(folder, programFolder))
        throw base::ValidationError(
            QStringLiteral("«%1» no puede ser el nombre de una exposición: Club.mdb es la base de "
                           "datos de los clubes del programa. Escriba otro nombre.")
                .arg(typedName.trimmed()));
    const QString path = QDir(folder).filePath(name);
    if (QFileInfo::exists(path))
        throw base::ValidationError(QStringLiteral("Base de Datos Existente"));
    store::Database::create(path, store::schema::exhibition());
    return path;
}

Opened openFiles(const QString& path, const QString& programFolder)
{
    Opened opened{openExhibition(path), {}};
    const QString clubs = clubsPath(programFolder);
    if (!QFileInfo::exists(clubs))
        store::Database::create(clubs, store::schema::clubs());
    opened.clubs = openClubs(clubs);
    // Written only once both files are known good: a refused clubs file leaves the exhibition
    // as it was.
    opened.exhibition.setOrigin(records::origins::configuration());
    addDefaultConfig(opened.exhibition);
    // What the windows write without saying where from: the final scores they recompute before
    // showing or listing them.
    opened.exhibition.setOrigin(records::origins::recalculation());
    return opened;
}

store::Database openShow(const QString& path)
{
    store::Database db = openExhibition(path);
    db.setOrigin(records::origins::commandLine());
    addDefaultConfig(db);
    return db;
}

store::Database openShowToRead(const QString& path)
{
    store::Database db = openExhibition(path, store::Database::Access::InMemory);
    addDefaultConfig(db);
    return db;
}

} // namespace exhibition
