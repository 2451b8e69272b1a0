// The show's server over loopback: its answers to the phones, what it stores, what it refuses
// with the file left as it was, and the rows that many devices and the judging window send at once.

#include "http_client.h"
#include "rules/judging/judged_cage.h"
#include "rules/judging/final_score.h"
#include "rules/judging/judge_rows.h"
#include "rules/reception/cage_number.h"
#include "server/show_server.h"
#include "store/error.h"
#include "support/fixtures.h"

#include <QDir>
#include <QNetworkCookieJar>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <set>
#include <thread>

using httptest::Answer;

namespace
{

const QByteArray key = "K7PXM2QR9T";
const QByteArray bearer = "Bearer " + key;

// Every row of a table, in store order, as text: what "nothing stored" is checked against.
QString dump(const QString& path, const QString& table)
{
    store::Database db = store::Database::open(path, store::schema::exhibition());
    store::Statement rows = db.prepare(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
    QStringList lines;
    while (rows.step()) {
        QStringList values;
        for (int c = 0; c < rows.columnCount(); ++c)
            values << (rows.isNull(c) ? QStringLiteral("NULL") : rows.text(c));
        lines << values.join(u'|');
    }
    return lines.join(u'\n');
}

QByteArray validScores()
{
    return R"({"juez":3,"puntos":[8.5,8.25,18,28,27.75]})";
}

} // namespace

class TestServerApi : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_clubs;
    std::unique_ptr<server::ShowServer> m_server;
    QNetworkAccessManager m_net;

    quint16 port() const { return m_server->port(); }
    Answer get(const QString& path, const QByteArray& authorization = bearer)
    {
        return httptest::send(m_net, "GET", httptest::request(port(), path, authorization));
    }
    Answer post(const QString& path, const QByteArray& body, const QByteArray& authorization = bearer)
    {
        return httptest::send(m_net, "POST", httptest::request(port(), path, authorization), body);
    }

