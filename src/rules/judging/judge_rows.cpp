#include "rules/judging/judge_rows.h"

#include "rules/records/statuses.h"
#include "store/database.h"
#include "store/error.h"
#include "store/quote.h"

namespace judging
{

namespace
{

// The condition that finds the cage's row of a judge in PuntosRs.
QString judgeCondition(int cage, int juez)
{
    return QStringLiteral("Jaula = %1 and cstr(juez) = %2").arg(store::quote(cage), store::quote(juez));
}

// A judge number as typed: digits only, blanks around them ignored.
std::optional<int> wholeNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 9)
        return std::nullopt;
    for (const QChar c : t)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return t.toInt();
}

bool findJudge(store::Recordset& puntos, int cage, int juez)
{
    return puntos.isOpen() && puntos.findFirst(judgeCondition(cage, juez));
}

} // namespace

QString judgeRangeRefusal(std::optional<qint64> juez, int jueces)
{
    if (jueces < 1)
        return QStringLiteral("La configuración no tiene número de jueces: indíquelo en Configuración.");
    if (juez && *juez >= 1 && *juez <= jueces)
        return {};
    return jueces == 1
               ? QStringLiteral("El número de juez debe ser 1: la exposición tiene un solo juez.")
               : QStringLiteral("El número de juez debe ser un número entero del 1 al %1.").arg(jueces);
}

std::variant<int, QString> checkNewJudge(const store::Database& db, int cage, const QString& text, int jueces)
{
    const std::optional<int> juez = wholeNumber(text);
    if (const QString refusal = judgeRangeRefusal(juez, jueces); !refusal.isEmpty())
        return refusal;
    // Refused as the judge's box is left, before any score is typed.
    if (const QString refusal = records::scoreRefusal(db, cage); !refusal.isEmpty())
        return refusal;
    store::Statement existing =
        db.query(QStringLiteral("SELECT 1 FROM Puntos WHERE jaula = ? AND juez = ? LIMIT 1"));
    existing.bind(1, QString::number(cage)).bind(2, qint64(*juez));
    if (existing.step())
        return judgeTakenRefusal(*juez, cage);
    return *juez;
}

QString judgeTakenRefusal(int juez, int cage)
{
    return QStringLiteral("El juez %1 ya tiene puntuada la jaula %2.").arg(juez).arg(cage);
}

std::variant<JudgeScores, EntryProblem> checkEntry(const store::Database& db, int cage, EntryMode mode,
                                                   const JudgeEntry& entry, int jueces)
{
    if (const QString refusal = records::scoreRefusal(db, cage); !refusal.isEmpty())
        return EntryProblem{0, refusal};
    JudgeScores row;
    if (mode == EntryMode::New) {
        const std::variant<int, QString> juez = checkNewJudge(db, cage, entry.juez, jueces);
        if (const QString* refused = std::get_if<QString>(&juez))
            return EntryProblem{0, *refused};
        row.juez = std::get<int>(juez);
    } else {
        row.juez = entry.juez.trimmed().toInt();
    }
    for (int i = 0; i < apartadoCount; ++i) {
        const std::optional<double> score = readScore(i, entry.puntos[std::size_t(i)]);
        if (!score)
            return EntryProblem{i + 1, scoreRefusedMessage()};
        row.puntos[std::size_t(i)] = *score;
    }
    row.puntost = totalOf(row.puntos);
    return row;
}

store::Recordset openCageRows(const store::Database& db, int cage, Criterion criterion)
{
    return db.openRecordset(QStringLiteral("select * from puntos where jaula = ") + store::quote(cage) +
                            (criterion == Criterion::Average ? QStringLiteral(" order by juez")
                                                             : QStringLiteral(" order by puntost desc")));
}

void storeJudgeRow(const store::Database& db, store::Recordset& puntos, int cage, EntryMode mode,
                   const JudgeScores& row, const QString& grupo)
{
    if (mode == EntryMode::New) {
        if (!puntos.isOpen())
            puntos = openCageRows(db, cage, Criterion::Average);
        puntos.addNew();
    } else {
        if (!findJudge(puntos, cage, row.juez))
            throw base::Error(QStringLiteral("La puntuación del juez %1 en la jaula %2 ya no está guardada.")
                                  .arg(row.juez)
                                  .arg(cage));
        puntos.edit();
    }
    try {
        puntos.setValue(QStringLiteral("jaula"), QString::number(cage));
        puntos.setValue(QStringLiteral("juez"), row.juez);
        for (int i = 0; i < apartadoCount; ++i)
            puntos.setValue(apartados()[std::size_t(i)].field, row.puntos[std::size_t(i)]);
        puntos.setValue(QStringLiteral("puntost"), row.puntost);
        puntos.setValue(QStringLiteral("Grupo"), grupo.trimmed());
        puntos.setValue(QStringLiteral("categ"), QStringLiteral(" "));
        puntos.update();
    } catch (const base::Error&) {
        puntos.cancelUpdate(); // the result stays usable for the next attempt
        throw;
    }
}

JudgeScores readJudgeRow(const store::Recordset& puntos)
{
    JudgeScores row;
    row.juez = puntos.value(QStringLiteral("juez")).toInt();
    for (int i = 0; i < apartadoCount; ++i)
        row.puntos[std::size_t(i)] = puntos.value(apartados()[std::size_t(i)].field).toDouble();
    row.puntost = puntos.value(QStringLiteral("puntost")).toDouble();
    return row;
}

std::optional<JudgeScores> findJudgeRow(store::Recordset& puntos, int cage, int juez)
{
    if (!findJudge(puntos, cage, juez))
        return std::nullopt;
    return readJudgeRow(puntos);
}

bool deleteJudgeRow(store::Recordset& puntos, int cage, int juez)
{
    if (!findJudge(puntos, cage, juez))
        return false;
    puntos.remove();
    return true;
}

} // namespace judging
