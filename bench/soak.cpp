// palomas-soak CARPETA [MINUTOS] [SEMILLA]: a show day through the core passes, with the
// process killed (SIGKILL) and started again at random moments.
//
// A child process does the work: 2,000 birds received one by one and in imported batches, with
// deletions and modifications at random; then the five judges' rows, typed one by one and
// imported by judge; the final scores, the listings every few hundred steps, backup copies on
// their occasions. Every change is journaled outside the database (soak_journal.h). The parent
// kills the child after a random time, and before starting the next one checks that the file
// passes SQLite's integrity check, that it holds exactly the acknowledged operations (the one in
// flight may have committed or not), and that every backup copy is sound. It prints its figures
// at the end. A day ends when every judged bird has its five rows; days follow one another, each
// in a fresh exhibition, until the time is up.

#include "output/export_all.h"
#include "rules/backups/copies.h"
#include "rules/backups/keeper.h"
#include "rules/exhibition/exhibition.h"
#include "rules/import/reception_import.h"
#include "rules/import/score_import.h"
#include "rules/judging/judge_rows.h"
#include "rules/judging/final_score.h"
#include "rules/reception/bird_entry.h"
#include "soak_journal.h"
#include "store/database.h"
#include "store/error.h"
#include "windows/shell/app_state.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTextStream>
#include <algorithm>

namespace
{

constexpr int birdsOfTheDay = 2000; // receipts, counting the birds received again after a deletion
constexpr int judges = 5;
constexpr int maxCages = 999;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

struct Files {
    QString folder;
    QString exhibition() const { return QDir(folder).filePath(QStringLiteral("Soak.mdb")); }
    QString journal() const { return QDir(folder).filePath(QStringLiteral("diario.txt")); }
    QString counts() const { return QDir(folder).filePath(QStringLiteral("cuentas.txt")); }
    QString listings() const { return QDir(folder).filePath(QStringLiteral("Listados")); }
};

// The work that leaves the model as it is, counted in a file of its own, line by line.
void count(const Files& files, const char* what)
{
    QFile file(files.counts());
    if (file.open(QIODevice::Append))
        file.write(QByteArray(what) + '\n');
}

// ---- the child: the show day ----

class Day
{
public:
    Day(const Files& files, quint32 seed) : m_files(files), m_journal(files.journal()), m_random(seed)
    {
        m_state.programFolder = files.folder;
        exhibition::open(m_state, files.exhibition());
        const soak::Journal::State journaled = m_journal.read();
        if (journaled.open)
            qFatal("El diario tiene una operación sin resolver");
        m_model = journaled.model;
        m_seq = journaled.lastSeq;
        m_receipts = receiptsSoFar();
    }

    // One step of the day; false when the day is over.
    bool step()
    {
        if (m_random.bounded(250) == 0)
            buildListings();
        if (m_random.bounded(60) == 0)
            m_keeper.takeIfChanged(m_state.mainDb); // the main window's timer
        if (m_receipts < birdsOfTheDay)
            receptionStep();
        else if (!scoringStep())
            return false;
        return true;
    }

    void endOfDay()
    {
        judging::recomputeFinalScores(m_state.mainDb);
        buildListings();
        m_keeper.take(m_state.mainDb, backups::Occasion::Periodic);
        count(m_files, "COPIA");
    }

private:
    int receiptsSoFar() const
    {
        QFile file(m_files.journal());
        int receipts = 0;
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            while (!file.atEnd()) {
                const QByteArray line = file.readLine();
                if (line.startsWith("I\t") && line.contains("\tRECV\t"))
                    ++receipts;
                else if (line.startsWith("I\t") && line.contains("\tIMPR\t"))
                    receipts += int(line.count(';'));
            }
        return receipts;
    }

    std::vector<int> freeCages() const
    {
        std::vector<int> free;
        for (int cage = 1; cage <= maxCages; ++cage)
            if (!m_model.birds.contains(cage))
                free.push_back(cage);
        return free;
    }

    int anyBird()
    {
        auto it = m_model.birds.begin();
        std::advance(it, m_random.bounded(int(m_model.birds.size())));
        return it->first;
    }

