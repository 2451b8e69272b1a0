// palomas-generate CARPETA JAULAS [JUECES] [--media]: writes CARPETA/expo-JAULAS.mdb and
// CARPETA/Club.mdb, for benchmarks and for trying the windows on a large exhibition.

#include "generator.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    bench::ExhibitionSize size;
    size.media = args.removeAll(QStringLiteral("--media")) > 0;
    if (args.size() < 2) {
        QTextStream(stderr) << "Uso: palomas-generate CARPETA JAULAS [JUECES] [--media]" << Qt::endl;
        return 2;
    }
    bool number = false;
    size.cages = args[1].toInt(&number);
    // Score rows hold the cage in three characters: beyond 999 the file would not be a show the
    // program can open whole.
    if (!number || size.cages < 1 || size.cages > 999) {
        QTextStream(stderr) << "El número de jaulas debe ser un número entero del 1 al 999: «" << args[1]
                            << "»." << Qt::endl;
        return 2;
    }
    if (args.size() > 2)
        size.judgesPerCage = size.jueces = args[2].toInt();
    const bench::Generated files =
        bench::generate(args[0], QStringLiteral("expo-%1.mdb").arg(size.cages), size);
    QTextStream(stdout) << files.exhibition << Qt::endl;
    return 0;
}
