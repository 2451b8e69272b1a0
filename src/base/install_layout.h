#pragma once

// Where the program keeps its files. Run from its build folder (or any copy of it), the program
// folder is the executable's folder, as it always was, and palomas-lector is beside it. Installed
// (the executable in <prefix>/bin with <prefix>/share/palomas beside), the program's own folders
// are not the user's to write: exhibitions, Club.mdb, backups and the drive folders go to the
// user's data folder, the pictures come from there or else from the installed ones, and
// palomas-lector is in <prefix>/libexec/palomas.

#include <QString>

namespace install
{

struct Layout {
    bool installed = false;
    QString executableFolder;
    QString sharedData;   // the installed pictures and guide; empty when not installed
    QString helperFolder; // where palomas-lector is
};

// The layout of a program whose executable is in that folder.
Layout layoutOf(const QString& executableFolder);

// The layout of the running program.
const Layout& current();

// The folder of new exhibitions, Club.mdb and the drive folders: the user's data folder when
// installed or when the executable's folder cannot be written, the executable's folder otherwise.
// The folder returned exists (created when missing).
QString programFolder(const Layout& layout, const QString& userDataFolder);

// A picture the program shows by a fixed name ("Talvorena1.gif"): the user's own in the program
// folder, else the installed one; empty when there is neither.
QString picture(const Layout& layout, const QString& programFolder, const QString& name);

// The folder of the organisers' guide: the installed documentation, or the executable's folder,
// where the build writes it. It holds the pages, one for each chapter ("guia/05-recepcion.html"),
// and the whole guide as a PDF ("guia.pdf").
QString guideFolder(const Layout& layout);

// The guide's file to open at a chapter: its page, else the PDF (which opens at its start); empty
// when the folder holds neither.
QString guidePage(const QString& guideFolder, const QString& chapter);

// A helper program (palomas-lector) of this layout.
QString helperProgram(const Layout& layout, const QString& name);

// The names the user's data and settings folders are made of, the same for palomas and palomas-cli
// so that both find the same Club.mdb.
void nameApplication();

// "palomas 1.2": what --version prints.
QString versionLine(const QString& program);

// The text of the "Acerca de" box (rich text): the program, its version, the folder of its files
// and a link to the guide's file, when there is one.
QString aboutText(const QString& programFolder, const QString& guide);

} // namespace install
