#pragma once

// The preview text of the classification of groups A, B and C (GenerarListado): every bird of
// one group and sex, best score first, each in a block with its place, its ring, colour, owner,
// score and cage, and below it the five scores and the total that each judge gave it. The text
// is fixed-width, CR LF lines, made to be printed in a fixed-pitch font and saved as it stands.

#include <QString>
#include <QVariant>
#include <vector>

namespace store
{
class Database;
}

namespace listings
{

// The fields of Recepcion that the bird line shows.
struct ClassifiedBird {
    QVariant jaula; // Long
    QString anilla;
    QString anio; // año
    QString color;
    QString licencia;
    QString nombre;
    QVariant puntos; // Double; no value reads as 0
    QString termina; // "S" once every judge has scored it
};

// One judge's row of Puntos.
struct JudgeScores {
    QVariant juez;      // Long
    QVariant puntos[5]; // puntos1 .. puntos5
    QVariant puntost;
};

// " Clasf  Nº Anilla ..." and " Cabez-Ojos-Expr ...": the headings of each bird block.
QString birdHeading();
QString judgesHeading();

// The ring as the classification shows it: the ring padded with zeros to 7, "-", and the
// year's last two digits (12345 of 2005 gives 0012345-05).
QString ringText(const QString& anilla, const QString& anio);

// A score as "#,##0.00" right-aligned in 5 and cut at 5.
QString scoreField(const QVariant& value);

// "* 1     0012345-05  Azul ...": the bird's line, marked with "*" for the printout's bold.
QString birdLine(int place, const ClassifiedBird& bird);

// " 1  ...": one judge's line.
QString judgeLine(const JudgeScores& scores);

// The whole block of one bird, ended by its hyphens and two empty lines.
QString birdBlock(int place, const ClassifiedBird& bird, const std::vector<JudgeScores>& judges);

// The birds of the group and sex in the order of the classification, the first in place 1 (the
// list the preview text is made of, for whoever shows it otherwise).
std::vector<ClassifiedBird> clasificacion(const store::Database& db, const QString& grupo,
                                          const QString& sexo);
// The birds of the group and sex in the classification's order, best score first, as every
// output of the classification reads them. Absent and disqualified birds are not ranked.
QString classificationQuery(const store::Database& db, const QString& grupo, const QString& sexo);

// GenerarListado: the preview text of the group and sex, read from the database as it stands
// (callers bring the final scores up to date first). Empty when no bird is of that group and
// sex.
QString generarListado(const store::Database& db, const QString& grupo, const QString& sexo);

} // namespace listings