    soak::Bird newBird(int cage)
    {
        static const char* const groups[] = {"A", "B", "C", "A", "B", "C", "A", "B", "C", "D"};
        return {QString::number(1000000 + cage * 1000 + int(m_random.bounded(1000))),
                QStringLiteral("Socio %1").arg(m_random.bounded(400)),
                QString::fromLatin1(groups[m_random.bounded(10)]), m_random.bounded(2) ? "M" : "H"};
    }

    // Journals the intent, runs the change, acknowledges it once its transaction committed.
    template <class Change> void journaled(const QStringList& fields, Change change)
    {
        const soak::Operation operation{++m_seq, fields};
        m_journal.intent(operation);
        change();
        m_journal.acknowledge(operation.seq);
        operation.applyTo(m_model);
    }

    void receive(int cage)
    {
        const soak::Bird bird = newBird(cage);
        journaled({"RECV", QString::number(cage), bird.anilla, bird.nombre, bird.grupo, bird.sexo}, [&] {
            reception::BirdRecord record;
            record.jaula = cage;
            record.anilla = bird.anilla;
            record.anio = QStringLiteral("2025");
            record.sexo = bird.sexo;
            record.color = QStringLiteral("Azul");
            record.licencia = QStringLiteral("12345");
            record.nombre = bird.nombre;
            record.club = QString::number(1 + m_random.bounded(20));
            record.grupo = bird.grupo;
            record.categ = bird.grupo == u"D" ? QStringLiteral("A") : QStringLiteral(" ");
            reception::storeBird(m_state.mainDb, record, reception::EntryMode::NewCage);
        });
        ++m_receipts;
    }

    void importBirds(std::vector<int> cages)
    {
        std::vector<imports::ReceptionRow> rows;
        QStringList journaledRows;
        for (int cage : cages) {
            const soak::Bird bird = newBird(cage);
            imports::ReceptionRow row;
            row.sheetRow = 5 + int(rows.size());
            row.jaula = QString::number(cage);
            row.grupo = bird.grupo;
            row.sexo = bird.sexo;
            row.licencia = QStringLiteral("54321");
            row.nombre = bird.nombre;
            row.club = QString::number(1 + m_random.bounded(20));
            row.anyo = QStringLiteral("2024");
            row.anilla = bird.anilla;
            rows.push_back(row);
            journaledRows << QStringList{row.jaula, bird.anilla, bird.nombre, bird.grupo, bird.sexo}.join(
                u',');
        }
        m_keeper.take(m_state.mainDb, backups::Occasion::BeforeImport);
        count(m_files, "COPIA");
        journaled({"IMPR", journaledRows.join(u';') + u';'}, [&] {
            if (imports::storeReception(m_state.mainDb, rows).stored != int(rows.size()))
                qFatal("La importación de recepción no guardó todas las filas");
        });
        m_receipts += int(rows.size());
    }

    void modify(int cage)
    {
        const soak::Bird& was = m_model.birds.at(cage);
        const QString anilla = QString::number(2000000 + m_random.bounded(1000000));
        const QString nombre = QStringLiteral("Socio %1").arg(m_random.bounded(400));
        journaled({"MOD", QString::number(cage), anilla, nombre}, [&] {
            reception::BirdRecord record;
            record.jaula = cage;
            record.anilla = anilla;
            record.anio = QStringLiteral("2025");
            record.sexo = was.sexo;
            record.color = QStringLiteral("Rojo");
            record.licencia = QStringLiteral("12345");
            record.nombre = nombre;
            record.club = QStringLiteral("1");
            record.grupo = was.grupo;
            record.categ = was.grupo == u"D" ? QStringLiteral("B") : QStringLiteral(" ");
            reception::storeBird(m_state.mainDb, record, reception::EntryMode::Modify);
        });
    }

    void remove(int cage)
    {
        journaled({"DEL", QString::number(cage)}, [&] {
            if (!reception::deleteBird(m_state.mainDb, m_keeper, {cage, 0}))
                qFatal("La jaula %d no estaba", cage);
        });
    }

    void recalculate()
    {
        judging::recomputeFinalScores(m_state.mainDb);
        count(m_files, "RECALCULO");
    }

    void buildListings()
    {
        QDir().mkpath(m_files.listings());
        listings::exportAll(m_state.mainDb, m_state.clubRs, m_files.listings(), false);
        count(m_files, "LISTADOS");
    }