    // Three judges. Cage 1: no rows yet, the owner's details filled in; cage 2: judges 2 and 1
    // (stored in that order); cages 3 and 6: all three (6 below 3); cage 4: group D; cage 5: no
    // rows.
    void buildExhibition(const QString& path)
    {
        store::Database db = store::Database::create(path, store::schema::exhibition());
        fixtures::setConfig(db, 3, false);
        fixtures::addBird(db, 1, QStringLiteral("A"), QStringLiteral("M"),
                          {{QStringLiteral("anilla"), QStringLiteral("12345")},
                           {QStringLiteral("año"), QStringLiteral("2021")},
                           {QStringLiteral("licencia"), QStringLiteral("LC991")},
                           {QStringLiteral("club"), QStringLiteral("C001")},
                           {QStringLiteral("nombre"), QStringLiteral("Propietario Secreto")}});
        fixtures::addBird(db, 2, QStringLiteral("A"), QStringLiteral("H"));
        fixtures::addScore(db, QStringLiteral("2"), 2, 90.5);
        fixtures::addScore(db, QStringLiteral("2"), 1, 88.0);
        fixtures::addBird(db, 3, QStringLiteral("B"), QStringLiteral("M"));
        for (int juez = 1; juez <= 3; ++juez)
            fixtures::addScore(db, QStringLiteral("3"), juez, 87.0 + juez);
        fixtures::addBird(db, 4, QStringLiteral("D"), QStringLiteral("M"),
                          {{QStringLiteral("categ"), QStringLiteral("A")}});
        fixtures::addBird(db, 5, QStringLiteral("C"), QStringLiteral("H"));
        fixtures::addBird(db, 6, QStringLiteral("B"), QStringLiteral("M"));
        for (int juez = 1; juez <= 3; ++juez)
            fixtures::addScore(db, QStringLiteral("6"), juez, 80.0 + juez);
        judging::recomputeFinalScores(db);
    }

private slots:
    void initTestCase()
    {
        httptest::noProxy();
        QVERIFY(m_dir.isValid());
        m_clubs = m_dir.filePath(QStringLiteral("Club.mdb"));
        store::Database clubs = store::Database::create(m_clubs, store::schema::clubs());
        fixtures::addClub(clubs, QStringLiteral("C001"), QStringLiteral("Club Uno"),
                          QStringLiteral("Toledo"));
    }

    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("expo.mdb"));
        QFile::remove(m_path);
        buildExhibition(m_path);
        m_net.setCookieJar(new QNetworkCookieJar); // each test's phone starts without a session
        m_server = std::make_unique<server::ShowServer>();
        QCOMPARE(m_server->start({m_path, m_clubs, 0, QString::fromLatin1(key)}), QString());
        QVERIFY(m_server->running());
    }

    void cleanup() { m_server.reset(); }

    // What a steward sees of a cage: the bird without owner, club nor licence, its judges in
    // number order whatever the order they were stored in, and the score they give.
    void cageForTheSteward()
    {
        const Answer cage = get(QStringLiteral("/api/jaulas/2"));
        QCOMPARE(cage.status, 200);
        const QJsonObject bird = cage.json().object();
        QCOMPARE(bird.value(QStringLiteral("jaula")).toInt(), 2);
        QCOMPARE(bird.value(QStringLiteral("grupo")).toString(), QStringLiteral("A"));
        QCOMPARE(bird.value(QStringLiteral("sexo")).toString(), QStringLiteral("H"));
        const QJsonArray judges = bird.value(QStringLiteral("jueces")).toArray();
        QCOMPARE(judges.size(), 2);
        QCOMPARE(judges[0].toObject().value(QStringLiteral("juez")).toInt(), 1);
        QCOMPARE(judges[0].toObject().value(QStringLiteral("total")).toDouble(), 88.0);
        QCOMPARE(judges[1].toObject().value(QStringLiteral("juez")).toInt(), 2);
        QCOMPARE(judges[1].toObject().value(QStringLiteral("puntos")).toArray()[4].toDouble(), 30.5);
        // Dropping the highest and the lowest of two judges leaves nothing; two of three: not finished.
        QCOMPARE(bird.value(QStringLiteral("puntos")).toDouble(), 0.0);
        QCOMPARE(bird.value(QStringLiteral("termina")).toString(), QStringLiteral("N"));

        const Answer blind = get(QStringLiteral("/api/jaulas/1"));
        QCOMPARE(blind.status, 200);
        for (const char* hidden : {"Propietario Secreto", "LC991", "C001", "nombre", "licencia", "club"})
            QVERIFY2(!blind.body.contains(hidden), hidden);
        QCOMPARE(blind.json().object().value(QStringLiteral("anilla")).toString(), QStringLiteral("12345"));
        QCOMPARE(blind.json().object().value(QStringLiteral("anio")).toString(), QStringLiteral("2021"));
    }

    // A row sent by a phone is stored field for field as the judging window stores the same row,
    // and the bird's score and flag as the reception reload computes them from its rows.
    void storedAsTheWindowStores()
    {
        const QString windowCopy = m_dir.filePath(QStringLiteral("ventana.mdb"));
        QFile::remove(windowCopy);
        QVERIFY(QFile::copy(m_path, windowCopy));

        const Answer stored = post(QStringLiteral("/api/jaulas/2/puntuaciones"),
                                   R"({"juez":3,"puntos":[8.5,8.25,18.125,28,27.75]})");
        QCOMPARE(stored.status, 201);
        QCOMPARE(stored.json(), get(QStringLiteral("/api/jaulas/2")).json());
        QCOMPARE(stored.json().object().value(QStringLiteral("termina")).toString(), QStringLiteral("S"));

        {
            store::Database window = store::Database::open(windowCopy, store::schema::exhibition());
            store::Recordset puntos; // the window's PuntosRs
            judging::JudgeScores row;
            row.juez = 3;
            row.puntos = {8.5, 8.25, 18.125, 28, 27.75};
            row.puntost = judging::totalOf(row.puntos);
            judging::storeJudgeRow(window, puntos, 2, judging::EntryMode::New, row, QStringLiteral("A "));
            judging::recomputeFinalScores(window);
        }
        m_server->stop();
        QCOMPARE(dump(m_path, QStringLiteral("Puntos")), dump(windowCopy, QStringLiteral("Puntos")));
        // The reload gives every bird its score; the phone's row gives cage 2 its own at once.
        const QString cage2 = QStringLiteral("Recepcion WHERE jaula = 2");
        QCOMPARE(dump(m_path, cage2), dump(windowCopy, cage2));
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");

        const QString noKey = QStringLiteral("Escriba la clave de la exposición.");
        const QString wrongKey = QStringLiteral("La clave no es correcta.");
        const QString malformed = QStringLiteral(
            "La puntuación debe enviarse como {\"juez\": número, \"puntos\": [cinco números]}.");
        const QString judgeRange = QStringLiteral("El número de juez debe ser un número entero del 1 al 3.");
        const QString wrongMethod = QStringLiteral("Esta dirección no admite ese método.");
        const QString scores = QStringLiteral("/api/jaulas/1/puntuaciones");

        QTest::newRow("no key") << QByteArray("GET") << "/api/jaulas/1" << QByteArray() << QByteArray() << 401
                                << noKey;
        QTest::newRow("wrong key") << QByteArray("GET") << "/api/jaulas/1" << QByteArray("Bearer 482917")
                                   << QByteArray() << 401 << wrongKey;
        QTest::newRow("key with a digit more")
            << QByteArray("GET") << "/api/jaulas/1" << QByteArray("Bearer K7PXM2QR9TX") << QByteArray() << 401
            << wrongKey;
        QTest::newRow("key's first digits") << QByteArray("GET") << "/api/jaulas/1"
                                            << QByteArray("Bearer 4829") << QByteArray() << 401 << wrongKey;
        QTest::newRow("score without key")
            << QByteArray("POST") << scores << QByteArray() << validScores() << 401 << noKey;
        QTest::newRow("score with wrong key") << QByteArray("POST") << scores << QByteArray("Bearer 111111")
                                              << validScores() << 401 << wrongKey;
        QTest::newRow("no bird") << QByteArray("GET") << "/api/jaulas/9" << bearer << QByteArray() << 404
                                 << "No hay ninguna paloma en la jaula 9.";
        QTest::newRow("score for no bird") << QByteArray("POST") << "/api/jaulas/9/puntuaciones" << bearer
                                           << validScores() << 404 << "No hay ninguna paloma en la jaula 9.";
        QTest::newRow("cage not a number") << QByteArray("GET") << "/api/jaulas/abc" << bearer << QByteArray()
                                           << 404 << reception::invalidCageMessage(QStringLiteral("abc"));
        QTest::newRow("cage 1000") << QByteArray("GET") << "/api/jaulas/1000" << bearer << QByteArray() << 404
                                   << reception::invalidCageMessage(QStringLiteral("1000"));
        QTest::newRow("sql in the cage")
            << QByteArray("POST") << "/api/jaulas/1%20or%201=1/puntuaciones" << bearer << validScores() << 404
            << reception::invalidCageMessage(QStringLiteral("1 or 1=1"));
        QTest::newRow("sql in the judge")
            << QByteArray("POST") << scores << bearer
            << QByteArray(R"({"juez":"1; DELETE FROM Puntos","puntos":[8,8,17,27,27]})") << 400 << malformed;
        QTest::newRow("broken json") << QByteArray("POST") << scores << bearer << QByteArray("{juez:3,")
                                     << 400 << malformed;
        QTest::newRow("json array") << QByteArray("POST") << scores << bearer
                                    << QByteArray("[3,8,8,17,27,27]") << 400 << malformed;
        QTest::newRow("texts for scores")
            << QByteArray("POST") << scores << bearer
            << QByteArray(R"({"juez":3,"puntos":["8,5","8","17","27","27"]})") << 400 << malformed;
        QTest::newRow("four scores") << QByteArray("POST") << scores << bearer
                                     << QByteArray(R"({"juez":3,"puntos":[8,8,17,27]})") << 400 << malformed;
        QTest::newRow("six scores") << QByteArray("POST") << scores << bearer
                                    << QByteArray(R"({"juez":3,"puntos":[8,8,17,27,27,1]})") << 400
                                    << malformed;
        QTest::newRow("judge 1.5") << QByteArray("POST") << scores << bearer
                                   << QByteArray(R"({"juez":1.5,"puntos":[8,8,17,27,27]})") << 400
                                   << malformed;
        QTest::newRow("no judge") << QByteArray("POST") << scores << bearer
                                  << QByteArray(R"({"puntos":[8,8,17,27,27]})") << 400 << malformed;
        QTest::newRow("score sent twice") << QByteArray("POST") << "/api/jaulas/2/puntuaciones" << bearer
                                          << QByteArray(R"({"juez":1,"puntos":[8,8,17,27,28]})") << 409
                                          << "La puntuación del juez 1 en la jaula 2 ya estaba guardada.";
        QTest::newRow("cages of no judge") << QByteArray("GET") << "/api/jueces/4/pendientes" << bearer
                                           << QByteArray() << 409 << judgeRange;
        QTest::newRow("cages to score without key")
            << QByteArray("GET") << "/api/jueces/1/pendientes" << QByteArray() << QByteArray() << 401 << noKey;
        QTest::newRow("first score below")
            << QByteArray("POST") << scores << bearer
            << QByteArray(R"({"juez":3,"puntos":[7.99,8,17,27,27]})") << 400 << "Puntuacion Erronea ";
        QTest::newRow("last score above")
            << QByteArray("POST") << scores << bearer
            << QByteArray(R"({"juez":3,"puntos":[8,8,17,27,29.001]})") << 400 << "Puntuacion Erronea ";
        QTest::newRow("third score above")
            << QByteArray("POST") << scores << bearer << QByteArray(R"({"juez":3,"puntos":[9,9,19.5,29,29]})")
            << 400 << "Puntuacion Erronea ";
        QTest::newRow("judge 0") << QByteArray("POST") << scores << bearer
                                 << QByteArray(R"({"juez":0,"puntos":[8,8,17,27,27]})") << 409 << judgeRange;
        QTest::newRow("judge above the count")
            << QByteArray("POST") << scores << bearer << QByteArray(R"({"juez":4,"puntos":[8,8,17,27,27]})")
            << 409 << judgeRange;
        QTest::newRow("judge who scored it") << QByteArray("POST") << "/api/jaulas/2/puntuaciones" << bearer
                                             << QByteArray(R"({"juez":2,"puntos":[8,8,17,27,27]})") << 409
                                             << "El juez 2 ya tiene puntuada la jaula 2.";
        QTest::newRow("cage with all its judges")
            << QByteArray("POST") << "/api/jaulas/3/puntuaciones" << bearer
            << QByteArray(R"({"juez":2,"puntos":[8,8,17,27,27]})") << 409
            << "La jaula 3 ya tiene las puntuaciones de sus 3 jueces.";
        QTest::newRow("group D") << QByteArray("POST") << "/api/jaulas/4/puntuaciones" << bearer
                                 << validScores() << 409 << "El Grupo D no se Puntua ";
        QTest::newRow("unknown route") << QByteArray("GET") << "/api/nada" << QByteArray() << QByteArray()
                                       << 404 << QString::fromUtf8("No existe la dirección «/api/nada».");
        QTest::newRow("a file's name") << QByteArray("GET") << "/expo.mdb" << QByteArray() << QByteArray()
                                       << 404 << QString::fromUtf8("No existe la dirección «/expo.mdb».");
        QTest::newRow("delete a cage")
            << QByteArray("DELETE") << "/api/jaulas/2" << bearer << QByteArray() << 405 << wrongMethod;
        QTest::newRow("put a score") << QByteArray("PUT") << "/api/jaulas/1/puntuaciones" << bearer
                                     << validScores() << 405 << wrongMethod;
        QTest::newRow("post the board")
            << QByteArray("POST") << "/api/tablero" << QByteArray() << QByteArray() << 405 << wrongMethod;
        QTest::newRow("post a page") << QByteArray("POST") << "/puntuar" << QByteArray() << validScores()
                                     << 405 << wrongMethod;
        QTest::newRow("unknown classification")
            << QByteArray("GET") << "/api/clasificaciones/DM" << QByteArray() << QByteArray() << 404
            << QString::fromUtf8("No existe la dirección «/api/clasificaciones/DM».");
        QTest::newRow("unknown category")
            << QByteArray("GET") << "/api/grupo-d/F" << QByteArray() << QByteArray() << 404
            << QString::fromUtf8("No existe la dirección «/api/grupo-d/F».");
    }

    // A clear 4xx in Spanish, nothing of the file changed, and the server answers the next request.
    void refused()
    {
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, authorization);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, message);

        const QString before =
            dump(m_path, QStringLiteral("Puntos")) + dump(m_path, QStringLiteral("Recepcion"));
        const Answer answer =
            httptest::send(m_net, method, httptest::request(port(), path, authorization), body);
        QCOMPARE(answer.status, status);
        QCOMPARE(answer.error(), message);
        QCOMPARE(dump(m_path, QStringLiteral("Puntos")) + dump(m_path, QStringLiteral("Recepcion")), before);
        QCOMPARE(get(QStringLiteral("/api/jaulas/1")).status, 200);
    }

    void pathsOutsideTheServer_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("parent folders") << QByteArray("/../../../../etc/passwd");
        QTest::newRow("encoded dots") << QByteArray("/%2e%2e/%2e%2e/etc/passwd");
        QTest::newRow("through the api") << QByteArray("/api/jaulas/../../../expo.mdb");
        QTest::newRow("through a page") << QByteArray("/puntuar/../../Club.mdb");
        QTest::newRow("backslashes") << QByteArray("/..\\..\\expo.mdb");
    }

    // No part of a path reaches the file system: whatever it names, it is not served.
    void pathsOutsideTheServer()
    {
        QFETCH(QByteArray, target);
        const int status = httptest::rawStatus(
            port(), "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
        QCOMPARE(status, 404);
        QCOMPARE(get(QStringLiteral("/")).status, 200);
    }

    // The key opens a session kept in a cookie; the cookie alone is enough afterwards, and a
    // made-up one is not. The session is the key's: it outlives a restart of the server with the
    // same key and ends when the organiser changes the key.
    void sessionCookie()
    {
        const Answer wrong = post(QStringLiteral("/entrar"), R"({"clave":"000000"})", {});
        QCOMPARE(wrong.status, 401);
        QVERIFY(wrong.header("Set-Cookie").isEmpty());

        // Typed as a steward would: small letters, the dash of the shown key.
        const Answer entered = post(QStringLiteral("/entrar"), R"({"clave":"k7pxm-2qr9t"})", {});
        QCOMPARE(entered.status, 200);
        const QByteArray cookie = entered.header("Set-Cookie");
        QVERIFY(cookie.startsWith("sesion="));
        QVERIFY(cookie.contains("HttpOnly"));
        QVERIFY(!cookie.contains(key)); // the key itself never travels back

        const auto withCookie = [this](const QByteArray& value) {
            QNetworkRequest request = httptest::request(port(), QStringLiteral("/api/jaulas/1"));
            request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
            request.setRawHeader("Cookie", value);
            return httptest::send(m_net, "GET", request).status;
        };
        const QByteArray session = cookie.left(cookie.indexOf(';'));
        QCOMPARE(withCookie(session), 200);
        QCOMPARE(withCookie("sesion=" + QByteArray(64, 'a')), 401);
        m_server->stop();
        QCOMPARE(m_server->start({m_path, m_clubs, 0, QString::fromLatin1(key)}), QString());
        QCOMPARE(withCookie(session), 200);
        QCOMPARE(m_server->changeKey(QStringLiteral("OTRACLAVE2")), QString());
        QCOMPARE(withCookie(session), 401);
        QCOMPARE(get(QStringLiteral("/api/jaulas/1"), "bEaReR otraclave2").status, 200);
        QCOMPARE(m_server->changeKey(QStringLiteral("corta")),
                 QStringLiteral("La clave debe tener de 8 a 32 letras o cifras, sin acentos."));
    }

    // After five wrong keys from one device even the right key waits, and says why; a phone that
    // entered before keeps working from the same address.
    void wrongKeysSlowDown()
    {
        QNetworkAccessManager steward;
        QCOMPARE(httptest::send(steward, "POST", httptest::request(port(), QStringLiteral("/entrar")),
                                R"({"clave":"K7PXM2QR9T"})")
                     .status,
                 200);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(get(QStringLiteral("/api/jaulas/1"), "Bearer 00000" + QByteArray::number(i)).status,
                     401);
        QCOMPARE(get(QStringLiteral("/api/jaulas/1")).status, 200); // a right key clears the count
        for (int i = 0; i < 5; ++i)
            QCOMPARE(get(QStringLiteral("/api/jaulas/1"), "Bearer 00000" + QByteArray::number(i)).status,
                     401);
        const Answer waiting = get(QStringLiteral("/api/jaulas/1"));
        QCOMPARE(waiting.status, 429);
        QCOMPARE(waiting.error(),
                 QStringLiteral("Demasiadas claves equivocadas desde este aparato: espere 1 segundos."));
        QCOMPARE(waiting.header("Retry-After"), QByteArray("1"));
        const Answer entering = post(QStringLiteral("/entrar"), R"({"clave":"K7PXM2QR9T"})", {});
        QCOMPARE(entering.status, 429);
        QCOMPARE(httptest::send(steward, "GET", httptest::request(port(), QStringLiteral("/api/jaulas/1"))).status,
                 200);
        QTest::qWait(1100);
        QCOMPARE(get(QStringLiteral("/api/jaulas/1")).status, 200);
        // A wrong key after the wait starts it again, twice as long.
        QCOMPARE(get(QStringLiteral("/api/jaulas/1"), "Bearer 999999").status, 401);
        QCOMPARE(get(QStringLiteral("/api/jaulas/1")).status, 200);
    }

    // Devices that change address to guess get nowhere: past twenty wrong keys in a minute from
    // all of them together, each key waits its turn, three seconds apart, and the organiser is
    // told how many came. The right key still gets in, in its turn.
    void wrongKeysFromManyDevices()
    {
        QSignalSpy told(m_server.get(), &server::ShowServer::wrongKeysChanged);
        const auto attempt = [this](int device, const QByteArray& given) {
            httptest::RawConnection phone(port(), QStringLiteral("127.0.3.%1").arg(device));
            phone.write(httptest::get("/api/jaulas/1", "Authorization: Bearer " + given + "\r\n"));
            return phone.read(20000).status;
        };
        for (int device = 1; device <= 20; ++device)
            QCOMPARE(attempt(device, "ADIVINO" + QByteArray::number(device)), 401);
        QTRY_VERIFY(!told.isEmpty() && told.last().at(0).toInt() == 20);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(attempt(21, "ADIVINO21"), 401); // its turn came at once
        QCOMPARE(attempt(22, key), 200);         // three seconds after the one before
        QVERIFY2(clock.elapsed() >= 2500, qPrintable(QString::number(clock.elapsed())));
        QTRY_VERIFY(told.last().at(0).toInt() == 21);
        QCOMPARE(server::wrongKeysLine(21), QStringLiteral("21 claves equivocadas en el último minuto"));
    }

    // Judging is blind: a classification of groups A to C lists a bird, with its owner, only once
    // every judge has scored it. A row from a phone and a row from another program both move it
    // within the board's second, and the board never writes to the file.
    void boardFollowsTheScores()
    {
        const auto rowsOf = [this](const QString& name) {
            return get(QStringLiteral("/api/clasificaciones/") + name, {}).json().array();
        };
        QCOMPARE(rowsOf(QStringLiteral("AH")).size(), 0); // cage 2: two judges of three
        QCOMPARE(rowsOf(QStringLiteral("AM")).size(), 0); // cage 1: none
        QVERIFY(!get(QStringLiteral("/api/tablero"), {}).body.contains("Propietario Secreto"));
        // Cages 3 and 6, all three judges each: the best first.
        const QJsonArray bm = rowsOf(QStringLiteral("BM"));
        QCOMPARE(bm.size(), 2);
        QCOMPARE(bm[0].toObject().value(QStringLiteral("jaula")).toInt(), 3);
        QCOMPARE(bm[1].toObject().value(QStringLiteral("jaula")).toInt(), 6);

        QCOMPARE(post(QStringLiteral("/api/jaulas/2/puntuaciones"), R"({"juez":3,"puntos":[9,9,19,29,29]})")
                     .status,
                 201);
        QTRY_COMPARE_WITH_TIMEOUT(rowsOf(QStringLiteral("AH")).size(), 1, 5000);
        // Three judges, the highest (95) and lowest (88) dropped: judge 2's 90.5 remains.
        QCOMPARE(rowsOf(QStringLiteral("AH"))[0].toObject().value(QStringLiteral("puntos")).toDouble(), 90.5);

        const QString before = dump(m_path, QStringLiteral("Recepcion"));
        {
            // The judging window, through its own connection, gives cage 5 all its judges.
            store::Database window = store::Database::open(m_path, store::schema::exhibition());
            fixtures::addScore(window, QStringLiteral("5"), 1, 91.0);
            fixtures::addScore(window, QStringLiteral("5"), 2, 92.0);
            fixtures::addScore(window, QStringLiteral("5"), 3, 93.0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(rowsOf(QStringLiteral("CH")).size(), 1, 5000);
        const QJsonArray ch = rowsOf(QStringLiteral("CH"));
        QCOMPARE(ch[0].toObject().value(QStringLiteral("puntos")).toDouble(), 92.0);
        QCOMPARE(ch[0].toObject().value(QStringLiteral("puesto")).toInt(), 1);
        const QJsonObject board = get(QStringLiteral("/api/tablero"), {}).json().object();
        QCOMPARE(board.value(QStringLiteral("clasificaciones")).toArray().size(), 6);
        QCOMPARE(board.value(QStringLiteral("grupoD")).toArray().size(), 5);
        QCOMPARE(board.value(QStringLiteral("clasificaciones"))
                     .toArray()[5]
                     .toObject()
                     .value(QStringLiteral("filas")),
                 QJsonValue(ch));
        QCOMPARE(dump(m_path, QStringLiteral("Recepcion")), before);
    }

    // The cages a judge still has to score: not group D, not those the judge scored, not those
    // with all their judges.
    void cagesToScore()
    {
        const auto cages = [this] {
            return get(QStringLiteral("/api/jueces/3/pendientes")).json().object().value(QStringLiteral("jaulas"));
        };
        QCOMPARE(cages(), QJsonValue(QJsonArray{1, 2, 5}));
        QCOMPARE(post(QStringLiteral("/api/jaulas/2/puntuaciones"), validScores()).status, 201);
        QCOMPARE(cages(), QJsonValue(QJsonArray{1, 5}));
    }

    // Only the server's own pages may act with a steward's session; every answer tells the
    // browser to keep it out of other pages' frames, scripts and caches.
    void otherPagesCannotAct()
    {
        const Answer entered = post(QStringLiteral("/entrar"), R"({"clave":"K7PXM2QR9T"})", {});
        QCOMPARE(entered.status, 200);
        const auto sendFrom = [this](const QByteArray& origin) {
            QNetworkRequest request =
                httptest::request(port(), QStringLiteral("/api/jaulas/5/puntuaciones"));
            request.setRawHeader("Origin", origin);
            return httptest::send(m_net, "POST", request, validScores());
        };
        const Answer other = sendFrom("http://127.0.0.1:" + QByteArray::number(port() + 1));
        QCOMPARE(other.status, 403);
        QCOMPARE(other.error(), QStringLiteral("Esta petición no viene de una página de la exposición."));
        QCOMPARE(sendFrom("null").status, 403);
        QCOMPARE(sendFrom("http://127.0.0.1:" + QByteArray::number(port())).status, 201);
        for (const Answer& answer : {get(QStringLiteral("/puntuar"), {}), other, get(QStringLiteral("/api/tablero"))}) {
            QCOMPARE(answer.header("X-Frame-Options"), QByteArray("DENY"));
            QCOMPARE(answer.header("X-Content-Type-Options"), QByteArray("nosniff"));
            QCOMPARE(answer.header("Referrer-Policy"), QByteArray("no-referrer"));
            QVERIFY(answer.header("Content-Security-Policy").contains("script-src 'self'"));
        }
    }

    // A read takes no write lock: a cage is read at once while another program writes, and its
    // unfinished write is not seen.
    void readsWhileAnotherProgramWrites()
    {
        store::Database other = store::Database::open(m_path, store::schema::exhibition());
        store::Transaction writing(other);
        fixtures::addScore(other, QStringLiteral("1"), 1, 90.0);
        QElapsedTimer clock;
        clock.start();
        const Answer cage = get(QStringLiteral("/api/jaulas/1"));
        QCOMPARE(cage.status, 200);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(cage.json().object().value(QStringLiteral("jueces")).toArray().size(), 0);
    }

    // A port another program holds is told, not crashed on; the first server keeps serving.
    void portInUse()
    {
        server::ShowServer second;
        QCOMPARE(
            second.start({m_path, m_clubs, port(), QString()}),
            QStringLiteral("El puerto %1 está ocupado por otro programa: elija otro puerto.").arg(port()));
        QVERIFY(!second.running());
        QCOMPARE(get(QStringLiteral("/api/jaulas/1")).status, 200);
    }

    // Requests are answered while the program's own thread is busy (the organiser typing in a window).
    void answersWhileTheWindowsAreBusy()
    {
        std::atomic<int> status = 0;
        std::thread phone([&] {
            status = httptest::rawStatus(port(),
                                         "GET /api/tablero HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        });
        // The main thread neither runs its event loop nor returns until the phone has its answer.
        const auto start = std::chrono::steady_clock::now();
        while (status == 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        phone.join();
        QCOMPARE(int(status), 200);
    }

    // A row the judging window is storing when a phone sends the same judge for the same cage:
    // the phone's checks wait for the window's write and then see its row.
    void checksSeeTheWriteUnderWay()
    {
        store::Database window = store::Database::open(m_path, store::schema::exhibition());
        QNetworkReply* reply = nullptr;
        {
            store::Transaction entering(window);
            fixtures::addScore(window, QStringLiteral("1"), 1, 90.0);
            reply =
                m_net.post(httptest::request(port(), QStringLiteral("/api/jaulas/1/puntuaciones"), bearer),
                           QByteArray(R"({"juez":1,"puntos":[8,8,17,27,27]})"));
            QTest::qWait(400); // the request reaches the server, which waits on the window's lock
            entering.commit();
        }
        const Answer answer = httptest::finish(reply);
        QCOMPARE(answer.status, 409);
        QCOMPARE(answer.error(), QStringLiteral("El juez 1 ya tiene puntuada la jaula 1."));
        store::Statement rows =
            window.prepare(QStringLiteral("SELECT count(*) FROM Puntos WHERE jaula = '1'"));
        QVERIFY(rows.step());
        QCOMPARE(rows.int64(0), qint64(1));
    }

    // Scores that arrive together are stored under one commit, each on its own: every phone gets
    // the answer to its own score, a refused one leaves nothing and stops none of the others.
    void scoresSentTogether()
    {
        struct Sent {
            QString path;
            QByteArray body;
            int status;
            QString message; // empty: stored
        };
        const std::vector<Sent> sent{
            {"/api/jaulas/1/puntuaciones", R"({"juez":1,"puntos":[8,8,17,27,27]})", 201, {}},
            {"/api/jaulas/2/puntuaciones", R"({"juez":2,"puntos":[9,9,19,29,29]})", 409,
             "El juez 2 ya tiene puntuada la jaula 2."},
            {"/api/jaulas/5/puntuaciones", R"({"juez":3,"puntos":[8,8,17,27,29.5]})", 400,
             "Puntuacion Erronea "},
            {"/api/jaulas/9/puntuaciones", validScores(), 404, "No hay ninguna paloma en la jaula 9."},
            {"/api/jaulas/4/puntuaciones", validScores(), 409, "El Grupo D no se Puntua "},
            {"/api/jaulas/1/puntuaciones", R"({"juez":2,"puntos":[8.5,8.5,18,28,28]})", 201, {}},
            {"/api/jaulas/5/puntuaciones", R"({"juez":2,"puntos":[8.25,8,17,27,27]})", 201, {}},
        };
        std::vector<std::unique_ptr<QNetworkAccessManager>> phones;
        std::vector<QNetworkReply*> replies;
        for (const Sent& one : sent) {
            phones.push_back(std::make_unique<QNetworkAccessManager>());
            replies.push_back(phones.back()->post(httptest::request(port(), one.path, bearer), one.body));
        }
        for (std::size_t i = 0; i < sent.size(); ++i) {
            const Answer answer = httptest::finish(replies[i]);
            QCOMPARE(answer.status, sent[i].status);
            if (sent[i].status == 201) {
                // The cage as it stood once this score was stored: its own row among its judges.
                const QJsonObject cage = answer.json().object();
                QCOMPARE(cage.value(QStringLiteral("jaula")).toInt(),
                         sent[i].path.section(u'/', 3, 3).toInt());
                const int juez =
                    QJsonDocument::fromJson(sent[i].body).object().value(QStringLiteral("juez")).toInt();
                const QJsonArray judges = cage.value(QStringLiteral("jueces")).toArray();
                QVERIFY(std::any_of(judges.begin(), judges.end(), [juez](const QJsonValue& judge) {
                    return judge.toObject().value(QStringLiteral("juez")).toInt() == juez;
                }));
            } else {
                QCOMPARE(answer.error(), sent[i].message);
            }
        }
        m_server->stop();
        store::Database db = store::Database::open(m_path, store::schema::exhibition());
        store::Statement rows = db.prepare(QStringLiteral(
            "SELECT jaula, juez, puntost FROM Puntos WHERE jaula IN ('1', '5') ORDER BY jaula, juez"));
        QStringList stored;
        while (rows.step())
            stored << rows.text(0) + u'/' + rows.text(1) + u'/' + rows.text(2);
        QCOMPARE(stored, QStringList({"1/1/87.0", "1/2/91.0", "5/2/87.25"}));
    }

    // Stopping answers every score already stored: the phones whose scores are being committed
    // when the organiser stops the server (another program's read holds the commit back) are each
    // told the truth, 201 for every row the file holds.
    void stoppingAnswersEveryStoredScore()
    {
        constexpr int phones = 30;
        {
            store::Database db = store::Database::open(m_path, store::schema::exhibition());
            store::Transaction adding(db);
            for (int cage = 10; cage < 10 + phones; ++cage)
                fixtures::addBird(db, cage, QStringLiteral("A"), QStringLiteral("M"));
            adding.commit();
        }
        store::Database other = store::Database::open(m_path, store::schema::exhibition());
        auto reading = std::make_unique<store::Transaction>(other, store::Transaction::Kind::Read);
        QVERIFY(other.query(QStringLiteral("SELECT count(*) FROM Puntos")).step()); // its read lock held
        std::vector<std::unique_ptr<httptest::RawConnection>> sending;
        for (int i = 0; i < phones; ++i) {
            sending.push_back(
                std::make_unique<httptest::RawConnection>(port(), QStringLiteral("127.0.4.%1").arg(i + 1)));
            const QByteArray body = validScores();
            sending.back()->write("POST /api/jaulas/" + QByteArray::number(10 + i) +
                                  "/puntuaciones HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: " + bearer +
                                  "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        }
        const auto stored = [this] {
            store::Database db = store::Database::open(m_path, store::schema::exhibition());
            store::Statement rows = db.prepare(QStringLiteral("SELECT count(*) FROM Puntos WHERE length(jaula) = 2"));
            return rows.step() ? int(rows.int64(0)) : 0;
        };
        QTest::qWait(300); // the scores are read and wait for their commit
        std::thread release([&reading] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            reading.reset();
        });
        m_server->stop();
        release.join();
        int created = 0;
        for (const auto& phone : sending)
            created += phone->read(3000).status == 201 ? 1 : 0;
        QCOMPARE(created, stored());
        QVERIFY(created > 0);
    }

    // Scores that cannot be committed (another program keeps the file beyond the wait) are all
    // refused, without naming the organiser's folders, and nothing of them is stored; the
    // organiser is told in full. Once the file is free they go in.
    void scoresThatCannotBeStored()
    {
        QSignalSpy told(m_server.get(), &server::ShowServer::storeFailed);
        store::Database other = store::Database::open(m_path, store::schema::exhibition());
        std::vector<std::unique_ptr<QNetworkAccessManager>> phones;
        std::vector<QNetworkReply*> replies;
        const QString before = dump(m_path, QStringLiteral("Puntos"));
        {
            store::Transaction holding(other);
            fixtures::addScore(other, QStringLiteral("5"), 3, 90.0); // never committed
            for (const int cage : {1, 5}) {
                phones.push_back(std::make_unique<QNetworkAccessManager>());
                replies.push_back(phones.back()->post(
                    httptest::request(port(), QStringLiteral("/api/jaulas/%1/puntuaciones").arg(cage),
                                      bearer),
                    validScores()));
            }
            for (QNetworkReply* reply : replies) {
                const Answer answer = httptest::finish(reply);
                QCOMPARE(answer.status, 503);
                QCOMPARE(answer.error(),
                         QStringLiteral("La exposición está ocupada por otro programa: inténtelo otra vez."));
            }
        }
        QVERIFY(told.size() >= 1);
        QVERIFY(told.first().at(0).toString().contains(QDir::toNativeSeparators(m_dir.path())));
        QCOMPARE(dump(m_path, QStringLiteral("Puntos")), before);
        QCOMPARE(post(QStringLiteral("/api/jaulas/5/puntuaciones"), validScores()).status, 201);
    }

};

QTEST_GUILESS_MAIN(TestServerApi)
#include "test_server_api.moc"
