#include "server/responses.h"

#include "base/error.h"
#include "server/api_json.h"
#include "store/records.h"

#include <QJsonDocument>

namespace server
{

Response json(const QJsonObject& object, int status)
{
    return jsonText(QJsonDocument(object).toJson(QJsonDocument::Compact), status);
}

Response jsonText(const QByteArray& text, int status)
{
    return Response{status, QByteArrayLiteral("application/json"), text, {}};
}

Response errorAnswer(const QString& message, int status)
{
    return json(errorJson(message), status);
}

Response notFound(const QString& path)
{
    return errorAnswer(QStringLiteral("No existe la dirección «%1».").arg(path.left(200)), 404);
}

Response wrongMethod(const QByteArray& allowed)
{
    Response response = errorAnswer(QStringLiteral("Esta dirección no admite ese método."), 405);
    response.headers.append({QByteArrayLiteral("Allow"), allowed});
    return response;
}

Response storeFailure(const base::Error& error)
{
    // A closed show refuses every score, and says so: the phone must not retry.
    if (error.message() == store::records::closedMessage())
        return errorAnswer(error.message(), 423);
    const int primary = error.sqliteCode() & 0xff;
    const bool busy = primary == 5 || primary == 6; // SQLITE_BUSY, SQLITE_LOCKED
    return errorAnswer(
        busy ? QStringLiteral("La exposición está ocupada por otro programa: inténtelo otra vez.")
             : QStringLiteral("La exposición no se puede leer o escribir ahora: avise a la "
                              "oficina. No se ha guardado nada."),
        503);
}

} // namespace server