    void receptionStep()
    {
        const int alive = int(m_model.birds.size());
        const int choice = alive >= maxCages - 49 ? 90 : alive == 0 ? 0 : int(m_random.bounded(100));
        if (choice < 50) {
            const std::vector<int> free = freeCages();
            receive(free[m_random.bounded(int(free.size()))]);
        } else if (choice < 58) {
            std::vector<int> free = freeCages();
            std::shuffle(free.begin(), free.end(), m_random);
            free.resize(std::min<std::size_t>(free.size(), 5 + m_random.bounded(26)));
            importBirds(free);
        } else if (choice < 78) {
            modify(anyBird());
        } else if (choice < 96) {
            remove(anyBird());
        } else {
            recalculate();
        }
    }

    // The rows still to be scored: every judge of every bird of groups A to C.
    std::vector<std::pair<int, int>> pendingRows() const
    {
        std::vector<std::pair<int, int>> pending;
        for (const auto& [cage, bird] : m_model.birds)
            if (bird.grupo != u"D")
                for (int juez = 1; juez <= judges; ++juez)
                    if (!m_model.scores.contains({cage, juez}))
                        pending.push_back({cage, juez});
        return pending;
    }

    judging::JudgeScores scores(int juez)
    {
        // Halves only, so that every total is exact in binary and compares exactly.
        const double low[] = {8, 8, 17, 27, 27};
        judging::JudgeScores row;
        row.juez = juez;
        row.puntost = 0;
        for (int k = 0; k < 5; ++k) {
            row.puntos[std::size_t(k)] = low[k] + 0.5 * m_random.bounded(k < 2 ? 3 : 5);
            row.puntost += row.puntos[std::size_t(k)];
        }
        return row;
    }

    void typeRow(int cage, int juez)
    {
        const judging::JudgeScores row = scores(juez);
        journaled({"SCORE", QString::number(cage), QString::number(juez), QString::number(row.puntost)}, [&] {
            store::Recordset puntos = judging::openCageRows(m_state.mainDb, cage, judging::Criterion::Average);
            judging::storeJudgeRow(m_state.mainDb, puntos, cage, judging::EntryMode::New, row,
                                   m_model.birds.at(cage).grupo);
        });
    }

    void importJudge(int juez, const std::vector<int>& cages)
    {
        std::vector<imports::ScoreRow> rows;
        QStringList journaledRows;
        for (int cage : cages) {
            const judging::JudgeScores typed = scores(juez);
            imports::ScoreRow row;
            row.sheetRow = 5 + int(rows.size());
            row.jaula = QString::number(cage);
            row.grupo = m_model.birds.at(cage).grupo;
            row.sexo = m_model.birds.at(cage).sexo;
            for (int k = 0; k < 5; ++k)
                row.puntos[std::size_t(k)] = {QString::number(typed.puntos[std::size_t(k)]),
                                              typed.puntos[std::size_t(k)], typed.puntos[std::size_t(k)]};
            row.total = {QString::number(typed.puntost), typed.puntost, typed.puntost};
            rows.push_back(row);
            journaledRows << QStringLiteral("%1:%2").arg(cage).arg(typed.puntost);
        }
        m_keeper.take(m_state.mainDb, backups::Occasion::BeforeImport);
        count(m_files, "COPIA");
        journaled({"IMPS", QString::number(juez), journaledRows.join(u';')}, [&] {
            if (imports::storeScores(m_state.mainDb, rows, QString::number(juez)).stored != int(rows.size()))
                qFatal("La importación de puntuaciones no guardó todas las filas");
        });
    }

    bool scoringStep()
    {
        std::vector<std::pair<int, int>> pending = pendingRows();
        if (pending.empty())
            return false;
        const int choice = int(m_random.bounded(100));
        if (choice < 65) {
            const auto [cage, juez] = pending[m_random.bounded(int(pending.size()))];
            typeRow(cage, juez);
        } else if (choice < 85) {
            const int juez = pending[m_random.bounded(int(pending.size()))].second;
            std::vector<int> cages;
            for (const auto& [cage, j] : pending)
                if (j == juez)
                    cages.push_back(cage);
            std::shuffle(cages.begin(), cages.end(), m_random);
            cages.resize(std::min<std::size_t>(cages.size(), 10 + m_random.bounded(71)));
            importJudge(juez, cages);
        } else if (choice < 93) {
            modify(anyBird());
        } else if (choice < 95) {
            remove(anyBird());
        } else {
            recalculate();
        }
        return true;
    }

