// palomas-bench-import: reading and storing reception and score sheets of 999, 10,000 and 65,000
// rows (an .xls sheet holds at most 65,536 rows), and the storing passes on 100,000 rows.
// Workbooks are written once by tests/data/make_workbook.py (python3-xlwt) and kept in the
// temporary folder. Every reading goes through the reader process, palomas-lector, beside this
// executable; its cost alone is measured too. Each run imports into a fresh copy of a generated 999-cage
// exhibition with five judges' scores, so that the skip checks meet a full exhibition.

#include "generator.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/import/workbook_reader.h"
#include "sample_workbooks.h"
#include "store/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace
{

QDir workFolder()
{
    return bench::workFolder(QStringLiteral("palomas-bench-import"));
}

QString workbook(const QString& kind, int rows)
{
    return bench::sampleWorkbook(workFolder(), kind, rows);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QDir folder = workFolder();
    bench::ExhibitionSize size;
    size.jueces = 6; // the judges' sheet is judge 6's, who has scored no bird yet
    const QString base = bench::generate(folder.path(), QStringLiteral("base.mdb"), size).exhibition;
    const QString work = folder.filePath(QStringLiteral("work.mdb"));
    store::Database db;
    auto fresh = [&] {
        db = store::Database();
        QFile::remove(work);
        QFile::copy(base, work);
        db = store::Database::open(work, store::schema::exhibition());
    };

    int stored = 0;
    for (const int rows : {999, 10000, 65000}) {
        const QString census = workbook(QStringLiteral("reception"), rows);
        const QString judge = workbook(QStringLiteral("scores"), rows);
        const int repetitions = rows > 10000 ? 3 : 7;
        bench::report(QStringLiteral("recepción, leer y grabar %1 filas").arg(rows),
                      bench::measure(repetitions, fresh, [&] {
                          stored = imports::storeReception(db, imports::readReception(census)).stored;
                      }));
        out << QStringLiteral("    %1 palomas grabadas").arg(stored) << Qt::endl;
        bench::report(QStringLiteral("puntuación, leer y grabar %1 filas").arg(rows),
                      bench::measure(repetitions, fresh, [&] {
                          const imports::ScoreSheet sheet = imports::readScores(judge);
                          stored = imports::storeScores(db, sheet.rows, sheet.juez).stored;
                      }));
        out << QStringLiteral("    %1 jaulas pasadas (un juez puntúa cada jaula una vez)").arg(stored)
            << Qt::endl;
        bench::report(QStringLiteral("    de ello, leer la hoja de recepción"),
                      bench::measure(repetitions, [&] { imports::readReception(census); }));
        bench::report(QStringLiteral("    de ello, leer la hoja de puntuación"),
                      bench::measure(repetitions, [&] { imports::readScores(judge); }));
        // The reader's process alone: started, reading the workbook, its answer checked.
        bench::report(QStringLiteral("    de ello, el proceso lector (hoja de recepción)"),
                      bench::measure(repetitions,
                                     [&] { imports::readWorkbook(census, imports::defaultReaderSetup()); }));
    }

    // 100,000 rows do not fit in one .xls sheet: the storing passes alone, on the rows of the
    // largest sheet repeated with rings of their own.
    std::vector<imports::ReceptionRow> birds =
        imports::readReception(workbook(QStringLiteral("reception"), 65000));
    const imports::ScoreSheet sheet = imports::readScores(workbook(QStringLiteral("scores"), 65000));
    std::vector<imports::ScoreRow> scores = sheet.rows;
    for (std::size_t i = 0; birds.size() < 100000; ++i) {
        imports::ReceptionRow copy = birds[i];
        copy.anilla = QStringLiteral("X%1").arg(i, 6, 10, QChar(u'0'));
        birds.push_back(copy);
    }
    while (scores.size() < 100000)
        scores.push_back(scores[scores.size() % 65000]);
    bench::report(QStringLiteral("recepción, grabar 100000 filas"),
                  bench::measure(3, fresh, [&] { stored = imports::storeReception(db, birds).stored; }));
    out << QStringLiteral("    %1 palomas grabadas").arg(stored) << Qt::endl;
    bench::report(QStringLiteral("puntuación, grabar 100000 filas"), bench::measure(3, fresh, [&] {
                      stored = imports::storeScores(db, scores, sheet.juez).stored;
                  }));
    db = store::Database();
    QFile::remove(work);
    return 0;
}
