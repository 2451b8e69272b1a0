// palomas-bench-server [CARPETA] [--servidor PALOMAS-CLI]: the show's server as the organiser runs
// it (palomas-cli servir, a process of its own, so that its processor time and memory are its own)
// on 999 cages and 5 judges, against phones on loopback, each from an address of its own:
// 1. one phone alone: a score costs one commit; a plain commit of the same file, timed in the same
//    run, is the floor;
// 2. 100 phones send every judge's score of every judged bird at once: judges 1 to 3 alone, for
//    the server's processor time for each stored score; judge 4 while 4 screens read the board
//    every second; judge 5 at a steward's pace (each phone a score every 250 ms) with the screens,
//    for the board's latencies over several seconds;
// 3. the board right after another program changed the file (a second after the last build, so
//    that it is built again for the read);
// 4. attacks: 300 connections that send their headers a byte at a time, 300 that send nothing and
//    20 that send an 800 MiB body, while a phone reads a cage every 100 ms: its slowest answer,
//    and the server's peak memory.
// Every answer must be the one expected. --servidor measures another palomas-cli (an older build)
// with the same phones.
#include "generator.h"
#include "store/database.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <thread>
#include <unistd.h>

namespace
{

constexpr int phones = 100;
constexpr int screens = 4;
const QByteArray key = "B3NCH4RK99";
// While the file changes, the server builds its board at most once a second.
constexpr int boardSecondMs = 1000;

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5))];
}

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

void print(const QString& name, const std::vector<double>& ms)
{
    out() << QStringLiteral("%1: %2 peticiones, p50 %3 ms, p90 %4 ms, p99 %5 ms, máx %6 ms")
                 .arg(name, -34)
                 .arg(ms.size())
                 .arg(percentile(ms, 0.5), 0, 'f', 2)
                 .arg(percentile(ms, 0.9), 0, 'f', 2)
                 .arg(percentile(ms, 0.99), 0, 'f', 2)
                 .arg(percentile(ms, 1.0), 0, 'f', 2)
          << Qt::endl;
}

// The processor time of a process, in milliseconds (user and system, every thread).
double cpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return double(fields[11].toLongLong() + fields[12].toLongLong()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// The peak resident memory of a process, in MB.
double peakMb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    return 0;
}

struct Job {
    QByteArray method;
    QString path;
    QByteArray body;
    int expected;
    std::vector<double>* latencies;
};

// A phone or screen: one kept-alive connection from an address of its own, sending its requests
// one after another and timing each from the first byte sent to the last byte of the answer. A
// bare socket, because Qt's full HTTP client costs the two cores about as much as the server.
class Client : public QObject
{
public:
    Client(quint16 port, const QString& source, std::function<void(Client*)> next) : m_next(std::move(next))
    {
        m_socket.bind(QHostAddress(source));
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_socket.waitForConnected();
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(&m_socket, &QTcpSocket::readyRead, this, &Client::read);
    }

    void send(Job job)
    {
        m_job = std::move(job);
        busy = true;
        QByteArray request = m_job.method + ' ' + m_job.path.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                             "Authorization: Bearer " + key + "\r\n";
        if (!m_job.body.isEmpty())
            request += "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(m_job.body.size()) +
                       "\r\n";
        request += "\r\n" + m_job.body;
        m_timer.start();
        m_socket.write(request);
    }

    int errors = 0;
    bool busy = false;

private:
    void read()
    {
        m_in += m_socket.readAll();
        const qsizetype headEnd = m_in.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        const QByteArray head = m_in.left(headEnd).toLower();
        const qsizetype lengthAt = head.indexOf("\r\ncontent-length:");
        const qsizetype length =
            lengthAt < 0 ? 0
                         : head.mid(lengthAt + 17, head.indexOf("\r\n", lengthAt + 2) - lengthAt - 17).trimmed().toLongLong();
        if (m_in.size() < headEnd + 4 + length)
            return;
        m_job.latencies->push_back(double(m_timer.nsecsElapsed()) / 1e6);
        const int status = head.mid(9, 3).toInt();
        if (status != m_job.expected && ++errors <= 5)
            QTextStream(stderr) << m_job.method << ' ' << m_job.path << ": " << status << ' '
                                << m_in.mid(headEnd + 4, length) << Qt::endl;
        m_in.remove(0, headEnd + 4 + length);
        busy = false;
        m_next(this);
    }