    Files m_files;
    soak::Journal m_journal;
    QRandomGenerator m_random;
    AppState m_state;
    backups::Keeper m_keeper;
    soak::Model m_model;
    qint64 m_seq = 0;
    int m_receipts = 0;
};

int child(const Files& files, quint32 seed)
{
    try {
        Day day(files, seed);
        while (day.step()) {
        }
        day.endOfDay();
        return 0;
    } catch (const base::Error& e) {
        QTextStream(stderr) << e.message() << Qt::endl;
    } catch (const std::exception& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
    }
    return 3;
}

// ---- the parent: kills, restarts and checks ----

struct Figures {
    int runs = 0;
    int kills = 0;
    int childFailures = 0;
    int integrityFailures = 0;
    int lost = 0;
    int copiesChecked = 0;
    int badCopies = 0;
    qint64 verifyMsTotal = 0;
    qint64 verifyMsMax = 0;
    bool dayEnded = false;
};

QString integrityOf(store::Database& db)
{
    store::Statement check = db.prepare(QStringLiteral("PRAGMA integrity_check"));
    QStringList lines;
    while (check.step())
        lines << check.text(0);
    return lines.join(u' ');
}

void prepare(const Files& files)
{
    QDir(files.folder).removeRecursively();
    QDir().mkpath(files.folder);
    {
        store::Database db = store::Database::create(files.exhibition(), store::schema::exhibition());
        store::Statement config = db.prepare(QStringLiteral(
            "INSERT INTO Config (Nombre, Region, Jueces, media, quitar) VALUES ('Soak', ' ', ?, 0, 1)"));
        config.bind(1, qint64(judges)).run();
    }
    store::Database clubs =
        store::Database::create(exhibition::clubsPath(files.folder), store::schema::clubs());
    store::Statement club = clubs.prepare(QStringLiteral("INSERT INTO club VALUES (?, ?, ?)"));
    const char* const provinces[] = {"Madrid", "Toledo", "Cuenca", "Segovia", "Avila"};
    for (int code = 1; code <= 20; ++code)
        club.bind(1, QStringLiteral("Club %1").arg(code))
            .bind(2, QString::number(code))
            .bind(3, QString::fromLatin1(provinces[code % 5]))
            .run();
}

// After a kill: the file is sound and holds what the journal says, and so is every new copy.
void verify(const Files& files, Figures& figures, QSet<QString>& checkedCopies)
{
    QElapsedTimer timer;
    timer.start();
    soak::Journal journal(files.journal());
    const soak::Journal::State state = journal.read();
    {
        // Opened for writing, as the next run opens it: a journal left by the kill is rolled back.
        store::Database db = store::Database::open(files.exhibition(), store::schema::exhibition());
        if (const QString integrity = integrityOf(db); integrity != u"ok") {
            ++figures.integrityFailures;
            out() << "INTEGRIDAD: " << integrity << Qt::endl;
        }
        const soak::Model stored = soak::Model::read(db);
        if (state.open) {
            soak::Model done = state.model;
            state.open->applyTo(done);
            if (stored == done) {
                journal.settle(state.open->seq, true);
            } else if (stored == state.model) {
                journal.settle(state.open->seq, false);
            } else {
                ++figures.lost;
                out() << "PERDIDO (operación " << state.open->seq << "): " << stored.difference(state.model)
                      << Qt::endl;
            }
        } else if (!(stored == state.model)) {
            ++figures.lost;
            out() << "PERDIDO: " << stored.difference(state.model) << Qt::endl;
        }
    }
    for (const backups::Copy& copy : backups::copiesOf(files.exhibition())) {
        if (checkedCopies.contains(copy.path))
            continue;
        checkedCopies.insert(copy.path);
        ++figures.copiesChecked;
        try {
            store::Database db = store::Database::open(copy.path, store::schema::exhibition(),
                                                       store::Database::Access::ReadOnly);
            if (integrityOf(db) != u"ok")
                ++figures.badCopies;
        } catch (const base::Error& e) {
            ++figures.badCopies;
            out() << "COPIA: " << e.message() << Qt::endl;
        }
    }
    const qint64 ms = timer.elapsed();
    figures.verifyMsTotal += ms;
    figures.verifyMsMax = std::max(figures.verifyMsMax, ms);
}

QMap<QString, int> counted(const Files& files)
{
    QMap<QString, int> counts;
    QFile file(files.counts());
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        while (!file.atEnd())
            ++counts[QString::fromUtf8(file.readLine()).trimmed()];
    return counts;
}

struct DayTotals {
    int acknowledged = 0, settledDone = 0, abandoned = 0;
    std::size_t birds = 0, scoreRows = 0;
    QMap<QString, int> counts;

