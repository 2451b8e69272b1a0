#pragma once

// The answers of the show's network, built one way: JSON in UTF-8, errors as {"error": text} in
// the program's words. Error texts sent over the network never name the organiser's folders or
// files: a store failure is told in general words here, and in full in the organiser's window.

#include "server/http_exchange.h"

#include <QJsonObject>

namespace base
{
class Error;
}

namespace server
{

Response json(const QJsonObject& object, int status = 200);
Response jsonText(const QByteArray& text, int status = 200);
Response errorAnswer(const QString& message, int status);
Response notFound(const QString& path);
Response wrongMethod(const QByteArray& allowed);
// The file could not be read or written (busy beyond the wait, full disk), or the show is closed
// (423, in the file's words): nothing was stored.
Response storeFailure(const base::Error& error);

} // namespace server
