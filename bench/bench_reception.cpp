// palomas-bench-reception [CARPETA] [--solo-ventana]: the costs of reception on large exhibitions.
//
// - The reload's final-score pass alone, in-process, against the same computation written as
//   one SQL statement and run by the sqlite3 tool on a copy of the same file, for 999, 10,000
//   and 100,000 cages scored by 5 judges (the larger ones are beyond the data model and are
//   written with the file's checks off).
// - With 999 cages scored by 5 judges: "Aceptar" of a new bird and of a modification, each with
//   the reload and the list refilled; opening the reception window.

#include "generator.h"
#include "rules/exhibition/exhibition.h"
#include "rules/judging/final_score.h"
#include "rules/reception/bird_entry.h"
#include "store/database.h"
#include "windows/reception/reception_window.h"
#include "windows/shell/app_state.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextStream>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

namespace
{

// The reload's rule (drop the highest and the lowest judge, ties in store order) and finished
// flag, by hand, for the sqlite3 tool. Cages are matched by their text, as the pass does; the
// numeric term lets the statement use the index on the cage number.
const char* const handWrittenSql = R"SQL(
UPDATE Recepcion SET puntos = s.score, termina = s.flag
FROM (
  SELECT r.jaula AS jaula,
         round(sum(CASE WHEN r.juez = e.lo OR r.juez = e.hi THEN 0 ELSE r.puntost END), 2) AS score,
         CASE WHEN count(*) = (SELECT Jueces FROM Config LIMIT 1) THEN 'S' ELSE 'N' END AS flag
  FROM Puntos r
  JOIN (SELECT DISTINCT jaula,
               first_value(juez) OVER w AS lo,
               last_value(juez) OVER w AS hi
        FROM Puntos
        WINDOW w AS (PARTITION BY jaula ORDER BY puntost, rowid
                     ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING)) e
    ON e.jaula = r.jaula
  GROUP BY r.jaula
) AS s
WHERE Recepcion.jaula = CAST(s.jaula AS INTEGER) AND CAST(Recepcion.jaula AS TEXT) = s.jaula;
)SQL";

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

bench::Timing summarize(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

// Like bench::measure, with an untimed preparation before each run.
bench::Timing measureWithSetup(int repetitions, const std::function<void()>& setup,
                               const std::function<void()>& pass)
{
    setup();
    pass(); // warm-up
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        setup();
        QElapsedTimer timer;
        timer.start();
        pass();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return summarize(times);
}

void forgetScores(const QString& path)
{
    store::Database db = store::Database::open(path, store::schema::exhibition());
    db.execute(QStringLiteral("UPDATE Recepcion SET puntos = 0, termina = 'N'"));
}

// The statement's own run time, as the sqlite3 tool's timer reports it, on a fresh copy each run.
bench::Timing measureSqlTool(const QString& original, int repetitions)
{
    const QString copy = original + QStringLiteral(".copia");
    std::vector<double> times;
    for (int i = 0; i <= repetitions; ++i) {
        QFile::remove(copy);
        QFile::copy(original, copy);
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {copy, QStringLiteral("-cmd"), QStringLiteral(".timer on")});
        sqlite.write(handWrittenSql);
        sqlite.closeWriteChannel();
        sqlite.waitForFinished(-1);
        const QString report =
            QString::fromUtf8(sqlite.readAllStandardOutput() + sqlite.readAllStandardError());
        const auto match = QRegularExpression(QStringLiteral("Run Time: real ([0-9.]+)")).match(report);
        if (!match.hasMatch()) {
            out() << "sqlite3 no dio su tiempo: " << report << Qt::endl;
            return {};
        }
        if (i > 0) // the first run warms the file cache
            times.push_back(match.captured(1).toDouble() * 1000.0);
    }
    QFile::remove(copy);
    return summarize(times);
}

// Checks that the statement and the pass store the same scores.
bool sameScores(const QString& original)
{
    const QString copy = original + QStringLiteral(".verifica");
    QFile::remove(copy);
    QFile::copy(original, copy);
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), {copy});
    sqlite.write(handWrittenSql);
    sqlite.closeWriteChannel();
    sqlite.waitForFinished(-1);
    store::Database a = store::Database::open(original, store::schema::exhibition());
    store::Database b = store::Database::open(copy, store::schema::exhibition());
    judging::recomputeFinalScores(a);
    const QString query = QStringLiteral("SELECT group_concat(printf('%.2f', puntos) || termina) FROM "
                                         "(SELECT puntos, termina FROM Recepcion ORDER BY jaula)");
    store::Statement sa = a.prepare(query), sb = b.prepare(query);
    sa.step();
    sb.step();
    const bool same = sa.text(0) == sb.text(0);
    QFile::remove(copy);
    return same;
}

