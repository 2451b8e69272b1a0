#include "server/api_json.h"

#include "base/formats.h"
#include "rules/judging/judge_rows.h"
#include "server/json_text.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <cmath>

namespace server
{

namespace
{

const QString malformedScore =
    QStringLiteral("La puntuación debe enviarse como {\"juez\": número, \"puntos\": [cinco números]}.");

void numberOrNull(JsonText& json, const QString& text)
{
    if (const std::optional<double> value = formats::parseNumber(text))
        json.value(*value);
    else
        json.null();
}

void wholeOrNull(JsonText& json, const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (ok)
        json.value(value);
    else
        json.null();
}

} // namespace

QByteArray cageJson(int cage, const judging::Paloma& bird, const judging::JudgedCage& judged)
{
    JsonText json;
    json.beginObject()
        .key("jaula")
        .value(cage)
        .key("grupo")
        .value(bird.grupo.trimmed())
        .key("sexo")
        .value(bird.sexo.trimmed())
        .key("categ")
        .value(bird.categ.trimmed())
        .key("anilla")
        .value(bird.anilla.trimmed())
        .key("anio")
        .value(bird.anyo.trimmed())
        .key("puntos")
        .value(judged.result.puntos)
        .key("termina")
        .value(judged.result.termina)
        .key("jueces")
        .beginArray();
    for (const judging::JudgeScores& row : judged.byJudge()) {
        json.beginObject().key("juez").value(row.juez).key("puntos").beginArray();
        for (const double score : row.puntos)
            json.value(score);
        json.endArray().key("total").value(row.puntost).endObject();
    }
    return json.endArray().endObject().text();
}

QByteArray classificationJson(const std::vector<listings::ClassifiedBird>& birds)
{
    JsonText json;
    json.beginArray();
    int place = 1;
    for (const listings::ClassifiedBird& bird : birds) {
        json.beginObject().key("puesto").value(place++).key("jaula");
        if (bird.jaula.isNull())
            json.null();
        else
            json.value(bird.jaula.toLongLong());
        json.key("anilla")
            .value(listings::ringText(bird.anilla, bird.anio))
            .key("propietario")
            .value(bird.nombre.trimmed())
            .key("puntos")
            .value(bird.puntos.isNull() ? 0.0 : bird.puntos.toDouble())
            .endObject();
    }
    return json.endArray().text();
}

QByteArray groupDJson(const std::vector<listings::GroupDRow>& rows)
{
    JsonText json;
    json.beginArray();
    for (const listings::GroupDRow& row : rows) {
        json.beginObject().key("puesto").value(row.orden).key("jaula");
        wholeOrNull(json, row.jaula);
        json.key("anilla").value(row.anilla).key("propietario").value(row.propietario.trimmed()).key("conc");
        wholeOrNull(json, row.conc);
        json.key("coef");
        numberOrNull(json, row.coef);
        json.endObject();
    }
    return json.endArray().text();
}

QByteArray provincesJson(const std::vector<listings::ProvinceRow>& rows)
{
    JsonText json;
    json.beginArray();
    for (const listings::ProvinceRow& row : rows) {
        json.beginObject()
            .key("puesto")
            .value(row.orden)
            .key("provincia")
            .value(row.provincia.trimmed())
            .key("puntos");
        numberOrNull(json, row.puntos);
        json.endObject();
    }
    return json.endArray().text();
}

QJsonObject exhibitionJson(const QString& nombre, int jueces)
{
    QJsonArray apartados;
    for (const judging::Apartado& apartado : judging::apartados())
        apartados.append(QJsonObject{{QStringLiteral("nombre"), apartado.label},
                                     {QStringLiteral("rango"), apartado.rangeLabel},
                                     {QStringLiteral("min"), apartado.low},
                                     {QStringLiteral("max"), apartado.high}});
    return QJsonObject{
        {QStringLiteral("nombre"), nombre.trimmed()},
        {QStringLiteral("jueces"), jueces},
        {QStringLiteral("apartados"), apartados},
        {QStringLiteral("total"), QJsonObject{{QStringLiteral("nombre"), judging::totalLabel()},
                                              {QStringLiteral("rango"), judging::totalRangeLabel()}}},
        {QStringLiteral("mensajes"),
         QJsonObject{{QStringLiteral("puntuacion"), judging::scoreRefusedMessage()},
                     {QStringLiteral("juez"), judging::judgeRangeRefusal(std::nullopt, jueces)},
                     {QStringLiteral("grupoD"), judging::groupDRefusal()}}}};
}

std::variant<ScoreBody, QString> readScoreBody(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return malformedScore;
    const QJsonObject object = document.object();
    const QJsonValue juez = object.value(QStringLiteral("juez"));
    const QJsonValue puntos = object.value(QStringLiteral("puntos"));
    if (!juez.isDouble() || !puntos.isArray() || puntos.toArray().size() != judging::apartadoCount)
        return malformedScore;
    const double judge = juez.toDouble();
    // A judge number is whole; one far outside any exhibition is refused by its range later.
    if (!std::isfinite(judge) || std::trunc(judge) != judge || std::abs(judge) > 1e9)
        return malformedScore;
    ScoreBody score;
    score.juez = qint64(judge);
    const QJsonArray scores = puntos.toArray();
    for (int i = 0; i < judging::apartadoCount; ++i) {
        if (!scores[i].isDouble())
            return malformedScore;
        score.puntos[std::size_t(i)] = scores[i].toDouble();
    }
    return score;
}

QByteArray readKeyBody(const QByteArray& body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    const QJsonValue key = document.object().value(QStringLiteral("clave"));
    return key.isString() ? key.toString().toUtf8() : QByteArray();
}

QJsonObject errorJson(const QString& message)
{
    return QJsonObject{{QStringLiteral("error"), message}};
}

} // namespace server
