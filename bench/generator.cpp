#include "generator.h"

#include "store/database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <random>
#include <vector>

namespace bench
{

namespace
{

const char* const provinces[] = {"Madrid",      "Toledo",   "Cuenca", "Guadalajara",
                                 "Ciudad Real", "Albacete", "Ávila",  "Segovia"};
const char* const names[] = {"García",    "Fernández", "González", "Rodríguez", "López",   "Martínez",
                             "Sánchez",   "Pérez",     "Gómez",    "Martín",    "Jiménez", "Ruiz",
                             "Hernández", "Díaz",      "Moreno",   "Muñoz"};
const char* const given[] = {"José",  "Antonio", "Manuel", "Francisco", "Juan",
                             "Pedro", "Ángel",   "Luis",   "Miguel",    "Carmen"};
const char* const colours[] = {"Azul",  "Azul Barrado", "Rodado", "Pintón", "Rojo",
                               "Negro", "Gavino",       "Blanco", "Overo"};

} // namespace

Generated generate(const QString& folder, const QString& name, const ExhibitionSize& size)
{
    QDir().mkpath(folder);
    Generated files{QDir(folder).filePath(name), QDir(folder).filePath(QStringLiteral("Club.mdb"))};
    for (const QString& path : {files.exhibition, files.clubs})
        QFile::remove(path);
    std::mt19937 random(size.seed);
    auto pick = [&random](int n) { return int(random() % unsigned(n)); };

    {
        store::Database clubs = store::Database::create(files.clubs, store::schema::clubs());
        store::Transaction transaction(clubs);
        store::Statement insert =
            clubs.prepare(QStringLiteral("INSERT INTO club (Nombre, Codigo, Provincia) VALUES (?, ?, ?)"));
        for (int c = 1; c <= size.clubs; ++c) {
            insert.bind(1, QStringLiteral("Club Colombófilo %1").arg(c))
                .bind(2, QString::number(c))
                .bind(3, QString::fromUtf8(provinces[c % 8]));
            insert.run();
        }
        transaction.commit();
    }

    store::Database db = store::Database::create(files.exhibition, store::schema::exhibition());
    db.execute(QStringLiteral("PRAGMA ignore_check_constraints = ON"));
    store::Transaction transaction(db);
    store::Statement config = db.prepare(
        QStringLiteral("INSERT INTO Config (Nombre, Jueces, Region, media, quitar) VALUES (?, ?, ?, ?, ?)"));
    config.bind(1, QStringLiteral("Exposición Regional de Prueba"))
        .bind(2, qint64(size.jueces))
        .bind(3, QStringLiteral("Castilla"))
        .bind(4, qint64(size.media ? 1 : 0))
        .bind(5, qint64(size.media ? 0 : 1));
    config.run();

    store::Statement bird = db.prepare(
        QStringLiteral("INSERT INTO Recepcion (jaula, anilla, \"año\", sexo, licencia, club, nombre, color, "
                       "grupo, categ, puntos, "
                       "termina, conc, km, coef) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 'N', ?, ?, ?)"));
    store::Statement score =
        db.prepare(QStringLiteral("INSERT INTO Puntos (jaula, puntos1, puntos2, puntos3, puntos4, puntos5, "
                                  "juez, puntost, sexo, grupo, categ) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ' ')"));
    // Clubs with many members come first: a few large clubs, many small ones.
    std::vector<int> clubWeights;
    for (int c = 1; c <= size.clubs; ++c)
        clubWeights.push_back(std::max(1, 40 / c));
    std::discrete_distribution<int> clubOf(clubWeights.begin(), clubWeights.end());
    const int steps = std::max(1, size.stepsPerPoint);
    auto partial = [&pick, steps](int low, int high) {
        return low + pick((high - low) * steps + 1) / double(steps);
    };
    // Drawn only when asked for, so that the birds of a given seed stay those of earlier runs.
    auto judgesOfBird = [&pick, &size] {
        return size.maxJudgesPerCage > size.judgesPerCage
                   ? size.judgesPerCage + pick(size.maxJudgesPerCage - size.judgesPerCage + 1)
                   : size.judgesPerCage;
    };

    for (int cage = 1; cage <= size.cages; ++cage) {
        const int r = pick(10);
        const QString grupo = r == 9 ? QStringLiteral("D") : QString(QChar(u'A' + r % 3));
        const QString sexo = pick(2) == 0 ? QStringLiteral("M") : QStringLiteral("H");
        const bool groupD = grupo == u"D";
        const int owner = pick(400);
        bird.bind(1, qint64(cage))
            .bind(2, QString::number(1000000 + pick(8999999)))
            .bind(3, QString::number(2019 + pick(7)))
            .bind(4, sexo)
            .bind(5, QString::number(10000 + owner * 7 % 89999))
            .bind(6, QString::number(clubOf(random) + 1))
            .bind(7, QStringLiteral("%1 %2 %3")
                         .arg(QString::fromUtf8(given[owner % 10]), QString::fromUtf8(names[owner % 16]),
                              QString::fromUtf8(names[(owner / 16) % 16])))
            .bind(8, QString::fromUtf8(colours[pick(9)]))
            .bind(9, grupo)
            .bind(10, groupD ? QString(QChar(u'A' + pick(5))) : QStringLiteral(" "))
            .bind(11, qint64(groupD ? pick(20) : 0))
            .bind(12, qint64(groupD ? 300 + pick(5000) : 0))
            .bind(13, groupD ? pick(100000) / 1000.0 : 0.0);
        bird.run();
        if (groupD)
            continue;
        const int judges = judgesOfBird();
        for (int juez = 1; juez <= judges; ++juez) {
            const double p1 = partial(8, 9), p2 = partial(8, 9), p3 = partial(17, 19), p4 = partial(27, 29),
                         p5 = partial(27, 29);
            score.bind(1, QString::number(cage))
                .bind(2, p1)
                .bind(3, p2)
                .bind(4, p3)
                .bind(5, p4)
                .bind(6, p5)
                .bind(7, qint64(juez))
                .bind(8, p1 + p2 + p3 + p4 + p5)
                .bind(9, sexo)
                .bind(10, grupo);
            score.run();
        }
    }
    transaction.commit();
    return files;
}

Timing measure(int repetitions, const std::function<void()>& pass)
{
    return measure(
        repetitions, [] {}, pass);
}

Timing measure(int repetitions, const std::function<void()>& prepare, const std::function<void()>& pass)
{
    std::vector<double> times;
    for (int i = 0; i <= repetitions; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        pass();
        if (i > 0) // the first run warms the file cache and the prepared statements
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

void report(const QString& name, const Timing& timing)
{
    QTextStream(stdout) << QStringLiteral("%1  mediana %2 ms  (min %3, max %4)")
                               .arg(name, -48)
                               .arg(timing.medianMs, 9, 'f', 2)
                               .arg(timing.minMs, 0, 'f', 2)
                               .arg(timing.maxMs, 0, 'f', 2)
                        << Qt::endl;
}

} // namespace bench
