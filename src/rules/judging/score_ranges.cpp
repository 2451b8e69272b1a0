#include "rules/judging/score_ranges.h"

#include "base/formats.h"

namespace judging
{

const std::array<Apartado, apartadoCount>& apartados()
{
    static const std::array<Apartado, apartadoCount> all{{
        {QStringLiteral("puntos1"), QStringLiteral("Cabeza-Ojos-Expresión General"),
         QStringLiteral("( 8-9 puntos )"), 8, 9},
        {QStringLiteral("puntos2"), QStringLiteral("Osamenta-Quilla-Horquilla trasera"),
         QStringLiteral("( 8-9 Puntos )"), 8, 9},
        {QStringLiteral("puntos3"), QStringLiteral("Espalda-Rabadilla-Union de Cola"),
         QStringLiteral("( 17-19 Puntos)"), 17, 19},
        {QStringLiteral("puntos4"), QStringLiteral("Equilibrio y Musculatura"),
         QStringLiteral("( 27-29 Puntos)"), 27, 29},
        {QStringLiteral("puntos5"), QStringLiteral("Ala y Calidada de Pluma"),
         QStringLiteral("( 27-29 Puntos )"), 27, 29},
    }};
    return all;
}

QString totalLabel()
{
    return QStringLiteral("Total Puntos");
}

QString totalRangeLabel()
{
    return QStringLiteral("( 87-95 Puntos )");
}

QString emptyScore()
{
    return QStringLiteral("0,00");
}

QString scoreRefusedMessage()
{
    return QStringLiteral("Puntuacion Erronea ");
}

bool withinRange(int index, double value)
{
    if (index < 0 || index >= apartadoCount)
        return false;
    const Apartado& apartado = apartados()[std::size_t(index)];
    return value >= apartado.low && value <= apartado.high;
}

std::optional<double> readScore(int index, const QString& text)
{
    const std::optional<double> value = formats::parseNumber(text);
    // The typed value is checked and kept, not its rounding: 9,004 is above 9.
    if (!value || !withinRange(index, *value))
        return std::nullopt;
    return *value;
}

QString scoreText(double score)
{
    return formats::roundScore(score) == score ? formats::score(score) : formats::plainNumber(score);
}

double totalOf(const std::array<double, apartadoCount>& scores)
{
    double total = 0;
    for (const double score : scores)
        total += score;
    return formats::roundScore(total);
}

double totalOf(const std::array<QString, apartadoCount>& texts)
{
    std::array<double, apartadoCount> scores{};
    for (std::size_t i = 0; i < texts.size(); ++i)
        scores[i] = formats::parseNumber(texts[i]).value_or(0);
    return totalOf(scores);
}

} // namespace judging
