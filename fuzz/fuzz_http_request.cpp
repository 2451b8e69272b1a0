// Any bytes as a request of the show's network, as the service receives it once the connection
// has read it whole: a method, a path, headers and a body, one line each and the body after a
// blank line. The service answers it over a real exhibition of a few birds; a crash, a hang, a
// request left unanswered or an answer without its status is a fault.

#include "server/board_keeper.h"
#include "server/http_service.h"
#include "store/database.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>

namespace
{

std::unique_ptr<QTemporaryDir> folder;
QString exhibitionPath;
QString clubsPath;

void createShow()
{
    store::Database db = store::Database::create(exhibitionPath, store::schema::exhibition());
    db.execute(QStringLiteral("INSERT INTO Config (Nombre, Jueces, Region, media) VALUES ('Regional', 3, 'Sur', 0)"));
    db.execute(QStringLiteral(
        "INSERT INTO Recepcion (jaula, anilla, \"año\", sexo, club, nombre, grupo, categ, puntos, termina, conc, km, "
        "coef) VALUES (1, '0012345', '2021', 'M', '12', 'José Muñoz', 'A', ' ', 0, 'N', 0, 0, 0), "
        "(2, '0012346', '2020', 'H', '12', 'Ana', 'B', ' ', 0, 'N', 0, 0, 0), "
        "(3, '0012347', '2019', 'M', '7', 'Luis', 'D', 'A', 0, 'N', 4, 300, 1.5)"));
    db.execute(QStringLiteral("INSERT INTO Puntos (jaula, puntos1, puntos2, puntos3, puntos4, puntos5, juez, puntost, "
                              "grupo, categ) VALUES ('1', 8.5, 9, 18.25, 28, 27.75, 1, 91.5, 'A', ' ')"));
    store::Database clubs = store::Database::create(clubsPath, store::schema::clubs());
    clubs.execute(QStringLiteral("INSERT INTO Club (codigo, nombre, provincia) VALUES ('12', 'Club Uno', 'Ávila')"));
}

server::Request requestOf(const QByteArray& bytes)
{
    server::Request request;
    const qsizetype blank = bytes.indexOf("\n\n");
    const QList<QByteArray> lines = (blank < 0 ? bytes : bytes.left(blank)).split('\n');
    request.method = lines.value(0);
    request.path = QString::fromUtf8(lines.value(1));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        request.headers.append({lines[i].left(colon), colon < 0 ? QByteArray() : lines[i].mid(colon + 1).trimmed()});
    }
    if (blank >= 0)
        request.body = bytes.mid(blank + 2);
    request.peer = QHostAddress(QStringLiteral("192.168.1.30"));
    return request;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Left to the end of the process: destroyed among the other statics at exit, it would outlive
    // what it needs.
    new QCoreApplication(*argc, *argv);
    folder = std::make_unique<QTemporaryDir>();
    exhibitionPath = folder->filePath(QStringLiteral("expo.mdb"));
    clubsPath = folder->filePath(QStringLiteral("Club.mdb"));
    createShow();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    server::BoardKeeper keeper(exhibitionPath, clubsPath);
    keeper.open();
    std::optional<server::Response> answer;
    {
        // A service of its own for each request: the wrong keys of one do not slow the next.
        server::HttpService service(store::Database::open(exhibitionPath, store::schema::exhibition()),
                                    QStringLiteral("K7PXM2QR9T"), &keeper);
        auto exchange = std::make_shared<server::Exchange>(
            requestOf(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))),
            [&answer](server::Response response) { answer = std::move(response); });
        service.handle(exchange);
        QCoreApplication::processEvents(); // a score waits for the next pass of the loop
        // A key whose turn has not come is the only answer that may wait; the service stores and
        // answers the rest when it goes.
    }
    if (answer && (answer->status < 200 || answer->status > 599))
        __builtin_trap();
    return 0;
}
