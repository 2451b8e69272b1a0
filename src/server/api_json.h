#pragma once

// The JSON of the show's API, made from what the judging rules and the listing builders give:
// a cage for whoever scores it (blind: no owner, club nor licence), the listings' rows, and the
// reading of a score sent by a phone.

#include "rules/judging/judged_cage.h"
#include "rules/judging/score_ranges.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/listing.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <array>
#include <variant>
#include <vector>

namespace server
{

// The largest body a request may carry: a score is a few dozen bytes.
constexpr qsizetype maxBodyBytes = 64 * 1024;

// The JSON texts (UTF-8, compact) of a cage and of the listings' rows.
QByteArray cageJson(int cage, const judging::Paloma& bird, const judging::JudgedCage& judged);
QByteArray classificationJson(const std::vector<listings::ClassifiedBird>& birds);
QByteArray groupDJson(const std::vector<listings::GroupDRow>& rows);
QByteArray provincesJson(const std::vector<listings::ProvinceRow>& rows);

// What the scoring page needs to check an entry as the judging window does, in its words.
QJsonObject exhibitionJson(const QString& nombre, int jueces);

// A score sent for a cage: {"juez": whole number, "puntos": [five numbers]}.
struct ScoreBody {
    qint64 juez = 0;
    std::array<double, judging::apartadoCount> puntos{};
};

// The body read, or why it cannot be (a 400's message).
std::variant<ScoreBody, QString> readScoreBody(const QByteArray& body);

// The key sent to open a session: {"clave": "..."}; empty when the body holds none.
QByteArray readKeyBody(const QByteArray& body);

QJsonObject errorJson(const QString& message);

} // namespace server
