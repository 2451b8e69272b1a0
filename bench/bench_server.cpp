// palomas-bench-server [CARPETA]: the show's server on 999 cages and 5 judges over loopback. 50 phones
// send every judge's score of every judged bird at once (a POST each, answered when stored); then
// 50 screens and phones read cages, the listings and the board until 10,000 requests have been
// answered in all; every answer must be the one expected. Each client is a bare kept-alive
// connection, so that the figures are the server's. Last, the board read right after another
// program changed a score: built again from the file.
#include "generator.h"
#include "server/show_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <deque>
#include <functional>

namespace
{

constexpr int clients = 50;
constexpr int totalRequests = 10000;
const QByteArray key = "B3NCH4RK99";

struct Job {
    QByteArray method;
    QString path;
    QByteArray body;
    int expected;
    std::vector<double>* latencies;
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5))];
}

void print(const QString& name, const std::vector<double>& ms)
{
    QTextStream(stdout) << QStringLiteral("%1: %2 peticiones, p50 %3 ms, p90 %6 ms, p99 %4 ms, máx %5 ms")
                               .arg(name, -28)
                               .arg(ms.size())
                               .arg(percentile(ms, 0.5), 0, 'f', 2)
                               .arg(percentile(ms, 0.99), 0, 'f', 2)
                               .arg(percentile(ms, 1.0), 0, 'f', 2)
                               .arg(percentile(ms, 0.9), 0, 'f', 2)
                        << Qt::endl;
}

// A phone of the benchmark: one kept-alive connection sending its requests one after another and
// timing each from the first byte sent to the last byte of the answer. It is a bare socket because
// Qt's full HTTP client costs the shared two cores about as much as the server itself, while the
// hall's phones are other machines: the figures are to be the server's.
class Phone : public QObject
{
public:
    Phone(quint16 port, std::function<void(Phone*)> next) : m_next(std::move(next))
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_socket.waitForConnected();
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(&m_socket, &QTcpSocket::readyRead, this, &Phone::read);
    }

    void send(Job job)
    {
        m_job = std::move(job);
        QByteArray request = m_job.method + ' ' + m_job.path.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                             "Authorization: Bearer " + key + "\r\n";
        if (!m_job.body.isEmpty())
            request +=
                "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(m_job.body.size()) +
                "\r\n";
        request += "\r\n" + m_job.body;
        m_timer.start();
        m_socket.write(request);
    }

    int errors = 0;

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
                         : head.mid(lengthAt + 17, head.indexOf("\r\n", lengthAt + 2) - lengthAt - 17)
                               .trimmed()
                               .toLongLong();
        if (m_in.size() < headEnd + 4 + length)
            return;
        m_job.latencies->push_back(double(m_timer.nsecsElapsed()) / 1e6);
        const int status = head.mid(9, 3).toInt();
        if (status != m_job.expected && ++errors <= 5)
            QTextStream(stderr) << m_job.method << ' ' << m_job.path << ": " << status << ' '
                                << m_in.mid(headEnd + 4, length) << Qt::endl;
        m_in.remove(0, headEnd + 4 + length);
        m_next(this);
    }

    QTcpSocket m_socket;
    QByteArray m_in;
    Job m_job;
    QElapsedTimer m_timer;
    std::function<void(Phone*)> m_next;
};