    QTcpSocket m_socket;
    QByteArray m_in;
    Job m_job;
    QElapsedTimer m_timer;
    std::function<void(Client*)> m_next;
};

QString address(int group, int i)
{
    return QStringLiteral("127.0.%1.%2").arg(group).arg(i + 1);
}

// Runs the jobs with `inFlight` phones at once, while `readers` screens read the board every
// second; returns the errors.
// A phone may pause between its requests (a steward's pace), from one answer to the next send.
int run(quint16 port, std::deque<Job>& jobs, int inFlight, std::vector<double>* board = nullptr, int readers = 0,
        int pauseMs = 0)
{
    int running = 0;
    std::function<void(Client*)> next = [&](Client* client) {
        if (jobs.empty()) {
            if (--running == 0)
                QCoreApplication::exit(0);
            return;
        }
        Job job = std::move(jobs.front());
        jobs.pop_front();
        if (pauseMs == 0)
            return client->send(std::move(job));
        QTimer::singleShot(pauseMs, client, [client, job = std::move(job)]() mutable { client->send(std::move(job)); });
    };
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < inFlight; ++i)
        clients.push_back(std::make_unique<Client>(port, address(5 + i / 200, i % 200), next));
    std::vector<std::unique_ptr<Client>> watching;
    for (int i = 0; i < readers; ++i)
        watching.push_back(std::make_unique<Client>(port, address(9, i), [](Client*) {}));
    QTimer everySecond;
    const auto read = [&] {
        for (const auto& screen : watching)
            if (!screen->busy)
                screen->send({"GET", QStringLiteral("/api/tablero"), {}, 200, board});
    };
    QObject::connect(&everySecond, &QTimer::timeout, read);
    if (readers > 0) {
        everySecond.start(1000);
        read();
    }
    for (const auto& client : clients) { // all connected first: the requests then leave together
        ++running;
        next(client.get());
    }
    QCoreApplication::exec();
    int errors = 0;
    for (const auto& client : clients)
        errors += client->errors;
    for (const auto& screen : watching)
        errors += screen->errors;
    return errors;
}

// The floor: one commit of a one-row change to the same file, in autocommit, median of 50.
double plainCommitMs(const QString& path)
{
    store::Database db = store::Database::open(path, store::schema::exhibition());
    std::vector<double> times;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer timer;
        timer.start();
        db.execute(QStringLiteral("UPDATE Config SET Dibujo = '%1'").arg(i % 2 ? QStringLiteral("a") : QStringLiteral("b")));
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return percentile(times, 0.5);
}

