// palomas-bench-printouts [CARPETA]: times the four show-day printouts of an exhibition of 999
// cages written as PDFs (labels with their QR codes, judges' sheets for 5 judges, catalogue,
// receipts), each from reading the exhibition to the file written, then the four together, and
// the building of the pages alone.

#include "generator.h"
#include "output/printouts/show_printouts.h"
#include "store/database.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // PDFs need fonts, not a display
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(1);
    QTemporaryDir temporary;
    const QString folder = args.isEmpty() ? temporary.path() : args[0];
    QDir().mkpath(folder);

    bench::ExhibitionSize size;
    size.cages = 999;
    const bench::Generated files = bench::generate(folder, QStringLiteral("impresos-999.mdb"), size);
    store::Database db = store::Database::open(files.exhibition, store::schema::exhibition());
    store::Database clubs = store::Database::open(files.clubs, store::schema::clubs());
    printouts::Options options;
    options.networkAddress = QStringLiteral("192.168.1.20:8080");
    const printouts::Kind kinds[] = {printouts::Kind::Etiquetas, printouts::Kind::HojasJueces,
                                     printouts::Kind::Catalogo, printouts::Kind::Resguardos};
    auto write = [&](printouts::Kind kind) {
        const printouts::Show show = printouts::readShow(db, &clubs);
        return printouts::writePdf(
            kind, show, options,
            QDir(folder).filePath(printouts::commandName(kind) + QStringLiteral(".pdf")));
    };
    for (printouts::Kind kind : kinds) {
        const printouts::Show show = printouts::readShow(db, &clubs);
        bench::report(QStringLiteral("  paginas de %1 (%2 paginas)")
                          .arg(printouts::commandName(kind))
                          .arg(printouts::build(kind, show, options).size()),
                      bench::measure(5, [&] { printouts::build(kind, show, options); }));
        bench::report(QStringLiteral("%1, leido y grabado en PDF").arg(printouts::commandName(kind)),
                      bench::measure(5, [&] { write(kind); }));
    }
    bench::report(QStringLiteral("los cuatro impresos, 999 jaulas"), bench::measure(5, [&] {
                      for (printouts::Kind kind : kinds)
                          write(kind);
                  }));
    return 0;
}
