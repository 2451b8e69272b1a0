// The show's server over loopback: the wiring of its routes to the rules (whose own tables are
// below), the key and its session, the board, and scores stored while other programs hold the file.

#include "http_client.h"
#include "rules/judging/final_score.h"
#include "rules/reception/cage_number.h"
#include "rules/records/closing.h"
#include "rules/records/statuses.h"
#include "server/show_server.h"
#include "store/records.h"
#include "support/failing_disk.h"
#include "support/fixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QNetworkCookieJar>
#include <QSignalSpy>
#include <QTest>
#include <thread>

using httptest::Answer;

namespace
{

const QByteArray key = "K7PXM2QR9T";
const QByteArray bearer = "Bearer " + key;
const QByteArray validScores = R"({"juez":3,"puntos":[8.5,8.25,18,28,27.75]})";

// A cage as a steward's page reads it: "cage group sex ring year score flag; judge:total ...".
QString cageSeen(const QJsonObject& cage)
{
    QStringList judges;
    for (const QJsonValue& judge : cage["jueces"].toArray())
        judges << QStringLiteral("%1:%2").arg(judge["juez"].toInt()).arg(judge["total"].toDouble());
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7; ")
               .arg(cage["jaula"].toInt())
               .arg(cage["grupo"].toString(), cage["sexo"].toString(), cage["anilla"].toString(),
                    cage["anio"].toString())
               .arg(cage["puntos"].toDouble())
               .arg(cage["termina"].toString()) +
           judges.join(u' ');
}

} // namespace

class TestServerApi : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    QString m_clubs;
    std::unique_ptr<server::ShowServer> m_server;
    QNetworkAccessManager m_net;

    quint16 port() const { return m_server->port(); }
    Answer send(const QByteArray& method, const QString& path, const QByteArray& authorization = bearer,
                const QByteArray& body = {})
    {
        return httptest::send(m_net, method, httptest::request(port(), path, authorization), body);
    }
    Answer get(const QString& path, const QByteArray& authorization = bearer)
    {
        return send("GET", path, authorization);
    }
    Answer post(const QString& path, const QByteArray& body, const QByteArray& authorization = bearer)
    {
        return send("POST", path, authorization, body);
    }
    int storedRows(const QString& where)
    {
        store::Statement rows = store::Database::open(m_path, store::schema::exhibition())
                                    .prepare("SELECT count(*) FROM Puntos WHERE " + where);
        return rows.step() ? int(rows.int64(0)) : -1;
    }

