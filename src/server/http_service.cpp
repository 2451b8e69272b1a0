#include "server/http_service.h"

#include "rules/judging/cage_entry.h"
#include "rules/judging/final_score.h"
#include "rules/listings/openings.h"
#include "rules/reception/cage_number.h"
#include "server/api_json.h"
#include "store/error.h"

#include <QCoreApplication>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTimer>

namespace server
{

namespace
{

using Status = QHttpServerResponse::StatusCode;
using Method = QHttpServerRequest::Method;
using Clock = std::chrono::steady_clock;

// Devices that made a request this recently count as connected.
constexpr auto deviceWindow = std::chrono::minutes(2);

const QByteArray sessionCookie = "sesion";

QHttpServerResponse json(const QJsonObject& object, Status status = Status::Ok)
{
    return QHttpServerResponse(object, status);
}

void send(QHttpServerResponse response, QHttpServerResponder responder)
{
    response.setHeader("Cache-Control", "no-store");
    response.setHeader("X-Content-Type-Options", "nosniff");
    response.setHeader("Referrer-Policy", "no-referrer");
    response.write(std::move(responder));
}

QHttpServerResponse jsonText(const QByteArray& text)
{
    return QHttpServerResponse(QByteArrayLiteral("application/json"), text);
}

QHttpServerResponse error(const QString& message, Status status)
{
    return json(errorJson(message), status);
}

QHttpServerResponse notFound(const QString& path)
{
    return error(QStringLiteral("No existe la dirección «%1».").arg(path.left(200)), Status::NotFound);
}

QHttpServerResponse wrongMethod(const QByteArray& allowed)
{
    QHttpServerResponse response =
        error(QStringLiteral("Esta dirección no admite ese método."), Status::MethodNotAllowed);
    response.setHeader("Allow", allowed);
    return response;
}

QByteArray header(const QHttpServerRequest& request, const QByteArray& name)
{
    for (const auto& [key, value] : request.headers())
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

// The pages, by their address: no part of a request's path ever reaches the file system.
struct Page {
    const char* resource;
    const char* mimeType;
};
const QHash<QString, Page>& pages()
{
    static const QHash<QString, Page> all{
        {QStringLiteral("/"), {":/paginas/tablero.html", "text/html; charset=utf-8"}},
        {QStringLiteral("/puntuar"), {":/paginas/puntuar.html", "text/html; charset=utf-8"}},
        {QStringLiteral("/estilo.css"), {":/paginas/estilo.css", "text/css; charset=utf-8"}},
        {QStringLiteral("/puntuar.js"), {":/paginas/puntuar.js", "text/javascript; charset=utf-8"}},
        {QStringLiteral("/tablero.js"), {":/paginas/tablero.js", "text/javascript; charset=utf-8"}},
    };
    return all;
}

QHttpServerResponse page(const Page& page)
{
    QFile file(QString::fromLatin1(page.resource));
    file.open(QIODevice::ReadOnly);
    return QHttpServerResponse(QByteArray(page.mimeType), file.readAll());
}

std::optional<int> cageOf(const QString& text)
{
    // Only digits: "012" is cage 12 as in the windows, " 12" or "1e2" are no cage.
    if (text.isEmpty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return reception::parseCage(text);
}

} // namespace

HttpService::HttpService(store::Database exhibition, store::Database clubs, const QString& key,
                         QObject* parent)
    : QAbstractHttpServer(parent), m_db(std::move(exhibition)), m_clubs(std::move(clubs)),
      m_key(key.toUtf8()), m_session(drawSessionToken())
{
    m_clubRs = m_clubs.openRecordset(QStringLiteral("select * from club "));
}

HttpService::~HttpService()
{
    // Stopping the server does not drop scores already accepted: they are stored and answered.
    storePending();
}

bool HttpService::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    if (std::optional<QHttpServerResponse> response = answer(request, socket))
        send(std::move(*response), makeResponder(request, socket));
    return true;
}

void HttpService::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    notFound(request.url().path()).write(makeResponder(request, socket));
}

std::optional<QHttpServerResponse> HttpService::answer(const QHttpServerRequest& request, QTcpSocket* socket)
{
    seen(request.remoteAddress());
    if (request.body().size() > maxBodyBytes)
        return error(QStringLiteral("La petición es demasiado grande."), Status::PayloadTooLarge);
    const QString path = request.url().path();
    QStringList parts = path.split(u'/');
    if (!parts.isEmpty() && parts.front().isEmpty())
        parts.removeFirst();
    try {
        return route(request, socket, parts);
    } catch (const base::Error& e) {
        // The file is busy beyond the wait, or cannot be written: nothing was stored.
        return error(e.message(), Status::ServiceUnavailable);
    }
}

std::optional<QHttpServerResponse> HttpService::route(const QHttpServerRequest& request, QTcpSocket* socket,
                                                      const QStringList& parts)
{
    const QString path = request.url().path();
    const Method method = request.method();
    if (const auto found = pages().constFind(path); found != pages().cend()) {
        if (method != Method::Get && method != Method::Head)
            return wrongMethod("GET, HEAD");
        return page(*found);
    }
    if (path == u"/entrar") {
        if (method != Method::Post)
            return wrongMethod("POST");
        return enter(request);
    }
    if (parts.size() < 2 || parts[0] != u"api")
        return notFound(path);

    const QString& what = parts[1];
    if (what == u"exposicion" && parts.size() == 2) {
        if (method != Method::Get)
            return wrongMethod("GET");
        return json(exhibitionJson(listings::exhibitionName(m_db), judging::ScoringRule::read(m_db).jueces));
    }
    if (what == u"jaulas" && (parts.size() == 3 || (parts.size() == 4 && parts[3] == u"puntuaciones"))) {
        const bool scores = parts.size() == 4;
        if (method != (scores ? Method::Post : Method::Get))
            return wrongMethod(scores ? "POST" : "GET");
        if (auto refused = refuseWithoutKey(request))
            return std::move(*refused);
        const std::optional<int> number = cageOf(parts[2]);
        if (!number)
            return error(reception::invalidCageMessage(parts[2].left(20)), Status::NotFound);
        if (scores)
            return queueScore(request, socket, *number);
        return cageAnswer(*number);
    }
    if ((parts.size() == 3 && (what == u"clasificaciones" || what == u"grupo-d")) ||
        (parts.size() == 2 && (what == u"provincias" || what == u"tablero"))) {
        if (method != Method::Get)
            return wrongMethod("GET");
        if (parts.size() == 3 &&
            !(what == u"grupo-d" ? Board::isGroupDName(parts[2]) : Board::isClassificationName(parts[2])))
            return notFound(path);
        const Board& results = board();
        if (what == u"tablero")
            return jsonText(results.all());
        if (what == u"provincias")
            return jsonText(results.provinces());
        const std::optional<QByteArray> rows =
            what == u"grupo-d" ? results.groupD(parts[2]) : results.classification(parts[2]);
        return rows ? jsonText(*rows) : notFound(path);
    }
    return notFound(path);
}

std::optional<QHttpServerResponse> HttpService::refuseWithoutKey(const QHttpServerRequest& request)
{
    const QHostAddress from = request.remoteAddress();
    if (const std::optional<int> wait = m_throttle.wait(from, Clock::now())) {
        QHttpServerResponse refused = error(waitRefusal(*wait), Status::TooManyRequests);
        refused.setHeader("Retry-After", QByteArray::number(*wait));
        return refused;
    }
    const QByteArray authorization = header(request, "Authorization");
    if (authorization.startsWith("Bearer ")) {
        if (sameKey(authorization.mid(7).trimmed(), m_key)) {
            m_throttle.rightKey(from);
            return std::nullopt;
        }
        m_throttle.wrongKey(from, Clock::now());
        return error(QStringLiteral("La clave no es correcta."), Status::Unauthorized);
    }
    const QByteArray session = cookieValue(header(request, "Cookie"), sessionCookie);
    if (!session.isEmpty() && sameKey(session, m_session))
        return std::nullopt;
    return error(QStringLiteral("Escriba la clave de la exposición."), Status::Unauthorized);
}

QHttpServerResponse HttpService::enter(const QHttpServerRequest& request)
{
    const QHostAddress from = request.remoteAddress();
    if (const std::optional<int> wait = m_throttle.wait(from, Clock::now())) {
        QHttpServerResponse refused = error(waitRefusal(*wait), Status::TooManyRequests);
        refused.setHeader("Retry-After", QByteArray::number(*wait));
        return refused;
    }
    if (!sameKey(readKeyBody(request.body()), m_key)) {
        m_throttle.wrongKey(from, Clock::now());
        return error(QStringLiteral("La clave no es correcta."), Status::Unauthorized);
    }
    m_throttle.rightKey(from);
    QHttpServerResponse response = json(QJsonObject{{QStringLiteral("ok"), true}});
    // A session cookie: it goes when the browser closes, and a new server draws a new session.
    response.setHeader("Set-Cookie", sessionCookie + '=' + m_session + "; Path=/; HttpOnly; SameSite=Strict");
    return response;
}

QHttpServerResponse HttpService::cageAnswer(int cage)
{
    store::Transaction reading(m_db); // one state of the file for the bird and its rows
    const std::optional<judging::Paloma> bird = judging::palomaEnJaula(m_db, cage);
    if (!bird)
        return error(QStringLiteral("No hay ninguna paloma en la jaula %1.").arg(cage), Status::NotFound);
    const QJsonObject answer = cageJson(cage, *bird, judging::puntuacionesJaula(m_db, cage));
    reading.commit();
    return json(answer);
}

std::optional<QHttpServerResponse> HttpService::queueScore(const QHttpServerRequest& request,
                                                           QTcpSocket* socket, int cage)
{
    std::variant<ScoreBody, QString> body = readScoreBody(request.body());
    if (const QString* malformed = std::get_if<QString>(&body))
        return error(*malformed, Status::BadRequest);
    // Stored once the requests already read have been read too: those that came together share
    // the commit.
    if (m_pending.empty())
        QTimer::singleShot(0, this, &HttpService::storeArrived);
    m_pending.push_back(PendingScore{cage, std::get<ScoreBody>(body), deviceAddress(request.remoteAddress()),
                                     makeResponder(request, socket), socket});
    return std::nullopt;
}

void HttpService::storeArrived()
{
    // The requests that reached the machine while the last commit synced the disk are read
    // first: their scores join this commit instead of waiting for one of their own. No new timer
    // starts meanwhile, since scores are waiting.
    QCoreApplication::processEvents();
    storePending();
}

void HttpService::storePending()
{
    if (m_pending.empty())
        return;
    std::vector<PendingScore> batch;
    batch.swap(m_pending);
    std::vector<QHttpServerResponse> answers;
    std::vector<ScoreNotice> stored;
    try {
        store::Transaction together(m_db);
        for (const PendingScore& pending : batch)
            answers.push_back(storeOne(pending, stored));
        together.commit();
    } catch (const base::Error& e) {
        // The file is busy beyond the wait, or cannot be written: none of them was stored.
        answers.clear();
        stored.clear();
        for (std::size_t i = 0; i < batch.size(); ++i)
            answers.push_back(error(e.message(), Status::ServiceUnavailable));
    }
    m_ownWrites += qint64(stored.size());
    for (std::size_t i = 0; i < batch.size(); ++i) {
        // A phone that hung up meanwhile has no socket left to answer; its score stands.
        if (batch[i].socket && batch[i].socket->state() == QAbstractSocket::ConnectedState)
            send(std::move(answers[i]), std::move(batch[i].responder));
    }
    for (const ScoreNotice& notice : stored)
        emit scoreStored(notice);
}

QHttpServerResponse HttpService::storeOne(const PendingScore& pending, std::vector<ScoreNotice>& stored)
{
    const judging::RemoteEntry entry =
        judging::anotarPuntuacion(m_db, pending.cage, pending.score.juez, pending.score.puntos);
    switch (entry.outcome) {
    case judging::RemoteEntry::Outcome::NoBird:
        return error(entry.message, Status::NotFound);
    case judging::RemoteEntry::Outcome::Conflict:
        return error(entry.message, Status::Conflict);
    case judging::RemoteEntry::Outcome::ScoreRefused:
        return error(entry.message, Status::BadRequest);
    case judging::RemoteEntry::Outcome::Stored:
        break;
    }
    stored.push_back(ScoreNotice{pending.cage, int(pending.score.juez),
                                 judging::totalOf(pending.score.puntos), pending.from});
    const QHttpServerResponse cage = cageAnswer(pending.cage);
    return QHttpServerResponse(QByteArray("application/json"), cage.data(), Status::Created);
}

const Board& HttpService::board()
{
    // data_version moves when another connection (the windows, another program) commits; this
    // connection's own writes are counted apart.
    store::Statement version = m_db.prepare(QStringLiteral("PRAGMA data_version"));
    const qint64 theirs = version.step() ? version.int64(0) : 0;
    m_board.update(m_db, m_clubRs, (theirs << 32) + m_ownWrites);
    return m_board;
}

void HttpService::seen(const QHostAddress& address)
{
    const Clock::time_point now = Clock::now();
    m_devices[deviceAddress(address)] = now;
    for (auto i = m_devices.begin(); i != m_devices.end();)
        i = now - i.value() > deviceWindow ? m_devices.erase(i) : std::next(i);
    if (int(m_devices.size()) != m_deviceCount) {
        m_deviceCount = int(m_devices.size());
        emit devicesChanged(m_deviceCount);
    }
}

} // namespace server
