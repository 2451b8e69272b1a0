// palomas-bench-records: what recording every change costs. Each pass runs on a fresh copy of
// the same generated show, once as the program keeps it (the history's triggers write a line for
// every change) and once with the triggers dropped, alternately, and the report gives both medians
// and their ratio: the passes are the storing of 10,000 imported reception and score rows (read
// from their workbooks once, beforehand), the final scores of 999 cages recomputed after every
// score changed, and 200 phone scores, each in a transaction of its own as a score POST stores
// it. The anchor is one SQLite commit of a one-row change on the same file.

#include "generator.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/judging/final_score.h"
#include "rules/judging/judged_cage.h"
#include "rules/records/history.h"
#include "sample_workbooks.h"
#include "store/database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

namespace
{

void dropHistoryTriggers(const QString& path)
{
    store::Database db = store::Database::open(path, store::schema::exhibition());
    QStringList triggers;
    {
        store::Statement names =
            db.query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger' AND name LIKE 'historial%'"));
        while (names.step())
            triggers << names.text(0);
    }
    for (const QString& trigger : triggers)
        db.execute(QStringLiteral("DROP TRIGGER \"%1\"").arg(trigger));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QDir folder = bench::workFolder(QStringLiteral("palomas-bench-records"));
    bench::ExhibitionSize size;
    size.jueces = 6; // judge 6 has scored no bird yet: the imported sheet and the phones are his
    const QString recorded = bench::generate(folder.path(), QStringLiteral("recorded.mdb"), size).exhibition;
    {
        store::Database db = store::Database::open(recorded, store::schema::exhibition());
        db.execute(QStringLiteral("UPDATE Recepcion SET puntos = 0, termina = 'N'"));
        db.execute(QStringLiteral("DELETE FROM Historial"));
    }
    const QString bare = folder.filePath(QStringLiteral("bare.mdb"));
    QFile::remove(bare);
    QFile::copy(recorded, bare);
    dropHistoryTriggers(bare);

    const std::vector<imports::ReceptionRow> birds =
        imports::readReception(bench::sampleWorkbook(folder, QStringLiteral("reception"), 10000));
    const imports::ScoreSheet sheet =
        imports::readScores(bench::sampleWorkbook(folder, QStringLiteral("scores"), 10000));

    const QString work = folder.filePath(QStringLiteral("work.mdb"));
    store::Database db;
    const auto freshFrom = [&](const QString& base) {
        return [&, base] {
            db = store::Database();
            QFile::remove(work);
            QFile::copy(base, work);
            db = store::Database::open(work, store::schema::exhibition());
            db.setOrigin(QStringLiteral("Banco de pruebas"));
        };
    };
    // The two runs of each pair follow each other, so that the load of a shared machine weighs on
    // both alike; the cost is the median of the pairs' ratios.
    const auto compare = [&](const QString& name, int pairs, const std::function<void()>& pass) {
        const auto once = [&](const QString& base) {
            freshFrom(base)();
            QElapsedTimer timer;
            timer.start();
            pass();
            return double(timer.nsecsElapsed()) / 1e6;
        };
        once(recorded); // warm-up
        std::vector<double> with, without, ratios;
        for (int i = 0; i < pairs; ++i) {
            with.push_back(once(recorded));
            without.push_back(once(bare));
            ratios.push_back(with.back() / without.back());
        }
        const auto median = [](std::vector<double> values) {
            std::sort(values.begin(), values.end());
            return values[values.size() / 2];
        };
        out << QStringLiteral("%1: con historial %2 ms, sin historial %3 ms (medianas); coste %4 %")
                   .arg(name)
                   .arg(median(with), 0, 'f', 2)
                   .arg(median(without), 0, 'f', 2)
                   .arg((median(ratios) - 1) * 100, 0, 'f', 1)
            << Qt::endl;
    };

    compare(QStringLiteral("recepción, grabar 10000 filas"), 11, [&] { imports::storeReception(db, birds); });
    compare(QStringLiteral("puntuación, grabar 10000 filas"), 11,
            [&] { imports::storeScores(db, sheet.rows, sheet.juez); });
    compare(QStringLiteral("puntuaciones finales de 999 jaulas"), 11, [&] { judging::recomputeFinalScores(db); });
    int phoned = 0;
    compare(QStringLiteral("200 puntuaciones de teléfono, una transacción cada una"), 5, [&] {
        const store::OriginScope phone(db, records::origins::phone(6));
        phoned = 0;
        for (int cage = 1; phoned < 200; ++cage)
            if (judging::enterScore(db, cage, 6, {9, 9, 18, 28, 28}).outcome == judging::RemoteEntry::Outcome::Stored)
                ++phoned;
    });
    out << QStringLiteral("    %1 puntuaciones grabadas en cada pasada").arg(phoned) << Qt::endl;
    bench::report(QStringLiteral("ancla: un commit de SQLite (una fila)"), bench::measure(21, freshFrom(recorded), [&] {
                      store::Transaction one(db);
                      db.execute(QStringLiteral("UPDATE Config SET Region = Region"));
                      one.commit();
                  }));
    db = store::Database();
    QFile::remove(work);
    return 0;
}
