// palomas-bench-listings [CARPETA] [--hasta JAULAS]: times the listings.
// - Listabc of a group and sex of 999 birds scored by 5 judges, scores brought up to date first
//   (with scores already up to date, and with every stored score stale);
// - ListadoCl on 999 cages;
// - both on exhibitions of 999, 10,000 and 100,000 cages, for their growth, with the score
//   update (the reception reload's pass) also timed alone;
// - all twelve documents and PDFs of an exhibition of 999 cages.

#include "generator.h"
#include "output/export_all.h"
#include "rules/judging/final_score.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/openings.h"
#include "rules/listings/province_ranking.h"
#include "store/database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace
{

struct Exhibition {
    store::Database db;
    store::Database clubs;
    store::Recordset clubRs;
};

Exhibition openGenerated(const bench::Generated& files)
{
    Exhibition e{store::Database::open(files.exhibition, store::schema::exhibition()),
                 store::Database::open(files.clubs, store::schema::clubs()),
                 {}};
    e.clubRs = e.clubs.openRecordset(QStringLiteral("select * from club "));
    return e;
}

// Every bird in group A, males, each scored by five judges: the largest single classification
// the cage numbers of the score rows allow.
bench::Generated oneClassification(const QString& folder, int cages)
{
    bench::ExhibitionSize size;
    size.cages = cages;
    const bench::Generated files = bench::generate(folder, QStringLiteral("una-clasificacion.mdb"), size);
    store::Database db = store::Database::open(files.exhibition, store::schema::exhibition());
    store::Transaction transaction(db);
    db.execute(QStringLiteral("DELETE FROM Puntos"));
    db.execute(QStringLiteral("UPDATE Recepcion SET grupo = 'A', sexo = 'M', categ = ' '"));
    store::Statement score =
        db.prepare(QStringLiteral("INSERT INTO Puntos (jaula, puntos1, puntos2, puntos3, puntos4, puntos5, "
                                  "juez, puntost, sexo, grupo, categ) "
                                  "VALUES (?, 8.5, 8.5, 18, 28, ?, ?, ?, 'M', 'A', ' ')"));
    for (int cage = 1; cage <= cages; ++cage)
        for (int juez = 1; juez <= 5; ++juez) {
            const double last = 27 + (cage * 7 + juez * 3) % 9 / 4.0;
            score.bind(1, QString::number(cage)).bind(2, last).bind(3, qint64(juez)).bind(4, 63 + last);
            score.run();
        }
    transaction.commit();
    return files;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // PDFs need fonts, not a display
    QGuiApplication app(argc, argv);
    QStringList args = QGuiApplication::arguments().mid(1);
    int largest = 100000;
    if (const qsizetype at = args.indexOf(QStringLiteral("--hasta")); at >= 0 && at + 1 < args.size()) {
        largest = args[at + 1].toInt();
        args.remove(at, 2);
    }
    QTemporaryDir temporary;
    const QString folder = args.isEmpty() ? temporary.path() : args[0];
    QTextStream out(stdout);

    {
        Exhibition e = openGenerated(oneClassification(folder, 999));
        bench::report(QStringLiteral("Listabc 999 aves, 5 jueces (al dia)"), bench::measure(9, [&] {
                          listings::openClassification(e.db, QStringLiteral("Expo"), QStringLiteral("A"),
                                                       QString(), QStringLiteral("M"));
                      }));
        bench::report(QStringLiteral("Listabc 999 aves, 5 jueces (todas atrasadas)"),
                      bench::measure(
                          9, [&] { e.db.execute(QStringLiteral("UPDATE Recepcion SET puntos = 0")); },
                          [&] {
                              listings::openClassification(e.db, QStringLiteral("Expo"), QStringLiteral("A"),
                                                           QString(), QStringLiteral("M"));
                          }));
    }

    for (int cages : {999, 10000, 100000}) {
        if (cages > largest)
            break;
        bench::ExhibitionSize size;
        size.cages = cages;
        Exhibition e = openGenerated(bench::generate(folder, QStringLiteral("expo-%1.mdb").arg(cages), size));
        const int repetitions = cages > 10000 ? 3 : 9;
        // The update of the final scores is the reception reload's pass; the listings' own
        // share is timed apart, so that the growth of each can be seen.
        bench::report(QStringLiteral("  puesta al dia de puntuaciones, %1 jaulas").arg(cages),
                      bench::measure(repetitions, [&] { judging::recomputeFinalScores(e.db); }));
        bench::report(QStringLiteral("  GenerarListado A Machos, %1 jaulas").arg(cages),
                      bench::measure(repetitions, [&] {
                          listings::generarListado(e.db, QStringLiteral("A"), QStringLiteral("M"));
                      }));
        bench::report(
            QStringLiteral("  CalcularPuntosClub..LlenarLista, %1 jaulas").arg(cages),
            bench::measure(repetitions, [&] { listings::clasificacionPorProvincia(e.db, e.clubRs); }));
        bench::report(QStringLiteral("Listabc Grupo A Machos, %1 jaulas").arg(cages),
                      bench::measure(repetitions, [&] {
                          listings::openClassification(e.db, QStringLiteral("Expo"), QStringLiteral("A"),
                                                       QString(), QStringLiteral("M"));
                      }));
        bench::report(QStringLiteral("Listados Grupo D Categoria B, %1 jaulas").arg(cages),
                      bench::measure(repetitions, [&] {
                          listings::openGroupD(e.db, QStringLiteral("Expo"), QStringLiteral("D"),
                                               QStringLiteral("B"), QString());
                      }));
        bench::report(QStringLiteral("ListadoCl, %1 jaulas").arg(cages), bench::measure(repetitions, [&] {
                          listings::openProvinces(e.db, e.clubRs, QStringLiteral("Expo"));
                      }));
        if (cages == 999) {
            const QString documents = QDir(folder).filePath(QStringLiteral("documentos"));
            QDir().mkpath(documents);
            int written = 0;
            bench::report(QStringLiteral("12 documentos y PDF, 999 jaulas"), bench::measure(5, [&] {
                              written = listings::exportAll(e.db, e.clubRs, documents, true);
                          }));
            out << "  (" << written << " documentos y sus PDF)" << Qt::endl;
        }
    }
    return 0;
}
