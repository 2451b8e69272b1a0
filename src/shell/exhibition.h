#pragma once

// Creating and opening an exhibition: the work behind "Nuevo", "Existente" and the main
// window's opening sequence, without any window.

#include <QString>

struct AppState;

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

// The opening sequence: opens the exhibition and the shared results, adds the default Config
// row when there is none, creates Club.mdb in the program folder when it is missing and opens
// it. All or nothing: on a store::Error the state is left as it was. A clubs database opened as
// an exhibition, or an exhibition where the clubs database belongs, is refused with a message
// that says which it is.
void open(AppState& state, const QString& path);

// Club.mdb of a folder.
QString clubsPath(const QString& folder);

} // namespace exhibition
