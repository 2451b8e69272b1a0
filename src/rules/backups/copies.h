#pragma once

// The backup copies of an exhibition: where they are, how they are named, which are kept, and
// how one is taken and restored. No window: palomas-cli and the windows share these rules.
//
// The copies live in the folder "Copias de seguridad" beside the exhibition, each named after it
// with the date and time it was taken: "Expo 2026 2026-12-06 14.05.33.mdb". Year first, so that
// the names sort in the order the copies were taken (in any file browser, too); dots in the
// time, since ":" cannot be part of a file name on Windows; ".mdb", so that a copy can also be
// opened like any exhibition ("Existente"). Two copies in the same second are told apart by
// " (2)", " (3)" after the time. A copy of an exhibition that SQLite finds damaged is kept, since
// it may be the best there is, under a name that says so: "... 14.05.33 dañada.mdb".

#include "base/error.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace store
{
class Database;
}

namespace backups
{

// How many copies are always kept, however old; besides them, every copy of the last day.
constexpr int keptCopies = 30;
constexpr qint64 keptSeconds = 24 * 60 * 60;

struct Copy {
    QString path;
    QDateTime taken; // local time, to the second, as the name says
    int sequence = 1;
};

// "Copias de seguridad" in the exhibition's folder.
QString folderOf(const QString& exhibitionPath);

// The name of a copy of the exhibition taken at that time (sequence 1 has no number).
QString copyFileName(const QString& exhibitionPath, const QDateTime& taken, int sequence = 1,
                     bool damaged = false);

// The copies of this exhibition (not those of others in the same folder), newest first.
std::vector<Copy> copiesOf(const QString& exhibitionPath);

// The copies the rule no longer keeps: beyond the keptCopies newest, those taken more than a day
// before now. copies come newest first.
std::vector<Copy> expired(const std::vector<Copy>& copies, const QDateTime& now);

// What a copy holds, for choosing one: its birds and its judges' score rows.
struct Contents {
    int cages = 0;
    int scoreRows = 0;
};

// Reads a copy without changing it, after checking it whole: its tables and fields, and every
// page (store::isIntact). Raises store::Error for a copy that cannot be read or is damaged.
Contents contentsOf(const QString& copyPath);

// The copy shows that the exhibition is damaged; it was kept all the same, under a name that says
// so.
class DamagedExhibition : public base::Error
{
public:
    using base::Error::Error;
};

// Takes a copy of the open exhibition now, then removes the copies the rule no longer keeps and
// the copies left half made by programs that have ended. Returns the copy's path. Raises
// store::Error (Storage) when no copy could be made, and DamagedExhibition.
QString take(const store::Database& db, const QDateTime& now = QDateTime::currentDateTime());

// Puts the exhibition back as a copy holds it. The copy is checked whole first (contentsOf): a
// damaged one is refused. The current state is copied, and a restore that cannot keep the
// current state is refused: there would be no way back (a damaged current state is kept under
// its damaged name, and the restore goes on: that is what it is for). Then the file's whole
// content is replaced in one transaction. Returns the path of the copy of the state replaced.
// Raises store::Error, and the exhibition then keeps what it had.
QString restore(store::Database& db, const QString& copyPath);

} // namespace backups