// Runs the jobs with `inFlight` requests in flight at once, each phone its own connection.
int run(quint16 port, std::deque<Job>& jobs, int inFlight = clients)
{
    int running = 0;
    std::function<void(Phone*)> next = [&](Phone* phone) {
        if (jobs.empty()) {
            if (--running == 0)
                QCoreApplication::exit(0);
            return;
        }
        phone->send(std::move(jobs.front()));
        jobs.pop_front();
    };
    std::vector<std::unique_ptr<Phone>> phones;
    for (int i = 0; i < inFlight; ++i)
        phones.push_back(std::make_unique<Phone>(port, next));
    // All connected first: the requests then leave together.
    for (const auto& phone : phones) {
        ++running;
        next(phone.get());
    }
    QCoreApplication::exec();
    int errors = 0;
    for (const auto& phone : phones)
        errors += phone->errors;
    return errors;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // A folder may be given: on a RAM disk (/dev/shm) the figures leave out the disk's commit.
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    bench::ExhibitionSize size;
    size.cages = 999;
    size.judgesPerCage = 0; // the phones send every score
    size.jueces = 5;
    const bench::Generated files = bench::generate(folder, QStringLiteral("expo-999.mdb"), size);

    server::ShowServer show;
    if (const QString refusal = show.start({files.exhibition, files.clubs, 0, QString::fromLatin1(key)});
        !refusal.isEmpty()) {
        QTextStream(stderr) << refusal << Qt::endl;
        return 1;
    }

    std::vector<int> judged;
    {
        store::Database db = store::Database::open(files.exhibition, store::schema::exhibition());
        store::Statement birds =
            db.prepare(QStringLiteral("SELECT jaula FROM Recepcion WHERE grupo <> 'D' ORDER BY jaula"));
        while (birds.step())
            judged.push_back(int(birds.int64(0)));
    }

    std::vector<double> posts, cages, board, listings, alone;
    // One phone alone: what one score costs without waiting for others (the file's commit).
    constexpr int aloneCount = 100;
    for (int i = 0; i < aloneCount; ++i) {
        std::deque<Job> one{{"POST",
                             QStringLiteral("/api/jaulas/%1/puntuaciones").arg(judged[std::size_t(i)]),
                             QByteArray(R"({"juez":1,"puntos":[8.5,8.25,18,28,27.75]})"), 201, &alone}};
        run(show.port(), one, 1);
    }

    std::deque<Job> jobs;
    // Judge by judge over every cage, so that the 50 requests in flight are for different cages
    // and for the same ones in turn.
    for (int juez = 1; juez <= 5; ++juez)
        for (const int cage : judged)
            if (juez > 1 || cage > judged[aloneCount - 1])
                jobs.push_back(
                    {"POST", QStringLiteral("/api/jaulas/%1/puntuaciones").arg(cage),
                     QStringLiteral(R"({"juez":%1,"puntos":[8.5,8.25,18,28,27.75]})").arg(juez).toUtf8(), 201,
                     &posts});
    const std::size_t postCount = jobs.size();
    QElapsedTimer all;
    all.start();
    int errors = run(show.port(), jobs) + int(alone.size() != aloneCount);
    const QStringList lists{"/api/clasificaciones/AM", "/api/clasificaciones/CH", "/api/grupo-d/A",
                            "/api/provincias"};
    for (std::size_t i = postCount; i < std::size_t(totalRequests); ++i) {
        if (i % 4 == 0)
            jobs.push_back({"GET", QStringLiteral("/api/tablero"), {}, 200, &board});
        else if (i % 4 == 1)
            jobs.push_back({"GET", lists[qsizetype(i / 4 % 4)], {}, 200, &listings});
        else
            jobs.push_back(
                {"GET", QStringLiteral("/api/jaulas/%1").arg(judged[i % judged.size()]), {}, 200, &cages});
    }
    errors += run(show.port(), jobs);
    const double seconds = double(all.elapsed()) / 1000;

    // The board right after a score: built again from the file.
    std::vector<double> fresh;
    {
        store::Database db = store::Database::open(files.exhibition, store::schema::exhibition());
        for (int i = 0; i < 20; ++i) {
            std::deque<Job> one{{"GET", QStringLiteral("/api/tablero"), {}, 200, &fresh}};
            // Another program's write; one that leaves the value as it was leaves the file as it
            // was too, and the board would rightly not be built again.
            db.execute(QStringLiteral(
                "UPDATE Puntos SET puntos1 = CASE puntos1 WHEN 8.5 THEN 8.75 ELSE 8.5 END WHERE rowid = 1"));
            run(show.port(), one, 1);
        }
    }

    QTextStream(stdout) << QStringLiteral(
                               "%1 jaulas, 5 jueces, %2 clientes a la vez, %3 peticiones en %4 s, %5 errores")
                               .arg(size.cages)
                               .arg(clients)
                               .arg(totalRequests)
                               .arg(seconds, 0, 'f', 1)
                               .arg(errors)
                        << Qt::endl;
    print(QStringLiteral("POST puntuación, un cliente"), alone);
    print(QStringLiteral("POST puntuación"), posts);
    print(QStringLiteral("GET jaula"), cages);
    print(QStringLiteral("GET listado"), listings);
    print(QStringLiteral("GET tablero"), board);
    print(QStringLiteral("GET tablero tras un cambio"), fresh);
    return errors == 0 ? 0 : 1;
}
