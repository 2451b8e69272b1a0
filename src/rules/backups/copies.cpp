#include "rules/backups/copies.h"

#include "rules/records/closed_state.h"
#include "rules/records/history.h"
#include "store/backup.h"
#include "store/database.h"
#include "store/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
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
    store::Statement rows = db.query(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1StringView(table)));
    return rows.step() ? int(rows.int64(0)) : 0;
}

} // namespace

QString folderOf(const QString& exhibitionPath)
{
    return QFileInfo(exhibitionPath).absoluteDir().filePath(QStringLiteral("Copias de seguridad"));
}

QString copyFileName(const QString& exhibitionPath, const QDateTime& taken, int sequence, bool damaged)
{
    QString name = baseName(exhibitionPath) + u' ' + taken.toString(timeFormat);
    if (sequence > 1)
        name += QStringLiteral(" (%1)").arg(sequence);
    if (damaged)
        name += QStringLiteral(" dañada");
    return name + QStringLiteral(".mdb");
}

std::vector<Copy> copiesOf(const QString& exhibitionPath)
{
    const QString prefix = baseName(exhibitionPath) + u' ';
    // What follows the exhibition's name: only a time, so that "Expo" does not take the copies
    // of "Expo 2026" for its own.
    static const QRegularExpression stamp(
        QStringLiteral(
            "^(\\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d)(?: \\((\\d+)\\))?(?: dañada)?\\.mdb$"),
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
    if (!store::isIntact(copy))
        throw store::Error(
            QStringLiteral("La copia «%1» está dañada: parte de su contenido no se puede leer.")
                .arg(QFileInfo(copyPath).fileName()),
            base::Error::Kind::Storage);
    return {count(copy, "Recepcion"), count(copy, "Puntos")};
}

namespace
{

// A copy being written is locked by its program (the lock file beside it names the process): a
// copy whose lock is missing, or names a process of this computer that has ended (killed while
// copying), is a leftover, whatever its age. One locked from another computer sharing the folder
// is a leftover after partialSeconds, longer than any copy takes. A lock that names no process
// (its program was killed as it made it, before the copy began) goes after namelessSeconds.
constexpr qint64 partialSeconds = 60 * 60;
constexpr qint64 namelessSeconds = 60;

QString lockOf(const QString& partial)
{
    return partial + QStringLiteral(".lock");
}

struct Taken {
    QString path;
    bool intact = true;
};

// Whether the copy just written holds a sound database: what was copied is what the file held.
bool copyIsIntact(const QString& partial)
{
    try {
        return store::isIntact(
            store::Database::open(partial, store::schema::exhibition(), store::Database::Access::ReadOnly));
    } catch (const base::Error&) {
        return false;
    }
}

Taken takeWithoutPruning(const store::Database& db, const QDateTime& now)
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
    const auto cannotWrite = [&folder] {
        return base::Error(
            QStringLiteral("No se puede escribir en la carpeta «%1».").arg(QDir::toNativeSeparators(folder)),
            base::Error::Kind::Storage);
    };
    QLockFile lock(lockOf(partial));
    lock.setStaleLockTime(0); // stale only when its process has ended, however long a copy takes
    if (!lock.tryLock(0))
        throw cannotWrite();
    QFile created(partial);
    if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw cannotWrite();
    created.close();
    store::backupTo(db, partial);
    const bool intact = copyIsIntact(partial);
    const QDateTime taken = now.addMSecs(-now.time().msec());
    for (int sequence = 1; sequence < 1000; ++sequence) {
        const QString path = QDir(folder).filePath(copyFileName(db.path(), taken, sequence, !intact));
        // Never over another copy: when one took the name first, the next number.
        if (!QFileInfo::exists(path) && QFile::rename(partial, path))
            return {path, intact};
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
    const QString partials = baseName(exhibition) + QStringLiteral(".*.parcial");
    for (const QFileInfo& left : folder.entryInfoList({partials, lockOf(partials)}, QDir::Files)) {
        QString partial = left.absoluteFilePath();
        if (partial.endsWith(QStringLiteral(".lock")))
            partial.chop(5);
        QLockFile lock(lockOf(partial));
        lock.setStaleLockTime(0);
        const bool ended = lock.tryLock(0);
        qint64 pid = 0;
        QString host, program;
        const qint64 wait = lock.getLockInfo(&pid, &host, &program) ? partialSeconds : namelessSeconds;
        if (!ended && left.lastModified().secsTo(QDateTime::currentDateTime()) <= wait)
            continue; // its program is still copying
        QFile::remove(partial);
        if (ended)
            lock.unlock(); // and the lock file goes
        else
            QFile::remove(lockOf(partial));
    }
}

} // namespace

QString take(const store::Database& db, const QDateTime& now)
{
    const Taken taken = takeWithoutPruning(db, now);
    prune(db.path(), now);
    if (!taken.intact)
        throw DamagedExhibition(
            QStringLiteral("La exposición «%1» está dañada: parte de su contenido no se puede leer. "
                           "La copia se ha guardado de todos modos, como «%2».")
                .arg(QFileInfo(db.path()).fileName(), QFileInfo(taken.path).fileName()),
            base::Error::Kind::Storage);
    return taken.path;
}

QString restore(store::Database& db, const QString& copyPath)
{
    records::refuseIfClosed(db);
    if (QFileInfo(copyPath).canonicalFilePath() == QFileInfo(db.path()).canonicalFilePath())
        throw base::ValidationError(QStringLiteral("La copia elegida es la propia exposición."));
    // Checked whole before anything is written: a copy that is not an exhibition, or is
    // damaged, changes nothing.
    try {
        contentsOf(copyPath);
    } catch (const base::Error& e) {
        throw base::Error(e.message() +
                              QStringLiteral(" No se ha restaurado: la exposición sigue como estaba."),
                          e.kind(), e.sqliteCode());
    }
    const QDateTime now = QDateTime::currentDateTime();
    QString kept;
    try {
        // Not pruned yet: the copy to restore may be one the rule would remove.
        kept = takeWithoutPruning(db, now).path;
    } catch (const base::Error& e) {
        throw base::Error(
            QStringLiteral("No se ha restaurado la copia: antes hay que guardar una copia de la "
                           "exposición actual, y no se ha podido. %1")
                .arg(e.message()),
            e.kind(), e.sqliteCode());
    }
    store::restoreFrom(db, copyPath);
    try {
        records::recordEvent(db, records::origins::restore(), QStringLiteral("copia"), QString(),
                             QFileInfo(copyPath).fileName());
    } catch (const base::Error&) {
        // The copy stands restored, which is what was asked; only its line in the history is missing.
    }
    prune(db.path(), now);
    return kept;
}

} // namespace backups