// The attacks of the hall's network, while a phone reads a cage every 100 ms for five seconds:
// the slowest of its answers.
double underAttack(quint16 port, int& errors)
{
    std::vector<std::unique_ptr<QTcpSocket>> attackers;
    const auto open = [&](const QString& source, const QByteArray& first) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(source));
        socket->connectToHost(QHostAddress::LocalHost, port);
        if (!first.isEmpty())
            QObject::connect(socket.get(), &QTcpSocket::connected, [s = socket.get(), first] { s->write(first); });
        attackers.push_back(std::move(socket));
    };
    for (int i = 0; i < 300; ++i)
        open(address(20 + i / 200, i % 200), "GET /api/tablero HTTP/1.1\r\nHost: x\r\n");
    for (int i = 0; i < 300; ++i)
        open(address(30 + i / 200, i % 200), {});
    std::vector<QTcpSocket*> bodies;
    for (int i = 0; i < 20; ++i) {
        open(address(40, i), "POST /api/jaulas/1/puntuaciones HTTP/1.1\r\nHost: x\r\nContent-Length: 838860800\r\n\r\n");
        bodies.push_back(attackers.back().get());
    }
    QTimer drip;
    const QByteArray junk(64 * 1024, 'a');
    QObject::connect(&drip, &QTimer::timeout, [&] {
        for (int i = 0; i < 300; ++i)
            attackers[std::size_t(i)]->write("X");
        for (QTcpSocket* body : bodies)
            if (body->state() == QAbstractSocket::ConnectedState)
                body->write(junk);
    });
    drip.start(200);

    std::vector<double> normal;
    Client phone(port, address(50, 0), [](Client*) {});
    QTimer every100;
    int sent = 0;
    QObject::connect(&every100, &QTimer::timeout, [&] {
        if (sent++ == 50)
            return QCoreApplication::exit(0);
        if (!phone.busy)
            phone.send({"GET", QStringLiteral("/api/jaulas/1"), {}, 200, &normal});
    });
    every100.start(100);
    QCoreApplication::exec();
    errors += phone.errors + (normal.size() < 45 ? 1 : 0);
    print(QStringLiteral("GET jaula durante los ataques"), normal);
    return percentile(normal, 1.0);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/palomas-cli");
    if (const qsizetype at = args.indexOf(QStringLiteral("--servidor")); at >= 0 && at + 1 < args.size()) {
        cli = args[at + 1];
        args.remove(at, 2);
    }
    // A folder may be given: on a RAM disk (/dev/shm) the figures leave out the disk's commit.
    QTemporaryDir temporary;
    const QString folder = args.isEmpty() ? temporary.path() : args.front();
    bench::ExhibitionSize size;
    size.cages = 999;
    size.judgesPerCage = 0; // the phones send every score
    size.jueces = 5;
    const bench::Generated files = bench::generate(folder, QStringLiteral("expo-999.mdb"), size);
    const double commit = plainCommitMs(files.exhibition);

    QProcess server;
    server.setProcessChannelMode(QProcess::SeparateChannels);
    server.start(cli, {QStringLiteral("servir"), files.exhibition, QStringLiteral("--puerto"), QStringLiteral("0"),
                       QStringLiteral("--clave"), QString::fromLatin1(key), QStringLiteral("--clubs"), files.clubs});
    QString serving;
    while (server.waitForReadyRead(10000) && !serving.contains(u'\n'))
        serving += QString::fromUtf8(server.readAllStandardOutput());
    const QRegularExpressionMatch found = QRegularExpression(QStringLiteral(":(\\d+)/ clave")).match(serving);
    if (!found.hasMatch()) {
        QTextStream(stderr) << "palomas-cli servir no arranca: " << serving << server.readAllStandardError() << Qt::endl;
        return 1;
    }
    const quint16 port = quint16(found.captured(1).toUInt());
    const qint64 pid = server.processId();

    std::vector<int> judged;
    {
        store::Database db = store::Database::open(files.exhibition, store::schema::exhibition());
        store::Statement birds = db.prepare(QStringLiteral("SELECT jaula FROM Recepcion WHERE grupo <> 'D' ORDER BY jaula"));
        while (birds.step())
            judged.push_back(int(birds.int64(0)));
    }

    std::vector<double> alone, posts, board, fresh;
    constexpr int aloneCount = 100;
    int errors = 0;
    for (int i = 0; i < aloneCount; ++i) {
        std::deque<Job> one{{"POST", QStringLiteral("/api/jaulas/%1/puntuaciones").arg(judged[std::size_t(i)]),
                             QByteArray(R"({"juez":1,"puntos":[8.5,8.25,18,28,27.75]})"), 201, &alone}};
        errors += run(port, one, 1);
    }

    // Judge by judge over every cage, so that the requests in flight are for different cages and
    // for the same ones in turn: judges 1 to 3 with the phones alone, for the processor time of a
    // score; judges 4 and 5 with the screens reading the board too.
    const auto scoresOf = [&](int first, int last, std::vector<double>* latencies) {
        std::deque<Job> jobs;
        for (int juez = first; juez <= last; ++juez)
            for (const int cage : judged)
                if (juez > 1 || cage > judged[aloneCount - 1])
                    jobs.push_back({"POST", QStringLiteral("/api/jaulas/%1/puntuaciones").arg(cage),
                                    QStringLiteral(R"({"juez":%1,"puntos":[8.5,8.25,18,28,27.75]})").arg(juez).toUtf8(),
                                    201, latencies});
        return jobs;
    };
    std::vector<double> postsAlone;
    std::deque<Job> jobs = scoresOf(1, 3, &postsAlone);
    const std::size_t scores = jobs.size();
    const double cpuBefore = cpuMs(pid);
    QElapsedTimer all;
    all.start();
    errors += run(port, jobs, phones);
    const double seconds = double(all.elapsed()) / 1000;
    const double cpuPerScore = (cpuMs(pid) - cpuBefore) / double(scores);
    jobs = scoresOf(4, 4, &posts);
    errors += run(port, jobs, phones, &board, screens);
    // The disk's commit again, right after the scores: on a shared machine it drifts.
    const double commitAfter = plainCommitMs(files.exhibition);
    // Judge 5 at a steward's pace, each phone a score every quarter of a second (400 a second
    // from the hall), while the screens read on: the board's latencies over several seconds.
    std::vector<double> paced, pacedBoard;
    jobs = scoresOf(5, 5, &paced);
    errors += run(port, jobs, phones, &pacedBoard, screens, 250);

    {
        store::Database db = store::Database::open(files.exhibition, store::schema::exhibition());
        for (int i = 0; i < 10; ++i) {
            // A second later than the last build, so that the board is built again for this read.
            std::this_thread::sleep_for(std::chrono::milliseconds(boardSecondMs + 200));
            // Another program's write, which changes the file (the same value again would not).
            db.execute(QStringLiteral(
                "UPDATE Puntos SET puntos1 = CASE puntos1 WHEN 8.5 THEN 8.75 ELSE 8.5 END WHERE rowid = 1"));
            std::deque<Job> one{{"GET", QStringLiteral("/api/tablero"), {}, 200, &fresh}};
            errors += run(port, one, 1);
        }
    }

    out() << QStringLiteral("%1 jaulas, 5 jueces: %2 puntuaciones de %3 teléfonos a la vez en %4 s")
                 .arg(size.cages)
                 .arg(scores)
                 .arg(phones)
                 .arg(seconds, 0, 'f', 1)
          << Qt::endl;
    out() << QStringLiteral("Un commit del mismo archivo (SQLite, autocommit): %1 ms antes, %2 ms después")
                 .arg(commit, 0, 'f', 2)
                 .arg(commitAfter, 0, 'f', 2)
          << Qt::endl;
    print(QStringLiteral("POST puntuación, un teléfono solo"), alone);
    print(QStringLiteral("POST puntuación, 100 a la vez"), postsAlone);
    print(QStringLiteral("POST puntuación, con 4 pantallas"), posts);
    out() << QStringLiteral("  p99 / un commit: %1").arg(percentile(posts, 0.99) / std::max(commit, commitAfter), 0, 'f', 1)
          << Qt::endl;
    out() << QStringLiteral("Procesador del servidor por puntuación guardada: %1 ms").arg(cpuPerScore, 0, 'f', 3)
          << Qt::endl;
    print(QStringLiteral("GET tablero, 4 pantallas"), board);
    print(QStringLiteral("POST puntuación, a 4 por segundo"), paced);
    print(QStringLiteral("GET tablero, mientras"), pacedBoard);
    print(QStringLiteral("GET tablero tras otro programa"), fresh);
    const double slowest = underAttack(port, errors);
    out() << QStringLiteral("  la respuesta más lenta durante los ataques: %1 ms").arg(slowest, 0, 'f', 1) << Qt::endl;
    out() << QStringLiteral("Memoria máxima del servidor: %1 MB").arg(peakMb(pid), 0, 'f', 1) << Qt::endl;

    server.terminate();
    server.waitForFinished(10000);
    out() << QStringLiteral("Errores: %1").arg(errors) << Qt::endl;
    return errors == 0 ? 0 : 1;
}
