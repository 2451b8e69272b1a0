#pragma once

// Creating and opening an exhibition: the work behind "Nuevo", "Existente" and the main
// window's opening sequence, without any window.

#include "store/database.h"

#include <QString>

namespace exhibition
{

// The program folder of the running program (see install::programFolder).
QString programFolder();

// The file the existence check looks for: the folder, the typed name without blanks around it,
// and ".mdb".
QString checkedPath(const QString& folder, const QString& typedName);

// Creates a new, empty exhibition named as typed in the folder (".mdb" added when the name has
// no extension) and returns its path. Refuses an empty name, a name that is not a valid file
// name, "Club" (in any letter case) when the folder is the program folder, where Club.mdb is the
// clubs database, and an existing file ("Base de Datos Existente"), with a store::Error.
QString create(const QString& folder, const QString& typedName, const QString& programFolder);

// The two databases an exhibition is shown with.
struct Opened {
    store::Database exhibition;
    store::Database clubs;
};

// The files of the opening sequence: opens the exhibition, creates Club.mdb in the program
// folder when it is missing and opens it, then adds the default Config row when there is none.
// A clubs database opened as an exhibition, or an exhibition where the clubs database belongs,
// is refused with a message that says which it is.
Opened openFiles(const QString& path, const QString& programFolder);

// The exhibition alone, as the opening sequence leaves it: checked (the clubs database is refused,
// saying so) and given the default Config row when it has none, so that palomas-cli judges a new
// show as the windows do. For the commands that change the exhibition.
store::Database openShow(const QString& path);

// The same, for the commands that only read the exhibition (listings, printouts, workbooks): the
// file is read into memory (store::Database::Access::InMemory) and never written, so that a show
// on a CD or a locked share can still be printed. What the pass computes (the final scores
// before the ranking, the default Config row) lives in memory and goes with it.
store::Database openShowToRead(const QString& path);

// Club.mdb of a folder.
QString clubsPath(const QString& folder);

} // namespace exhibition
