#include "rules/listings/classification_text.h"

#include "base/formats.h"
#include "rules/records/statuses.h"
#include "store/database.h"
#include "store/quote.h"

#include <QHash>
#include <QStringBuilder>

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
            birds.value(QStringLiteral("puntos")),  birds.text(QStringLiteral("termina"))};
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

// The birds of one group and sex in the order of the classification: best score first.
store::Recordset classifiedBirds(const store::Database& db, const QString& grupo, const QString& sexo)
{
    return db.openRecordset(classificationQuery(db, grupo, sexo));
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

namespace
{

// The score fields of one listing: a listing of thousands of birds formats the same few scores
// again and again. A field is handed out as its own (shared) copy, never as a reference into the
// cache: a line asks for several fields in one expression, and a later insertion may move the
// earlier ones.
class ScoreFields
{
public:
    QString field(const QVariant& value)
    {
        const double score = value.isNull() ? 0.0 : value.toDouble();
        auto found = m_fields.constFind(score);
        if (found == m_fields.cend())
            found = m_fields.insert(score, scoreField(score));
        return *found;
    }

private:
    QHash<double, QString> m_fields;
};

QString birdLineWith(int place, const ClassifiedBird& bird, ScoreFields& scores)
{
    // One blank less after a place of two or more digits keeps the ring at column 9 up to 99.
    return QStringLiteral("* ") % QString::number(place) % blanks(place < 10 ? 5 : 4) %
           formats::fitLeft(ringText(bird.anilla, bird.anio), 12) % blanks(2) %
           formats::fitLeft(bird.color, 20) % blanks(4) % formats::mask(bird.licencia, 5) % blanks(1) %
           formats::fitLeft(bird.nombre, 30) % scores.field(bird.puntos) % blanks(2) %
           formats::mask(cageText(bird.jaula), 3);
}

QString judgeLineWith(const JudgeScores& judge, ScoreFields& scores)
{
    const QString juez = judge.juez.isNull() ? QStringLiteral(" ") : cageText(judge.juez).left(1);
    return blanks(1) % juez % blanks(2) % scores.field(judge.puntos[0]) % blanks(14) %
           scores.field(judge.puntos[1]) % blanks(17) % scores.field(judge.puntos[2]) % blanks(15) %
           scores.field(judge.puntos[3]) % blanks(7) % scores.field(judge.puntos[4]) % blanks(5) %
           scores.field(judge.puntost);
}

void appendBirdBlock(QString& text, int place, const ClassifiedBird& bird,
                     const std::vector<JudgeScores>& judges, ScoreFields& scores)
{
    static const QString top = birdHeading() % crlf % QString(95, u'_') % crlf;
    static const QString middle = crlf % crlf % blanks(31) % QStringLiteral("Puntuacion de los Jueces") %
                                  crlf % crlf % judgesHeading() % crlf % QString(93, u'_') % crlf;
    static const QString bottom = QString(93, u'-') % crlf % crlf % crlf;
    text += top;
    text += birdLineWith(place, bird, scores);
    text += middle;
    for (const JudgeScores& judge : judges) {
        text += judgeLineWith(judge, scores);
        text += crlf;
    }
    text += bottom;
}

} // namespace

QString birdLine(int place, const ClassifiedBird& bird)
{
    ScoreFields scores;
    return birdLineWith(place, bird, scores);
}

QString judgeLine(const JudgeScores& judge)
{
    ScoreFields scores;
    return judgeLineWith(judge, scores);
}

QString birdBlock(int place, const ClassifiedBird& bird, const std::vector<JudgeScores>& judges)
{
    QString block;
    ScoreFields scores;
    appendBirdBlock(block, place, bird, judges, scores);
    return block;
}

QString classificationQuery(const store::Database& db, const QString& grupo, const QString& sexo)
{
    return QStringLiteral("Select * from recepcion where grupo  = ") + store::quote(grupo) +
           QStringLiteral("and sexo = ") + store::quote(sexo) + records::rankedCondition(db) +
           QStringLiteral(" order by puntos desc");
}

QString generarListado(const store::Database& db, const QString& grupo, const QString& sexo)
{
    // One read transaction: the listing sees one state of the file, and the file is locked and
    // checked once rather than once for every bird's judges.
    store::Transaction reading(db);
    store::Recordset birds = classifiedBirds(db, grupo, sexo);
    if (birds.recordCount() == 0)
        return {};
    // The judges of each bird, as "select * from puntos where jaula = '7' order by juez ,puntost
    // desc" gives them, through one prepared statement that uses the index on the cage.
    store::Statement judges = db.query(QStringLiteral(
        "SELECT juez, puntos1, puntos2, puntos3, puntos4, puntos5, puntost FROM Puntos WHERE jaula = ? "
        "ORDER BY juez, puntost DESC, rowid"));
    QString text;
    text.reserve(qsizetype(birds.recordCount()) * 1200); // a block with five judges
    ScoreFields scores;
    int place = 1;
    for (birds.moveFirst(); !birds.eof(); birds.moveNext(), ++place) {
        const ClassifiedBird bird = readBird(birds);
        appendBirdBlock(text, place, bird, judgesOf(judges, cageText(bird.jaula)), scores);
    }
    reading.commit();
    return text;
}

} // namespace listings

namespace listings
{

std::vector<ClassifiedBird> clasificacion(const store::Database& db, const QString& grupo,
                                          const QString& sexo)
{
    store::Recordset birds = classifiedBirds(db, grupo, sexo);
    std::vector<ClassifiedBird> ranked;
    ranked.reserve(std::size_t(birds.recordCount()));
    for (birds.moveFirst(); !birds.eof(); birds.moveNext())
        ranked.push_back(readBird(birds));
    return ranked;
}

} // namespace listings
