#pragma once

// The five criteria on which each judge scores a bird, each with its fixed range, and the
// reading of what is typed in their boxes.

#include <QString>
#include <array>
#include <optional>

namespace judging
{

struct Apartado {
    QString field;      // puntos1 .. puntos5
    QString label;      // as the window shows it
    QString rangeLabel; // "( 8-9 puntos )"
    double low = 0;     // bounds included
    double high = 0;
};

inline constexpr int apartadoCount = 5;

// The criteria in the order of the fields puntos1 to puntos5.
const std::array<Apartado, apartadoCount>& apartados();

// The label of the judge's total and its range, shown but never checked.
QString totalLabel();
QString totalRangeLabel();

// What an empty or refused score box shows.
QString emptyScore();

// The refusal of a score out of its range (title "Aviso").
QString scoreRefusedMessage();

// Whether the value lies within the range of criterion `index` (0 to 4), bounds included; never
// for a NaN.
bool withinRange(int index, double value);

// The score typed in the box of criterion `index` (0 to 4), as typed (8,555 stays 8.555: the judge's
// sheet is stored, not its rounding), when it lies within the range; nothing when it does not,
// when it is not a number, and when the box is empty.
std::optional<double> readScore(int index, const QString& text);

// A score as its box shows it: "#,##0.00" when that is the value exactly ("9,00"), otherwise with
// all its decimals ("8,555"), so that the box reads back as the value it holds.
QString scoreText(double score);

// The judge's total: the sum of the five scores as typed, rounded to two decimals.
double totalOf(const std::array<double, apartadoCount>& scores);

// The judge's total of the boxes as they stand; a box that does not read as a number counts 0.
double totalOf(const std::array<QString, apartadoCount>& texts);

} // namespace judging