    void add(const Files& files)
    {
        const soak::Journal::State state = soak::Journal(files.journal()).read();
        acknowledged += state.acknowledged;
        settledDone += state.settledDone;
        abandoned += state.abandoned;
        birds += state.model.birds.size();
        scoreRows += state.model.scores.size();
        for (auto [what, n] : counted(files).asKeyValueRange())
            counts[what] += n;
    }
};

// Show days one after the other, each in a fresh exhibition, until the time is up.
int parent(const Files& files, double minutes, quint32 seed)
{
    QRandomGenerator random(seed);
    Figures figures;
    DayTotals totals;
    int days = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < qint64(minutes * 60000)) {
        prepare(files);
        QSet<QString> checkedCopies;
        figures.dayEnded = false;
        while (!figures.dayEnded && clock.elapsed() < qint64(minutes * 60000)) {
            QProcess worker;
            worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            worker.start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--hijo"), files.folder, QString::number(random.generate())});
            ++figures.runs;
            const int lifetime = 300 + int(random.bounded(2700));
            if (worker.waitForFinished(lifetime)) {
                if (worker.exitStatus() == QProcess::NormalExit && worker.exitCode() == 0)
                    figures.dayEnded = true;
                else
                    ++figures.childFailures;
            } else {
                worker.kill(); // SIGKILL
                worker.waitForFinished();
                ++figures.kills;
            }
            verify(files, figures, checkedCopies);
        }
        days += figures.dayEnded ? 1 : 0;
        totals.add(files);
    }
    const double seconds = clock.elapsed() / 1000.0;
    out() << QStringLiteral("Duración: %1 s; días completos: %2").arg(seconds, 0, 'f', 1).arg(days)
          << Qt::endl
          << QStringLiteral("Procesos: %1, muertos con SIGKILL: %2, fallos del proceso: %3")
                 .arg(figures.runs)
                 .arg(figures.kills)
                 .arg(figures.childFailures)
          << Qt::endl
          << QStringLiteral(
                 "Operaciones confirmadas: %1 (%2/s); en vuelo al morir: %3 guardadas, %4 no guardadas")
                 .arg(totals.acknowledged)
                 .arg(totals.acknowledged / seconds, 0, 'f', 1)
                 .arg(totals.settledDone)
                 .arg(totals.abandoned)
          << Qt::endl
          << QStringLiteral(
                 "Al final de cada día, en suma: %1 aves, %2 filas de puntuación; recálculos %3, listados "
                 "%4, copias %5")
                 .arg(totals.birds)
                 .arg(totals.scoreRows)
                 .arg(totals.counts.value("RECALCULO"))
                 .arg(totals.counts.value("LISTADOS"))
                 .arg(totals.counts.value("COPIA"))
          << Qt::endl
          << QStringLiteral(
                 "Comprobaciones: integridad fallida %1, operaciones perdidas %2, copias comprobadas %3 "
                 "(dañadas %4); comprobación media %5 ms, máxima %6 ms")
                 .arg(figures.integrityFailures)
                 .arg(figures.lost)
                 .arg(figures.copiesChecked)
                 .arg(figures.badCopies)
                 .arg(figures.runs ? figures.verifyMsTotal / figures.runs : 0)
                 .arg(figures.verifyMsMax)
          << Qt::endl;
    return figures.integrityFailures + figures.lost + figures.badCopies + figures.childFailures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 3 && args[0] == u"--hijo")
        return child({args[1]}, args[2].toUInt());
    if (args.isEmpty()) {
        QTextStream(stderr) << "Uso: palomas-soak CARPETA [MINUTOS] [SEMILLA]" << Qt::endl;
        return 2;
    }
    return parent({QDir(args[0]).absolutePath()}, args.size() > 1 ? args[1].toDouble() : 5,
                  args.size() > 2 ? args[2].toUInt() : 1);
}
