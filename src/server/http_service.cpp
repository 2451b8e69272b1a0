#include "server/http_service.h"

#include "base/error.h"
#include "rules/judging/final_score.h"
#include "rules/judging/judged_cage.h"
#include "rules/listings/openings.h"
#include "rules/reception/cage_number.h"
#include "rules/records/history.h"
#include "server/responses.h"
#include "store/database.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QTimer>

namespace server
{

namespace
{

using Clock = std::chrono::steady_clock;

// Devices that made a request this recently count as connected.
constexpr auto deviceWindow = std::chrono::minutes(2);

const QByteArray sessionCookie = "sesion";

// The pages, by their address: no part of a request's path ever reaches the file system.
struct Page {
    const char* resource;
    const char* mimeType;
};
const QHash<QString, Page>& pages()
{
    static const QHash<QString, Page> all{
        {QString(), {":/paginas/tablero.html", "text/html; charset=utf-8"}},
        {QStringLiteral("puntuar"), {":/paginas/puntuar.html", "text/html; charset=utf-8"}},
        {QStringLiteral("pantalla"), {":/paginas/pantalla.html", "text/html; charset=utf-8"}},
        {QStringLiteral("estilo.css"), {":/paginas/estilo.css", "text/css; charset=utf-8"}},
        {QStringLiteral("puntuar.js"), {":/paginas/puntuar.js", "text/javascript; charset=utf-8"}},
        {QStringLiteral("tablero.js"), {":/paginas/tablero.js", "text/javascript; charset=utf-8"}},
        {QStringLiteral("pantalla.js"), {":/paginas/pantalla.js", "text/javascript; charset=utf-8"}},
        {QStringLiteral("listados.js"), {":/paginas/listados.js", "text/javascript; charset=utf-8"}},
    };
    return all;
}

std::optional<int> cageOf(const QString& text)
{
    // Only digits: "012" is cage 12 as in the windows, " 12" or "1e2" are no cage.
    if (text.isEmpty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return reception::parseCage(text);
}

// A POST from a page of the browser carries the page's origin: only the server's own pages may
// act with the steward's session. A request without one comes from no page (another program).
bool sameOrigin(const Request& request)
{
    const QByteArray origin = request.header("Origin");
    if (origin.isEmpty())
        return true;
    const QByteArray host = request.header("Host");
    return !host.isEmpty() && origin.compare("http://" + host, Qt::CaseInsensitive) == 0;
}

// The key of an "Authorization: Bearer KEY" header, the scheme in any letter case; nothing when
// the header is absent or of another scheme.
std::optional<QByteArray> bearerKey(const Request& request)
{
    const QByteArray authorization = request.header("Authorization").trimmed();
    const qsizetype blank = authorization.indexOf(' ');
    if (blank < 0 || authorization.left(blank).compare("bearer", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return authorization.mid(blank + 1).trimmed();
}

QStringList partsOf(const QString& path)
{
    QStringList parts = path.split(u'/');
    if (!parts.isEmpty() && parts.front().isEmpty())
        parts.removeFirst();
    if (parts.size() == 1 && parts.front().isEmpty()) // "/"
        parts.clear();
    return parts;
}

} // namespace

// One address of the service: its path with "*" for a variable part, the method it takes (GET
// also answers HEAD), whether it needs the key, and who answers it.
struct HttpService::Route {
    QStringList pattern;
    QByteArray method;
    bool keyed;
    void (HttpService::*answer)(const ExchangePtr&, const Parts&);

    bool matches(const Parts& parts) const
    {
        if (parts.size() != pattern.size())
            return false;
        for (qsizetype i = 0; i < parts.size(); ++i)
            if (pattern[i] != u"*" && pattern[i] != parts[i])
                return false;
        return true;
    }
};

const std::vector<HttpService::Route>& HttpService::routes()
{
    const auto path = [](const char* text) {
        return QString::fromLatin1(text).split(u'/', Qt::SkipEmptyParts);
    };
    static const std::vector<Route> all = [&] {
        std::vector<Route> table;
        for (const QString& name : pages().keys())
            table.push_back(
                {name.isEmpty() ? QStringList() : QStringList{name}, "GET", false, &HttpService::page});
        table.insert(table.end(), {
                                      {path("entrar"), "POST", false, &HttpService::enter},
                                      {path("api/exposicion"), "GET", false, &HttpService::exhibition},
                                      {path("api/jaulas/*"), "GET", true, &HttpService::cage},
                                      {path("api/jaulas/*/puntuaciones"), "POST", true, &HttpService::score},
                                      {path("api/jueces/*/pendientes"), "GET", true, &HttpService::toScore},
                                      {path("api/clasificaciones/*"), "GET", false, &HttpService::board},
                                      {path("api/grupo-d/*"), "GET", false, &HttpService::board},
                                      {path("api/provincias"), "GET", false, &HttpService::board},
                                      {path("api/tablero"), "GET", false, &HttpService::board},
                                  });
        return table;
    }();
    return all;
}

HttpService::HttpService(store::Database exhibition, const QString& key, BoardKeeper* keeper, QObject* parent)
    : QObject(parent), m_db(std::move(exhibition)), m_keeper(keeper)
{
    changeKey(key);
    auto* decay = new QTimer(this);
    decay->setInterval(1000);
    connect(decay, &QTimer::timeout, this, &HttpService::reportWrongKeys);
    decay->start();
}

HttpService::~HttpService()
{
    // Stopping the server does not drop scores already accepted: they are stored and answered.
    storePending();
}

void HttpService::changeKey(const QString& key)
{
    m_key = canonicalKey(key);
    m_session = sessionToken(m_key);
}

void HttpService::handle(const ExchangePtr& exchange)
{
    try {
        dispatch(exchange);
    } catch (const base::Error& e) {
        answerFailure(exchange, e);
    }
}

void HttpService::dispatch(const ExchangePtr& exchange)
{
    const Request& request = exchange->request();
    seen(request.peer);
    const Parts parts = partsOf(request.path);
    const auto found =
        std::find_if(routes().begin(), routes().end(), [&](const Route& r) { return r.matches(parts); });
    if (found == routes().end())
        return exchange->answer(notFound(request.path));
    const bool get = request.method == "GET" || request.method == "HEAD";
    if (found->method == "GET" ? !get : request.method != found->method)
        return exchange->answer(wrongMethod(found->method == "GET" ? "GET, HEAD" : found->method));
    if (request.method == "POST" && !sameOrigin(request))
        return exchange->answer(
            errorAnswer(QStringLiteral("Esta petición no viene de una página de la exposición."), 403));
    const Route& route = *found;
    if (!route.keyed)
        return (this->*route.answer)(exchange, parts);
    authorize(exchange, [this, exchange, parts, &route] {
        try {
            (this->*route.answer)(exchange, parts);
        } catch (const base::Error& e) {
            answerFailure(exchange, e);
        }
    });
}

void HttpService::authorize(const ExchangePtr& exchange, const Granted& granted)
{
    const Request& request = exchange->request();
    // A session is never refused for its device's wrong keys: a steward's phone keeps working
    // whoever shares its address.
    const QByteArray session = cookieValue(request.header("Cookie"), sessionCookie);
    if (!session.isEmpty() && sameKey(session, m_session))
        return granted();
    if (const std::optional<QByteArray> given = bearerKey(request))
        return checkKey(exchange, *given, granted);
    exchange->answer(errorAnswer(QStringLiteral("Escriba la clave de la exposición."), 401));
}

void HttpService::checkKey(const ExchangePtr& exchange, const QByteArray& given, const Granted& granted)
{
    const QHostAddress from = exchange->request().peer;
    const Clock::time_point now = Clock::now();
    const auto tooMany = [&](const QString& message, int seconds) {
        Response refused = errorAnswer(message, 429);
        refused.headers.append({QByteArrayLiteral("Retry-After"), QByteArray::number(seconds)});
        exchange->answer(refused);
    };
    if (const std::optional<int> wait = m_throttle.wait(from, now))
        return tooMany(waitRefusal(*wait), *wait);
    const std::optional<Clock::time_point> turn = m_throttle.turn(now);
    if (!turn)
        return tooMany(hallRefusal(int(Throttle::hallSpacing.count())), int(Throttle::hallSpacing.count()));
    const auto check = [this, exchange, from, given, granted] {
        if (sameKey(canonicalKey(QString::fromUtf8(given)), m_key)) {
            m_throttle.rightKey(from);
            granted();
            return;
        }
        m_throttle.wrongKey(from, Clock::now());
        reportWrongKeys();
        exchange->answer(errorAnswer(QStringLiteral("La clave no es correcta."), 401));
    };
    if (*turn <= now)
        return check();
    const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(*turn - now);
    QTimer::singleShot(delay, this, check);
}

void HttpService::reportWrongKeys()
{
    const int count = m_throttle.lastMinute(Clock::now());
    if (count != m_wrongKeysShown) {
        m_wrongKeysShown = count;
        emit wrongKeysChanged(count);
    }
}

void HttpService::page(const ExchangePtr& exchange, const Parts& parts)
{
    const Page& found = pages().value(parts.isEmpty() ? QString() : parts.front());
    QFile file(QString::fromLatin1(found.resource));
    file.open(QIODevice::ReadOnly);
    exchange->answer(Response{200, QByteArray(found.mimeType), file.readAll(), {}});
}

void HttpService::enter(const ExchangePtr& exchange, const Parts&)
{
    checkKey(exchange, readKeyBody(exchange->request().body), [this, exchange] {
        Response response = json(QJsonObject{{QStringLiteral("ok"), true}});
        // A session cookie: it goes when the browser closes, and a new key ends it.
        response.headers.append({QByteArrayLiteral("Set-Cookie"),
                                 sessionCookie + '=' + m_session + "; Path=/; HttpOnly; SameSite=Strict"});
        exchange->answer(response);
    });
}

void HttpService::exhibition(const ExchangePtr& exchange, const Parts&)
{
    store::Transaction reading(m_db, store::Transaction::Kind::Read);
    const QJsonObject answer =
        exhibitionJson(listings::exhibitionName(m_db), judging::ScoringRule::read(m_db).jueces);
    reading.commit();
    exchange->answer(json(answer));
}

void HttpService::cage(const ExchangePtr& exchange, const Parts& parts)
{
    const std::optional<int> number = cageOf(parts[2]);
    if (!number)
        return exchange->answer(errorAnswer(reception::invalidCageMessage(parts[2].left(20)), 404));
    exchange->answer(cageAnswer(*number));
}

Response HttpService::cageAnswer(int cage)
{
    store::Transaction reading(m_db, store::Transaction::Kind::Read); // one state for the bird and its rows
    const std::optional<judging::Paloma> bird = judging::findBird(m_db, cage);
    if (!bird)
        return errorAnswer(QStringLiteral("No hay ninguna paloma en la jaula %1.").arg(cage), 404);
    const QByteArray answer =
        cageJson(cage, *bird, judging::readCage(m_db, cage, judging::ScoringRule::read(m_db)));
    reading.commit();
    return jsonText(answer);
}

void HttpService::toScore(const ExchangePtr& exchange, const Parts& parts)
{
    bool whole = false;
    const qint64 juez = parts[2].toLongLong(&whole);
    store::Transaction reading(m_db, store::Transaction::Kind::Read);
    const int jueces = judging::ScoringRule::read(m_db).jueces;
    if (const QString refusal =
            judging::judgeRangeRefusal(whole ? std::optional<qint64>(juez) : std::nullopt, jueces);
        !refusal.isEmpty())
        return exchange->answer(errorAnswer(refusal, 409));
    QJsonArray cages;
    for (const int cage : judging::cagesToScore(m_db, juez, jueces))
        cages.append(cage);
    reading.commit();
    exchange->answer(json(QJsonObject{{QStringLiteral("juez"), juez}, {QStringLiteral("jaulas"), cages}}));
}

void HttpService::score(const ExchangePtr& exchange, const Parts& parts)
{
    const std::optional<int> number = cageOf(parts[2]);
    if (!number)
        return exchange->answer(errorAnswer(reception::invalidCageMessage(parts[2].left(20)), 404));
    std::variant<ScoreBody, QString> body = readScoreBody(exchange->request().body);
    if (const QString* malformed = std::get_if<QString>(&body))
        return exchange->answer(errorAnswer(*malformed, 400));
    // Stored once the requests already read have been read too: those that came together share
    // the commit.
    if (m_pending.empty())
        QTimer::singleShot(0, this, &HttpService::storeArrived);
    m_pending.push_back(
        PendingScore{*number, std::get<ScoreBody>(body), deviceAddress(exchange->request().peer), exchange});
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
    std::vector<Response> answers;
    std::vector<ScoreNotice> stored;
    try {
        store::Transaction together(m_db);
        for (const PendingScore& pending : batch)
            answers.push_back(storeOne(pending, stored));
        together.commit();
    } catch (const base::Error& e) {
        // The file is busy beyond the wait, or cannot be written: none of them was stored.
        emit storeFailed(e.message());
        for (const PendingScore& pending : batch)
            pending.exchange->answer(storeFailure(e));
        return;
    }
    // A phone that hung up meanwhile is not answered; its score stands.
    for (std::size_t i = 0; i < batch.size(); ++i)
        batch[i].exchange->answer(std::move(answers[i]));
    for (const ScoreNotice& notice : stored)
        emit scoreStored(notice);
}

Response HttpService::storeOne(const PendingScore& pending, std::vector<ScoreNotice>& stored)
{
    const store::OriginScope origin(m_db, records::origins::phone(pending.score.juez));
    const judging::RemoteEntry entry =
        judging::enterScore(m_db, pending.cage, pending.score.juez, pending.score.puntos);
    switch (entry.outcome) {
    case judging::RemoteEntry::Outcome::NoBird:
        return errorAnswer(entry.message, 404);
    case judging::RemoteEntry::Outcome::Conflict:
        return errorAnswer(entry.message, 409);
    case judging::RemoteEntry::Outcome::AlreadyStored:
        return json(QJsonObject{{QStringLiteral("error"), entry.message}, {QStringLiteral("guardada"), true}},
                    409);
    case judging::RemoteEntry::Outcome::ScoreRefused:
        return errorAnswer(entry.message, 400);
    case judging::RemoteEntry::Outcome::Stored:
        break;
    }
    stored.push_back(ScoreNotice{pending.cage, int(pending.score.juez),
                                 judging::totalOf(pending.score.puntos), pending.from});
    // The cage as the entry left it: no need to read it again.
    return jsonText(cageJson(pending.cage, *entry.bird, entry.cage), 201);
}

void HttpService::board(const ExchangePtr& exchange, const Parts& parts)
{
    const QString& what = parts[1];
    BoardKeeper::Part part = BoardKeeper::Part::All;
    QString name;
    if (what == u"provincias") {
        part = BoardKeeper::Part::Provinces;
    } else if (what == u"clasificaciones" || what == u"grupo-d") {
        const bool groupD = what == u"grupo-d";
        name = parts[2];
        if (!(groupD ? Board::isGroupDName(name) : Board::isClassificationName(name)))
            return exchange->answer(notFound(exchange->request().path));
        part = groupD ? BoardKeeper::Part::GroupD : BoardKeeper::Part::Classification;
    }
    QMetaObject::invokeMethod(
        m_keeper, [keeper = m_keeper, exchange, part, name] { keeper->serve(exchange, part, name); });
}

void HttpService::answerFailure(const ExchangePtr& exchange, const base::Error& error)
{
    emit storeFailed(error.message());
    exchange->answer(storeFailure(error));
}

void HttpService::seen(const QHostAddress& address)
{
    const Clock::time_point now = Clock::now();
    m_devices[deviceAddress(address)] = now;
    if (now - m_devicesPruned > std::chrono::seconds(1)) { // not at every request of a busy hall
        m_devicesPruned = now;
        for (auto i = m_devices.begin(); i != m_devices.end();)
            i = now - i.value() > deviceWindow ? m_devices.erase(i) : std::next(i);
    }
    if (int(m_devices.size()) != m_deviceCount) {
        m_deviceCount = int(m_devices.size());
        emit devicesChanged(m_deviceCount);
    }
}

} // namespace server