private slots:
    void initTestCase()
    {
        httptest::noProxy();
        m_clubs = m_dir.filePath("Club.mdb");
        fixtures::addClub(store::Database::create(m_clubs, store::schema::clubs()), "C001", "Club Uno", "Toledo");
    }

    // Three judges, the drop rule. Cage 1: no rows, its owner filled in; cage 2: judges 2 and 1
    // (stored in that order); cages 3 and 6: all three (6 below 3); cage 4: group D; cage 5: none;
    // cage 7 disqualified.
    void init()
    {
        m_path = m_dir.filePath("expo.mdb");
        QFile::remove(m_path);
        {
            store::Database db = store::Database::create(m_path, store::schema::exhibition());
            fixtures::setConfig(db, 3, false);
            fixtures::addBird(db, 1, "A", "M",
                              {{"anilla", "12345"}, {"año", "2021"}, {"licencia", "LC991"}, {"club", "C001"},
                               {"nombre", "Propietario Secreto"}});
            fixtures::addBird(db, 2, "A", "H");
            fixtures::addScore(db, "2", 2, 90.5);
            fixtures::addScore(db, "2", 1, 88.0);
            fixtures::addBird(db, 3, "B", "M");
            fixtures::addBird(db, 4, "D", "M", {{"categ", "A"}});
            fixtures::addBird(db, 5, "C", "H");
            fixtures::addBird(db, 6, "B", "M");
            for (int juez = 1; juez <= 3; ++juez) {
                fixtures::addScore(db, "3", juez, 87.0 + juez);
                fixtures::addScore(db, "6", juez, 80.0 + juez);
            }
            judging::recomputeFinalScores(db);
            fixtures::addBird(db, 7, "C", "H");
            records::setStatus(db, 7, {}, records::Status::Descalificada, "Ala cortada");
        }
        m_net.setCookieJar(new QNetworkCookieJar); // each test's phone starts without a session
        m_server = std::make_unique<server::ShowServer>();
        QCOMPARE(m_server->start({m_path, m_clubs, 0, QString::fromLatin1(key)}), QString());
    }

    void cleanup() { m_server.reset(); }

    // What a steward sees (a cage without owner, club nor licence, its judges in number order
    // whatever the order they were stored in; the cages a judge has to score) and each refusal: a
    // clear 4xx in Spanish. Nothing of the file changes, and the server answers the next request.
    // One row for each rule the routes apply; the rules' own tables hold their cases.
    void answers_data()
    {
        QTest::addColumn<QByteArray>("request"); // method and path
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("seen"); // the cage, the cages, or the error
        const auto row = [](const char* name, const char* request, const QByteArray& authorization,
                            const QByteArray& body, int status, const QString& seen) {
            QTest::newRow(name) << QByteArray(request) << authorization << body << status << seen;
        };
        const char* score1 = "POST /api/jaulas/1/puntuaciones";
        const QString judgeRange = "El número de juez debe ser un número entero del 1 al 3.";
        row("a cage, two of its three judges", "GET /api/jaulas/2", bearer, {}, 200, "2 A H   0 N; 1:88 2:90.5");
        row("a cage without its owner", "GET /api/jaulas/1", bearer, {}, 200, "1 A M 12345 2021 0 N; ");
        // Not group D (4), not those the judge scored (2), not those with all their judges (3, 6),
        // not a disqualified bird (7).
        row("the cages a judge has to score", "GET /api/jueces/2/pendientes", bearer, {}, 200, "[1,5]");
        row("no key", "GET /api/jaulas/1", {}, {}, 401, "Escriba la clave de la exposición.");
        row("wrong key", score1, "Bearer 482917", validScores, 401, "La clave no es correcta.");
        row("no bird", "GET /api/jaulas/9", bearer, {}, 404, "No hay ninguna paloma en la jaula 9.");
        row("sql in the cage", "POST /api/jaulas/1%20or%201=1/puntuaciones", bearer, validScores, 404,
            reception::invalidCageMessage("1 or 1=1"));
        row("broken json", score1, bearer, "{juez:3,", 400,
            "La puntuación debe enviarse como {\"juez\": número, \"puntos\": [cinco números]}.");
        row("a score out of its range", score1, bearer, R"({"juez":3,"puntos":[8,8,17,27,29.001]})", 400,
            "Puntuacion Erronea ");
        row("judge above the count", score1, bearer, R"({"juez":4,"puntos":[8,8,17,27,27]})", 409, judgeRange);
        row("cages of no judge", "GET /api/jueces/4/pendientes", bearer, {}, 409, judgeRange);
        row("judge who scored it", "POST /api/jaulas/2/puntuaciones", bearer,
            R"({"juez":2,"puntos":[8,8,17,27,27]})", 409, "El juez 2 ya tiene puntuada la jaula 2.");
        row("score sent twice", "POST /api/jaulas/2/puntuaciones", bearer, R"({"juez":1,"puntos":[8,8,17,27,28]})",
            409, "La puntuación del juez 1 en la jaula 2 ya estaba guardada.");
        row("cage with all its judges", "POST /api/jaulas/3/puntuaciones", bearer,
            R"({"juez":2,"puntos":[8,8,17,27,27]})", 409, "La jaula 3 ya tiene las puntuaciones de sus 3 jueces.");
        row("group D", "POST /api/jaulas/4/puntuaciones", bearer, validScores, 409, "El Grupo D no se Puntua ");
        row("a disqualified bird", "POST /api/jaulas/7/puntuaciones", bearer, validScores, 409,
            "Paloma descalificada: Ala cortada");
        row("a file's name", "GET /expo.mdb", {}, {}, 404, "No existe la dirección «/expo.mdb».");
        row("unknown classification", "GET /api/clasificaciones/DM", {}, {}, 404,
            "No existe la dirección «/api/clasificaciones/DM».");
        row("delete a cage", "DELETE /api/jaulas/2", bearer, {}, 405, "Esta dirección no admite ese método.");
    }
    void answers()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, authorization);
        QFETCH(QByteArray, body);
        const QString before = failing_disk::dump(m_path);
        const Answer answer = send(request.split(' ')[0], request.split(' ')[1], authorization, body);
        const QJsonObject json = answer.json().object();
        QTEST(answer.status, "status");
        QTEST(json.contains("error")    ? answer.error()
              : json.contains("jaulas") ? QJsonDocument(json["jaulas"].toArray()).toJson(QJsonDocument::Compact)
                                        : cageSeen(json),
              "seen");
        for (const char* hidden : {"Propietario Secreto", "LC991", "C001", "nombre", "licencia", "club"})
            QVERIFY2(!answer.body.contains(hidden), hidden);
        QCOMPARE(failing_disk::dump(m_path), before);
        QCOMPARE(get("/api/jaulas/1").status, 200);
    }

    // A closed show refuses a score with 423 and the file's words; its board carries the seal.
    void closedShow()
    {
        store::Database db = store::Database::open(m_path, store::schema::exhibition());
        const QString line = "Sello: " + records::closeShow(db);
        const QString before = failing_disk::dump(m_path);
        const Answer answer = post("/api/jaulas/1/puntuaciones", validScores);
        QCOMPARE(QString::number(answer.status) + ' ' + answer.error(), "423 " + store::records::closedMessage());
        QCOMPARE(failing_disk::dump(m_path), before);
        QCOMPARE(get("/api/tablero").json()["sello"].toString(), line);
    }

    // No part of a path reaches the file system: whatever it names, it is not served. And the
    // server answers while the program's own thread is busy (the organiser typing in a window).
    void pathsOutsideTheServer()
    {
        QList<int> statuses;
        std::thread phone([&] {
            for (const QByteArray target : {"/api/tablero", "/../../../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd",
                                            "/api/jaulas/../../../expo.mdb", "/..\\..\\expo.mdb"})
                statuses << httptest::rawStatus(port(), httptest::get(target));
        });
        phone.join(); // the main thread runs no event loop meanwhile
        QCOMPARE(statuses, QList<int>({200, 404, 404, 404, 404}));
    }

    // The key opens a session kept in a cookie; the cookie alone is enough afterwards, and a
    // made-up one is not. After five wrong keys from one device even the right key waits, and
    // says why, while a session opened before goes on. The session is the key's: it outlives a
    // restart of the server with the same key and ends when the organiser changes the key.
    void keyAndSession()
    {
        const auto withCookie = [this](const QByteArray& value) {
            QNetworkRequest request = httptest::request(port(), "/api/jaulas/1");
            request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
            request.setRawHeader("Cookie", value);
            return httptest::send(m_net, "GET", request).status;
        };
        const auto wrongKeys = [this](int count) {
            for (int i = 0; i < count; ++i)
                QCOMPARE(get("/api/jaulas/1", "Bearer 00000" + QByteArray::number(i)).status, 401);
        };
        const Answer wrong = post("/entrar", R"({"clave":"000000"})", {});
        QCOMPARE(wrong.status, 401);
        QVERIFY(wrong.header("Set-Cookie").isEmpty());
        // Typed as a steward would: small letters, the dash of the shown key.
        const QByteArray cookie = post("/entrar", R"({"clave":"k7pxm-2qr9t"})", {}).header("Set-Cookie");
        m_net.setCookieJar(new QNetworkCookieJar); // the session goes only where the test sends it
        QVERIFY(cookie.startsWith("sesion=") && cookie.contains("HttpOnly"));
        QVERIFY(!cookie.contains(key)); // the key itself never travels back
        const QByteArray session = cookie.left(cookie.indexOf(';'));
        QCOMPARE(withCookie(session), 200);
        QCOMPARE(withCookie("sesion=" + QByteArray(64, 'a')), 401);
        QCOMPARE(get("/api/jaulas/1").status, 200); // a right key clears the count
        wrongKeys(4);
        QCOMPARE(get("/api/jaulas/1").status, 200);
        wrongKeys(5);
        const Answer waiting = get("/api/jaulas/1");
        QCOMPARE(waiting.status, 429);
        QCOMPARE(waiting.error(), "Demasiadas claves equivocadas desde este aparato: espere 1 segundos.");
        QCOMPARE(waiting.header("Retry-After"), QByteArray("1"));
        QCOMPARE(post("/entrar", R"({"clave":"K7PXM2QR9T"})", {}).status, 429);
        QCOMPARE(withCookie(session), 200);
        QTest::qWait(1100);
        QCOMPARE(get("/api/jaulas/1").status, 200);
        m_server->stop();
        QCOMPARE(m_server->start({m_path, m_clubs, 0, QString::fromLatin1(key)}), QString());
        QCOMPARE(withCookie(session), 200);
        QCOMPARE(m_server->changeKey("OTRACLAVE2"), QString());
        QCOMPARE(withCookie(session), 401);
        QCOMPARE(get("/api/jaulas/1", "bEaReR otraclave2").status, 200);
        QCOMPARE(m_server->changeKey("corta"), "La clave debe tener de 8 a 32 letras o cifras, sin acentos.");
    }

    // Devices that change address to guess get nowhere: past twenty wrong keys in a minute from
    // all of them together, each key waits its turn, three seconds apart; the right key too.
    void wrongKeysFromManyDevices()
    {
        const auto attempt = [this](int device, const QByteArray& given) {
            httptest::RawConnection phone(port(), QStringLiteral("127.0.3.%1").arg(device));
            phone.write(httptest::get("/api/jaulas/1", "Authorization: Bearer " + given + "\r\n"));
            return phone.read(20000).status;
        };
        for (int i = 0; i < 20; ++i)
            QCOMPARE(attempt(1 + i / 5, "ADIVINO"), 401); // five each, free, from four devices
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(attempt(5, "ADIVINO"), 401); // its turn came at once
        QCOMPARE(attempt(6, key), 200);       // three seconds after the one before
        QVERIFY2(clock.elapsed() >= 2500, qPrintable(QString::number(clock.elapsed())));
    }

    // Only the server's own pages may act with a steward's session; every answer tells the
    // browser to keep it out of other pages' frames, scripts and caches.
    void otherPagesCannotAct()
    {
        QCOMPARE(post("/entrar", R"({"clave":"K7PXM2QR9T"})", {}).status, 200);
        const auto sendFrom = [this](const QByteArray& origin) {
            QNetworkRequest request = httptest::request(port(), "/api/jaulas/5/puntuaciones");
            request.setRawHeader("Origin", origin);
            return httptest::send(m_net, "POST", request, validScores);
        };
        const Answer other = sendFrom("http://127.0.0.1:" + QByteArray::number(port() + 1));
        QCOMPARE(other.status, 403);
        QCOMPARE(other.error(), "Esta petición no viene de una página de la exposición.");
        QCOMPARE(sendFrom("null").status, 403);
        QCOMPARE(sendFrom("http://127.0.0.1:" + QByteArray::number(port())).status, 201);
        QCOMPARE(other.header("X-Frame-Options") + ' ' + other.header("X-Content-Type-Options") + ' ' +
                     other.header("Referrer-Policy"),
                 "DENY nosniff no-referrer");
        QVERIFY(get("/puntuar", {}).header("Content-Security-Policy").contains("script-src 'self'"));
    }

    // Judging is blind: a classification of groups A to C lists a bird, with its owner, only once
    // every judge has scored it, the best first. A row from a phone and a row from another
    // program both move it within the board's second, and the board never writes to the file.
    void boardFollowsTheScores()
    {
        const auto rowsOf = [this](const char* name) {
            QStringList rows;
            for (const QJsonValue& row : get(QStringLiteral("/api/clasificaciones/") + name, {}).json().array())
                rows << QStringLiteral("%1:%2=%3").arg(row["puesto"].toInt()).arg(row["jaula"].toInt()).arg(
                            row["puntos"].toDouble());
            return rows.join(u' ');
        };
        QCOMPARE(rowsOf("AH") + '|' + rowsOf("AM") + '|' + rowsOf("BM"), "||1:3=89 2:6=82");
        QVERIFY(!get("/api/tablero", {}).body.contains("Propietario Secreto"));
        QCOMPARE(post("/api/jaulas/2/puntuaciones", R"({"juez":3,"puntos":[9,9,19,29,29]})").status, 201);
        const auto birds = [this] { return failing_disk::dump(m_path).split(u'\n').filter("Recepcion|"); };
        const QStringList before = birds();
        {
            store::Database window = store::Database::open(m_path, store::schema::exhibition());
            for (int juez = 1; juez <= 3; ++juez)
                fixtures::addScore(window, "5", juez, 90.0 + juez);
        }
        // Cage 2: 95 and 88 dropped, 90,5 remains; cage 5: 92.
        QTRY_COMPARE_WITH_TIMEOUT(rowsOf("AH") + '|' + rowsOf("CH"), "1:2=90.5|1:5=92", 5000);
        QCOMPARE(get("/api/tablero", {}).json()["clasificaciones"].toArray().at(5)["filas"].toArray(),
                 get("/api/clasificaciones/CH", {}).json().array());
        QCOMPARE(birds(), before); // cage 5's score is the reload's to store
    }

    // While another program writes, a cage is read at once (a read takes no write lock) without
    // its unfinished row; a phone's score for the same judge waits for the write and sees its row.
    void whileAnotherProgramWrites()
    {
        store::Database window = store::Database::open(m_path, store::schema::exhibition());
        QNetworkReply* reply = nullptr;
        {
            store::Transaction entering(window);
            fixtures::addScore(window, "1", 1, 90.0);
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(cageSeen(get("/api/jaulas/1").json().object()), "1 A M 12345 2021 0 N; ");
            QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
            reply = m_net.post(httptest::request(port(), "/api/jaulas/1/puntuaciones", bearer),
                               QByteArray(R"({"juez":1,"puntos":[8,8,17,27,27]})"));
            QTest::qWait(400); // the request reaches the server, which waits on the window's lock
            entering.commit();
        }
        const Answer answer = httptest::finish(reply);
        QCOMPARE(answer.status, 409);
        QCOMPARE(answer.error(), "El juez 1 ya tiene puntuada la jaula 1.");
        QCOMPARE(storedRows("jaula = '1'"), 1);
    }

    // Scores that arrive together are stored under one commit, each on its own, and stopping the
    // server answers every one stored: the phones whose scores are being committed when the
    // organiser stops (another program's read holds the commit back) each get the answer to their
    // own, and a refused one (cage 3 has its three judges) stops none of the others.
    void scoresSentTogether()
    {
        const QList<int> cages{3, 10, 11, 12, 13, 14, 15, 16};
        QStringList expected{"409 La jaula 3 ya tiene las puntuaciones de sus 3 jueces."};
        store::Database other = store::Database::open(m_path, store::schema::exhibition());
        for (const int cage : cages.mid(1)) {
            fixtures::addBird(other, cage, "A", "M");
            expected << QStringLiteral("201 %1").arg(cage);
        }
        auto reading = std::make_unique<store::Transaction>(other, store::Transaction::Kind::Read);
        QVERIFY(other.query("SELECT count(*) FROM Puntos").step()); // its read lock held
        std::vector<std::unique_ptr<httptest::RawConnection>> sending;
        for (const int cage : cages) {
            sending.push_back(
                std::make_unique<httptest::RawConnection>(port(), QStringLiteral("127.0.4.%1").arg(cage)));
            sending.back()->write("POST /api/jaulas/" + QByteArray::number(cage) +
                                  "/puntuaciones HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: " + bearer +
                                  "\r\nContent-Length: " + QByteArray::number(validScores.size()) + "\r\n\r\n" +
                                  validScores);
        }
        QTest::qWait(300); // the scores are read and wait for their commit
        std::thread release([&reading] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            reading.reset();
        });
        m_server->stop();
        release.join();
        QStringList answers;
        for (const auto& phone : sending) {
            const Answer answer = phone->read(3000);
            answers << QString::number(answer.status) + ' ' +
                           (answer.status == 201 ? QString::number(answer.json()["jaula"].toInt()) : answer.error());
        }
        QCOMPARE(answers, expected);
        QCOMPARE(storedRows("length(jaula) = 2"), int(cages.size()) - 1);
    }

    // Scores that cannot be committed (another program keeps the file beyond the wait) are all
    // refused, without naming the organiser's folders, and nothing of them is stored; the
    // organiser is told in full. Once the file is free they go in.
    void scoresThatCannotBeStored()
    {
        QSignalSpy told(m_server.get(), &server::ShowServer::storeFailed);
        store::Database other = store::Database::open(m_path, store::schema::exhibition());
        const QString before = failing_disk::dump(m_path);
        {
            store::Transaction holding(other);
            fixtures::addScore(other, "5", 3, 90.0); // never committed
            std::vector<QNetworkReply*> replies;
            for (const char* path : {"/api/jaulas/1/puntuaciones", "/api/jaulas/5/puntuaciones"})
                replies.push_back(m_net.post(httptest::request(port(), path, bearer), validScores));
            for (QNetworkReply* reply : replies) {
                const Answer answer = httptest::finish(reply);
                QCOMPARE(answer.status, 503);
                QCOMPARE(answer.error(), "La exposición está ocupada por otro programa: inténtelo otra vez.");
            }
        }
        QVERIFY(told.size() >= 1);
        QVERIFY(told.first().at(0).toString().contains(QDir::toNativeSeparators(m_dir.path())));
        QCOMPARE(failing_disk::dump(m_path), before);
        QCOMPARE(post("/api/jaulas/5/puntuaciones", validScores).status, 201);
    }
};

QTEST_GUILESS_MAIN(TestServerApi)
#include "test_server_api.moc"
