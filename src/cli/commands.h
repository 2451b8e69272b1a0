#pragma once

// The commands of palomas-cli. Each takes its arguments (after the command's name), prints a
// one-line Spanish summary on out, or a clear message on err, and returns the exit code.

#include <QStringList>
#include <QTextStream>
#include <memory>

class QCoreApplication;

namespace store
{
class Database;
}

namespace cli
{

struct Streams {
    QTextStream& out;
    QTextStream& err;
};

// An error of the command line: the message is printed on err and the exit code is 2.
struct UsageError {
    QString message;
};

int crear(const QStringList& args, Streams io);
int recalcular(const QStringList& args, Streams io);
int estado(const QStringList& args, Streams io);
int comprobar(const QStringList& args, Streams io);

int listados(const QStringList& args, Streams io);
int impreso(const QStringList& args, Streams io);

int exportarXlsx(const QStringList& args, Streams io);
int hojasJuecesXlsx(const QStringList& args, Streams io);
// The application object for the command line: a GUI application, offscreen, when a command
// draws PDFs ("listados --pdf", "impreso": Qt's fonts need one), a core application otherwise.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv);

int importarRecepcion(const QStringList& args, Streams io);
int importarPuntuacion(const QStringList& args, Streams io);

int servir(const QStringList& args, Streams io);
int historial(const QStringList& args, Streams io);
int copia(const QStringList& args, Streams io);
int restaurar(const QStringList& args, Streams io);

int cerrar(const QStringList& args, Streams io);
int sello(const QStringList& args, Streams io);
int verificar(const QStringList& args, Streams io);
int reabrir(const QStringList& args, Streams io);
// The copy taken before an import is stored; one that fails is told on err, and the import goes on.
void copyBeforeImport(const store::Database& db, Streams io);

} // namespace cli
