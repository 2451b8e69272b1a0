// palomas-bench-backups [CARPETA]: the backup copies of a 999-cage and a 45,000-cage exhibition.
//
// Figures: the pages of a copy and its whole check alone, a copy taken (the copy on opening, before "Borrar
// Todas" and before an import, and the periodic one when the file changed), the periodic check when nothing
// changed, the list of the copies with their cages and score rows as the window shows it, and a restore (the
// copy of the current state first, then the whole file replaced).

#include "generator.h"
#include "rules/backups/copies.h"
#include "rules/backups/keeper.h"
#include "store/backup.h"
#include "store/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <stdexcept>

namespace
{

void benchExhibition(const QString& folder, int cages)
{
    bench::ExhibitionSize size;
    size.cages = cages;
    const bench::Generated files = bench::generate(folder, QStringLiteral("copias-%1.mdb").arg(cages), size);
    QDir(backups::folderOf(files.exhibition)).removeRecursively();
    store::Database db = store::Database::open(files.exhibition, store::schema::exhibition());
    const QString label = QStringLiteral("%1 jaulas, %2 MB")
                              .arg(cages)
                              .arg(QFileInfo(files.exhibition).size() / 1048576.0, 0, 'f', 1);

    // The copy's two steps alone, the anchor of the figures below: its pages written, and the
    // whole check that every copy now gets before it is trusted.
    const QString pages = QDir(folder).filePath(QStringLiteral("paginas-%1.mdb").arg(cages));
    bench::report(QStringLiteral("páginas de una copia, sin comprobar (%1)").arg(label),
                  bench::measure(10, [&] {
                      QFile::remove(pages);
                      store::backupTo(db, pages);
                  }));
    const store::Database copied =
        store::Database::open(pages, store::schema::exhibition(), store::Database::Access::ReadOnly);
    bench::report(QStringLiteral("comprobación entera de una copia, integrity_check (%1)").arg(label),
                  bench::measure(10, [&] {
                      if (!store::isIntact(copied))
                          throw std::runtime_error("a sound copy failed its check");
                  }));

    // Each copy at its own second, as copies are taken in a show.
    QDateTime when = QDateTime::currentDateTime().addDays(-1);
    bench::report(QStringLiteral("copia (%1)").arg(label), bench::measure(10, [&] {
                      when = when.addSecs(60);
                      backups::take(db, when);
                  }));
    backups::Keeper keeper;
    keeper.take(db, backups::Occasion::Opening);
    bench::report(QStringLiteral("comprobación periódica sin cambios (%1)").arg(label),
                  bench::measure(20, [&] {
                      if (!keeper.takeIfChanged(db))
                          throw std::runtime_error("periodic check failed");
                  }));
    bench::report(QStringLiteral("lista de %1 copias con jaulas y puntuaciones (%2)")
                      .arg(backups::copiesOf(files.exhibition).size())
                      .arg(label),
                  bench::measure(5, [&] {
                      for (const backups::Copy& copy : backups::copiesOf(files.exhibition))
                          backups::contentsOf(copy.path);
                  }));
    const QString copy = backups::copiesOf(files.exhibition).back().path;
    bench::report(QStringLiteral("restaurar, con la copia previa (%1)").arg(label),
                  bench::measure(5, [&] { backups::restore(db, copy); }));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    try {
        benchExhibition(folder, 999);
        benchExhibition(folder, 45000);
    } catch (const std::exception& e) {
        QTextStream(stderr) << "palomas-bench-backups: " << e.what() << Qt::endl;
        return 1;
    }
    return 0;
}
