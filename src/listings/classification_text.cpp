#include "listings/classification_text.h"

#include "shell/formats.h"
#include "store/database.h"
#include "store/quote.h"

namespace listings
{

namespace
{

const QString crlf = QStringLiteral("\r\n");

QString blanks(int n)
{
    return QString(n, u' ');
}

QString cageText(const QVariant& jaula)
{
    return jaula.isNull() ? QString() : QString::number(jaula.toLongLong());
}

ClassifiedBird readBird(const store::Recordset& birds)
{
    return {birds.value(QStringLiteral("jaula")),   birds.text(QStringLiteral("anilla")),
            birds.text(QStringLiteral("año")),      birds.text(QStringLiteral("color")),
            birds.text(QStringLiteral("licencia")), birds.text(QStringLiteral("nombre")),
            birds.value(QStringLiteral("puntos"))};
}

// The judges' rows of one cage in the order of "order by juez ,puntost desc", ties in store
// order. The cage is compared as the text of its number, as the score rows hold it.
std::vector<JudgeScores> judgesOf(store::Statement& rows, const QString& cage)
{
    std::vector<JudgeScores> judges;
    rows.reset();
    rows.bind(1, cage);
    while (rows.step()) {
        JudgeScores scores;
        scores.juez = rows.value(0);
        for (int i = 0; i < 5; ++i)
            scores.puntos[i] = rows.value(1 + i);
        scores.puntost = rows.value(6);
        judges.push_back(scores);
    }
    return judges;
}

} // namespace

QString birdHeading()
{
    return QStringLiteral(
        " Clasf  Nº Anilla       Color                Licencia                            Puntos  Jaula");
}

QString judgesHeading()
{
    return QStringLiteral(
        " Cabez-Ojos-Expr Osamen-Quilla-Horqui Espald-Rabadilla-Ucola Equilib-Muscul Ala-Pluma  Total");
}

QString ringText(const QString& anilla, const QString& anio)
{
    const QString ring = anilla.trimmed();
    const QString padded = ring.size() >= 7 ? ring : QString(7 - ring.size(), u'0') + ring;
    return padded + u'-' + anio.mid(2, 2).trimmed();
}

QString scoreField(const QVariant& value)
{
    return formats::fitRight(formats::score(value.isNull() ? 0.0 : value.toDouble()), 5);
}

QString birdLine(int place, const ClassifiedBird& bird)
{
    // One blank less after a place of two or more digits keeps the ring at column 9 up to 99.
    return QStringLiteral("* ") + QString::number(place) + blanks(place < 10 ? 5 : 4) +
           formats::fitLeft(ringText(bird.anilla, bird.anio), 12) + blanks(2) +
           formats::fitLeft(bird.color, 20) + blanks(4) + formats::mask(bird.licencia, 5) + blanks(1) +
           formats::fitLeft(bird.nombre, 30) + scoreField(bird.puntos) + blanks(2) +
           formats::mask(cageText(bird.jaula), 3);
}

QString judgeLine(const JudgeScores& scores)
{
    const QString juez = scores.juez.isNull() ? QStringLiteral(" ") : cageText(scores.juez).left(1);
    return blanks(1) + juez + blanks(2) + scoreField(scores.puntos[0]) + blanks(14) +
           scoreField(scores.puntos[1]) + blanks(17) + scoreField(scores.puntos[2]) + blanks(15) +
           scoreField(scores.puntos[3]) + blanks(7) + scoreField(scores.puntos[4]) + blanks(5) +
           scoreField(scores.puntost);
}

QString birdBlock(int place, const ClassifiedBird& bird, const std::vector<JudgeScores>& judges)
{
    QString block = birdHeading() + crlf + QString(95, u'_') + crlf + birdLine(place, bird) + crlf + crlf +
                    blanks(31) + QStringLiteral("Puntuacion de los Jueces") + crlf + crlf + judgesHeading() +
                    crlf + QString(93, u'_') + crlf;
    for (const JudgeScores& scores : judges)
        block += judgeLine(scores) + crlf;
    block += QString(93, u'-') + crlf + crlf + crlf;
    return block;
}

QString generarListado(const store::Database& db, const QString& grupo, const QString& sexo)
{
    // One read transaction: the listing sees one state of the file, and the file is locked and
    // checked once rather than once for every bird's judges.
    store::Transaction reading(db);
    store::Recordset birds = db.openRecordset(QStringLiteral("Select * from recepcion where grupo  = ") +
                                              store::quote(grupo) + QStringLiteral("and sexo = ") +
                                              store::quote(sexo) + QStringLiteral(" order by puntos desc"));
    if (birds.recordCount() == 0)
        return {};
    // The judges of each bird, as "select * from puntos where jaula = '7' order by juez ,puntost
    // desc" gives them, through one prepared statement that uses the index on the cage.
    store::Statement judges = db.prepare(QStringLiteral(
        "SELECT juez, puntos1, puntos2, puntos3, puntos4, puntos5, puntost FROM Puntos WHERE jaula = ? "
        "ORDER BY juez, puntost DESC, rowid"));
    QString text;
    text.reserve(birds.recordCount() * 1800);
    int place = 1;
    for (birds.moveFirst(); !birds.eof(); birds.moveNext(), ++place) {
        const ClassifiedBird bird = readBird(birds);
        text += birdBlock(place, bird, judgesOf(judges, cageText(bird.jaula)));
    }
    reading.commit();
    return text;
}

} // namespace listings
