#include "rules/backups/copies.h"

#include "store/backup.h"
#include "store/database.h"
#include "store/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>

namespace backups
{

namespace
{

const QString timeFormat = QStringLiteral("yyyy-MM-dd HH.mm.ss");

QString baseName(const QString& exhibitionPath)
{
    return QFileInfo(exhibitionPath).completeBaseName();
}

int count(const store::Database& db, const char* table)
{
    store::Statement rows =
        db.prepare(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1StringView(table)));
    return rows.step() ? int(rows.int64(0)) : 0;
}

} // namespace

QString folderOf(const QString& exhibitionPath)
{
    return QFileInfo(exhibitionPath).absoluteDir().filePath(QStringLiteral("Copias de seguridad"));
}

QString copyFileName(const QString& exhibitionPath, const QDateTime& taken, int sequence)
{
    QString name = baseName(exhibitionPath) + u' ' + taken.toString(timeFormat);
    if (sequence > 1)
        name += QStringLiteral(" (%1)").arg(sequence);
    return name + QStringLiteral(".mdb");
}

std::vector<Copy> copiesOf(const QString& exhibitionPath)
{
    const QString prefix = baseName(exhibitionPath) + u' ';
    // What follows the exhibition's name: only a time, so that "Expo" does not take the copies
    // of "Expo 2026" for its own.
    static const QRegularExpression stamp(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d)(?: \\((\\d+)\\))?\\.mdb$"),
        QRegularExpression::CaseInsensitiveOption);
    const QDir folder(folderOf(exhibitionPath));
    std::vector<Copy> copies;
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files)) {
        const QString name = file.fileName();
        if (!name.startsWith(prefix))
            continue;
        const QRegularExpressionMatch match = stamp.match(name.mid(prefix.size()));
        if (!match.hasMatch())
            continue;
        const QDateTime taken = QDateTime::fromString(match.captured(1), timeFormat);
        if (!taken.isValid())
            continue;
        copies.push_back(
            {file.absoluteFilePath(), taken, match.hasCaptured(2) ? match.captured(2).toInt() : 1});
    }
    std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) {
        return a.taken != b.taken ? a.taken > b.taken : a.sequence > b.sequence;
    });
    return copies;
}

std::vector<Copy> expired(const std::vector<Copy>& copies, const QDateTime& now)
{
    std::vector<Copy> gone;
    for (std::size_t i = keptCopies; i < copies.size(); ++i)
        if (copies[i].taken.secsTo(now) > keptSeconds)
            gone.push_back(copies[i]);
    return gone;
}

Contents contentsOf(const QString& copyPath)
{
    const store::Database copy =
        store::Database::open(copyPath, store::schema::exhibition(), store::Database::Access::ReadOnly);
    return {count(copy, "Recepcion"), count(copy, "Puntos")};
}

namespace
{

// How long a copy left half made (by a program that was killed while copying) may stay: longer
// than any copy takes.
constexpr qint64 partialSeconds = 60 * 60;

QString takeWithoutPruning(const store::Database& db, const QDateTime& now)
{
    const QString folder = folderOf(db.path());
    if (!QDir().mkpath(folder))
        throw base::Error(
            QStringLiteral("No se puede crear la carpeta «%1».").arg(QDir::toNativeSeparators(folder)),
            base::Error::Kind::Storage);
    // Written under a name of its own, which no other copy, of this or another program, can take.
    const QString partial = QDir(folder).filePath(QStringLiteral("%1.%2.%3.parcial")
                                                      .arg(baseName(db.path()))
                                                      .arg(QCoreApplication::applicationPid())
                                                      .arg(QRandomGenerator::global()->generate()));
    QFile created(partial);
    if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw base::Error(
            QStringLiteral("No se puede escribir en la carpeta «%1».").arg(QDir::toNativeSeparators(folder)),
            base::Error::Kind::Storage);
    created.close();
    store::backupTo(db, partial);
    const QDateTime taken = now.addMSecs(-now.time().msec());
    for (int sequence = 1; sequence < 1000; ++sequence) {
        const QString path = QDir(folder).filePath(copyFileName(db.path(), taken, sequence));
        // Never over another copy: when one took the name first, the next number.
        if (!QFileInfo::exists(path) && QFile::rename(partial, path))
            return path;
    }
    QFile::remove(partial);
    throw base::Error(QStringLiteral("No se ha podido dar nombre a la copia en la carpeta «%1».")
                          .arg(QDir::toNativeSeparators(folder)),
                      base::Error::Kind::Storage);
}

void prune(const QString& exhibition, const QDateTime& now)
{
    // A copy that cannot be removed now (another program reading it) goes at a later copy.
    for (const Copy& old : expired(copiesOf(exhibition), now))
        QFile::remove(old.path);
    const QDir folder(folderOf(exhibition));
    for (const QFileInfo& left :
         folder.entryInfoList({baseName(exhibition) + QStringLiteral(".*.parcial")}, QDir::Files))
        if (left.lastModified().secsTo(QDateTime::currentDateTime()) > partialSeconds)
            QFile::remove(left.absoluteFilePath());
}

} // namespace

QString take(const store::Database& db, const QDateTime& now)
{
    const QString path = takeWithoutPruning(db, now);
    prune(db.path(), now);
    return path;
}

QString restore(const store::Database& db, const QString& copyPath)
{
    if (QFileInfo(copyPath).canonicalFilePath() == QFileInfo(db.path()).canonicalFilePath())
        throw base::ValidationError(QStringLiteral("La copia elegida es la propia exposición."));
    // Checked before anything is written: a copy that is not an exhibition changes nothing.
    contentsOf(copyPath);
    const QDateTime now = QDateTime::currentDateTime();
    QString kept;
    try {
        // Not pruned yet: the copy to restore may be one the rule would remove.
        kept = takeWithoutPruning(db, now);
    } catch (const base::Error& e) {
        throw base::Error(
            QStringLiteral("No se ha restaurado la copia: antes hay que guardar una copia de la "
                           "exposición actual, y no se ha podido. %1")
                .arg(e.message()),
            e.kind(), e.sqliteCode());
    }
    store::restoreFrom(db, copyPath);
    prune(db.path(), now);
    return kept;
}

} // namespace backups
