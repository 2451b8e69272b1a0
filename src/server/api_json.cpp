#include "server/api_json.h"

#include "base/formats.h"
#include "rules/judging/judge_rows.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <cmath>

namespace server
{

namespace
{

const QString malformedScore =
    QStringLiteral("La puntuación debe enviarse como {\"juez\": número, \"puntos\": [cinco números]}.");

QJsonValue numberOrNull(const QString& text)
{
    const std::optional<double> value = formats::parseNumber(text);
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue wholeOrNull(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

} // namespace

QJsonObject cageJson(int cage, const judging::Paloma& bird, const judging::CageScores& scores)
{
    QJsonArray jueces;
    for (const judging::JudgeScores& row : scores.rows) {
        QJsonArray puntos;
        for (const double score : row.puntos)
            puntos.append(score);
        jueces.append(QJsonObject{{QStringLiteral("juez"), row.juez},
                                  {QStringLiteral("puntos"), puntos},
                                  {QStringLiteral("total"), row.puntost}});
    }
    return QJsonObject{{QStringLiteral("jaula"), cage},
                       {QStringLiteral("grupo"), bird.grupo.trimmed()},
                       {QStringLiteral("sexo"), bird.sexo.trimmed()},
                       {QStringLiteral("categ"), bird.categ.trimmed()},
                       {QStringLiteral("anilla"), bird.anilla.trimmed()},
                       {QStringLiteral("anio"), bird.anyo.trimmed()},
                       {QStringLiteral("puntos"), scores.finalScore},
                       {QStringLiteral("termina"), scores.termina},
                       {QStringLiteral("jueces"), jueces}};
}

QJsonArray classificationJson(const std::vector<listings::ClassifiedBird>& birds)
{
    QJsonArray rows;
    int place = 1;
    for (const listings::ClassifiedBird& bird : birds) {
        rows.append(
            QJsonObject{{QStringLiteral("puesto"), place++},
                        {QStringLiteral("jaula"),
                         bird.jaula.isNull() ? QJsonValue() : QJsonValue(bird.jaula.toLongLong())},
                        {QStringLiteral("anilla"), listings::ringText(bird.anilla, bird.anio)},
                        {QStringLiteral("propietario"), bird.nombre.trimmed()},
                        {QStringLiteral("puntos"), bird.puntos.isNull() ? 0.0 : bird.puntos.toDouble()}});
    }
    return rows;
}

QJsonArray groupDJson(const std::vector<listings::GroupDRow>& rows)
{
    QJsonArray json;
    for (const listings::GroupDRow& row : rows)
        json.append(QJsonObject{{QStringLiteral("puesto"), row.orden},
                                {QStringLiteral("jaula"), wholeOrNull(row.jaula)},
                                {QStringLiteral("anilla"), row.anilla},
                                {QStringLiteral("propietario"), row.propietario.trimmed()},
                                {QStringLiteral("conc"), wholeOrNull(row.conc)},
                                {QStringLiteral("coef"), numberOrNull(row.coef)}});
    return json;
}

QJsonArray provincesJson(const std::vector<listings::ProvinceRow>& rows)
{
    QJsonArray json;
    for (const listings::ProvinceRow& row : rows)
        json.append(QJsonObject{{QStringLiteral("puesto"), row.orden},
                                {QStringLiteral("provincia"), row.provincia.trimmed()},
                                {QStringLiteral("puntos"), numberOrNull(row.puntos)}});
    return json;
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