std::vector<double> reloadPass(const QString& folder, const std::vector<int>& sizes)
{
    std::vector<double> medians;
    for (const int cages : sizes) {
        bench::ExhibitionSize size;
        size.cages = cages;
        const bench::Generated files =
            bench::generate(folder, QStringLiteral("recalc-%1.mdb").arg(cages), size);
        const int repetitions = cages >= 100000 ? 3 : 7;
        store::Database db = store::Database::open(files.exhibition, store::schema::exhibition());

        const bench::Timing pass = measureWithSetup(
            repetitions,
            [&] { db.execute(QStringLiteral("UPDATE Recepcion SET puntos = 0, termina = 'N'")); },
            [&] { judging::recomputeFinalScores(db); });
        bench::report(QStringLiteral("recalcular, %1 jaulas (todas cambian)").arg(cages), pass);
        bench::report(QStringLiteral("recalcular, %1 jaulas (sin cambios)").arg(cages),
                      bench::measure(repetitions, [&] { judging::recomputeFinalScores(db); }));

        forgetScores(files.exhibition);
        if (!sameScores(files.exhibition))
            out() << "  ¡la sentencia SQL y el paso no guardan lo mismo!" << Qt::endl;
        forgetScores(files.exhibition);
        const bench::Timing sql = measureSqlTool(files.exhibition, repetitions);
        bench::report(QStringLiteral("sentencia SQL en sqlite3, %1 jaulas").arg(cages), sql);
        out() << QStringLiteral("  paso / SQL: %1x (objetivo: como mucho 3x)")
                     .arg(pass.medianMs / sql.medianMs, 0, 'f', 2)
              << Qt::endl;
        medians.push_back(pass.medianMs);
    }
    for (std::size_t i = 1; i < medians.size(); ++i)
        out() << QStringLiteral("  %1 -> %2 jaulas: %3x el tiempo (objetivo: como mucho 12x)")
                     .arg(sizes[i - 1])
                     .arg(sizes[i])
                     .arg(medians[i] / medians[i - 1], 0, 'f', 2)
              << Qt::endl;
    return medians;
}

void settle()
{
    QApplication::processEvents();
}

// "Grabar" and the boxes filled; "Aceptar" is enabled as leaving the cage box enables it (the
// offscreen window is never active, so it sees no focus changes).
void typeBird(ReceptionWindow& window, const QString& jaula)
{
    window.findChild<QAction*>(QStringLiteral("p1"))->trigger();
    window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(jaula);
    window.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("1234567"));
    window.findChild<QLineEdit*>(QStringLiteral("Text9"))->setText(QStringLiteral("A"));
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->setEnabled(true);
    settle();
}

void receptionWindow(const QString& folder)
{
    bench::ExhibitionSize size; // 999 cages, 5 judges each
    const bench::Generated files = bench::generate(folder, QStringLiteral("recepcion-999.mdb"), size);
    AppState state;
    state.programFolder = folder;
    exhibition::open(state, files.exhibition);

    bench::report(QStringLiteral("abrir la ventana de recepcion (nueva), 999"), bench::measure(7, [&] {
                      ReceptionWindow window(state);
                      window.load();
                      window.show();
                      settle();
                  }));
    ReceptionWindow window(state);
    bench::report(QStringLiteral("abrir la ventana de recepcion (otra vez), 999"), bench::measure(7, [&] {
                      window.hide();
                      window.load();
                      window.show();
                      settle();
                  }));

    auto* aceptar = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    const bench::Timing added = measureWithSetup(
        11,
        [&] {
            reception::deleteBird(state.mainDb, state.backups, {999, 0});
            window.load();
            typeBird(window, QStringLiteral("999"));
        },
        [&] {
            aceptar->click();
            settle();
        });
    bench::report(QStringLiteral("Aceptar de una jaula nueva + recarga, 999"), added);
    if (window.findChild<QTreeWidget*>(QStringLiteral("ListView1"))->topLevelItemCount() != 999 ||
        !reception::cageExists(state.mainDb, 999))
        out() << "  ¡la jaula nueva no se ha guardado!" << Qt::endl;

    const bench::Timing modified = measureWithSetup(
        11,
        [&] {
            window.findChild<QAction*>(QStringLiteral("p3"))->trigger();
            aceptar->setEnabled(true);
            settle();
        },
        [&] {
            aceptar->click();
            settle();
        });
    bench::report(QStringLiteral("Aceptar de una modificacion + recarga, 999"), modified);
    out() << QStringLiteral("  objetivos: Aceptar + recarga < 100 ms; abrir la ventana < 300 ms") << Qt::endl;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const bool windowOnly = args.removeAll(QStringLiteral("--solo-ventana")) > 0;
    const QString folder =
        args.isEmpty() ? QDir(QDir::tempPath()).filePath(QStringLiteral("palomas-bench-reception")) : args[0];
    QDir().mkpath(folder);

    if (!windowOnly) {
        out() << "== Paso de recalculo de la recarga (5 jueces por jaula, quitar mayor y menor)" << Qt::endl;
        reloadPass(folder, {999, 10000, 100000});
    }
    out() << "== Ventana de recepcion (999 jaulas, 5 jueces por jaula)" << Qt::endl;
    receptionWindow(folder);
    return 0;
}
