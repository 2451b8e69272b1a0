#pragma once

// The drive letters users type ("A:", "C:\listados\") and pick in the import windows, on a
// system without drive letters: each letter is a folder "Unidades/<letra>" inside the program
// folder (created when first used), so "A:" is <program folder>/Unidades/A. A USB stick can be
// mounted or linked there. On Windows the letters are the real drives.

#include <QString>

namespace drives
{

// The folder of a drive letter ("A:" or "a:").
QString folderOf(const QString& drive, const QString& programFolder);

// A typed path: a leading drive letter is replaced by its folder and "\" read as "/"; any other
// relative path is taken from the program folder. "A:" + "x.txt" typed together ("A:x.txt") is
// the file x.txt of drive A.
QString resolve(const QString& typed, const QString& programFolder);

} // namespace drives
