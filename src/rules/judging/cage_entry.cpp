#include "rules/judging/cage_entry.h"

#include "rules/judging/final_score.h"
#include "rules/judging/score_ranges.h"
#include "store/database.h"
#include "store/error.h"
#include "store/quote.h"

#include <cmath>

namespace judging
{

namespace
{

// The cage as the score rows hold it: the text of its number.
QString cageText(int cage)
{
    return QString::number(cage);
}

int rowCount(const store::Database& db, int cage)
{
    store::Statement count = db.query(QStringLiteral("SELECT count(*) FROM Puntos WHERE jaula = ?"));
    count.bind(1, cageText(cage));
    return count.step() ? int(count.int64(0)) : 0;
}

// The final score and flag by the rule of the reception reload: totals in store order, a row
// without a total left out of the score but counted for the flag.
std::pair<double, QString> finalOf(const store::Database& db, int cage, const ScoringRule& rule)
{
    store::Statement rows =
        db.query(QStringLiteral("SELECT juez, puntost FROM Puntos WHERE jaula = ? ORDER BY rowid"));
    rows.bind(1, cageText(cage));
    std::vector<JudgeTotal> totals;
    int count = 0;
    while (rows.step()) {
        ++count;
        if (!rows.isNull(1))
            totals.push_back({rows.isNull(0) ? INT_MIN : int(rows.int64(0)), rows.real(1)});
    }
    return {finalScore(totals, rule.criterion), termina(count, rule.jueces)};
}

// Whether judge juez's row of the cage holds these very scores: the same send arriving twice.
bool sameRowStored(const store::Database& db, int cage, qint64 juez, const std::array<double, apartadoCount>& puntos)
{
    store::Statement row = db.query(QStringLiteral(
        "SELECT puntos1, puntos2, puntos3, puntos4, puntos5 FROM Puntos WHERE jaula = ? AND juez = ?"));
    row.bind(1, cageText(cage)).bind(2, juez);
    while (row.step()) {
        bool same = true;
        for (int i = 0; i < apartadoCount; ++i)
            same = same && !row.isNull(i) && row.real(i) == puntos[std::size_t(i)];
        if (same)
            return true;
    }
    return false;
}

} // namespace

QString groupDRefusal()
{
    return QStringLiteral("El Grupo D no se Puntua ");
}

QString fullCageRefusal(int cage, int jueces)
{
    return QStringLiteral("La jaula %1 ya tiene las puntuaciones de sus %2 jueces.").arg(cage).arg(jueces);
}

std::optional<Paloma> palomaEnJaula(const store::Database& db, int cage)
{
    store::Statement bird =
        db.query(QStringLiteral("SELECT anilla, \"año\", sexo, color, grupo, categ FROM Recepcion WHERE "
                                  "jaula = ? ORDER BY rowid LIMIT 1"));
    bird.bind(1, qint64(cage));
    if (!bird.step())
        return std::nullopt;
    return Paloma{bird.text(0), bird.text(1), bird.text(2), bird.text(3), bird.text(4), bird.text(5)};
}

CageScores puntuacionesJaula(const store::Database& db, int cage)
{
    const ScoringRule rule = ScoringRule::read(db);
    CageScores cage_;
    store::Statement rows = db.query(
        QStringLiteral("SELECT juez, puntos1, puntos2, puntos3, puntos4, puntos5, puntost FROM Puntos "
                       "WHERE jaula = ? ORDER BY juez, rowid"));
    rows.bind(1, cageText(cage));
    while (rows.step()) {
        JudgeScores row;
        row.juez = rows.isNull(0) ? 0 : int(rows.int64(0));
        for (int i = 0; i < apartadoCount; ++i)
            row.puntos[std::size_t(i)] = rows.isNull(1 + i) ? 0 : rows.real(1 + i);
        row.puntost = rows.isNull(6) ? 0 : rows.real(6);
        cage_.rows.push_back(row);
    }
    std::tie(cage_.finalScore, cage_.termina) = finalOf(db, cage, rule);
    return cage_;
}

QString newRowRefusal(const store::Database& db, int cage, const Paloma& bird, qint64 juez, int jueces)
{
    if (bird.groupD())
        return groupDRefusal();
    if (const QString refusal = judgeRangeRefusal(juez, jueces); !refusal.isEmpty())
        return refusal;
    if (rowCount(db, cage) >= jueces)
        return fullCageRefusal(cage, jueces);
    const std::variant<int, QString> judge = checkNewJudge(db, cage, QString::number(juez), jueces);
    if (const QString* refused = std::get_if<QString>(&judge))
        return *refused;
    return {};
}

void storeJudgeRow(store::Recordset& puntos, int cage, const JudgeScores& row, const QString& grupo)
{
    try {
        puntos.setValue(QStringLiteral("jaula"), cageText(cage));
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

RemoteEntry anotarPuntuacion(store::Database& db, int cage, qint64 juez,
                             const std::array<double, apartadoCount>& puntos)
{
    store::Transaction transaction(db);
    const std::optional<Paloma> bird = palomaEnJaula(db, cage);
    if (!bird)
        return {RemoteEntry::Outcome::NoBird,
                QStringLiteral("No hay ninguna paloma en la jaula %1.").arg(cage)};
    const ScoringRule rule = ScoringRule::read(db);
    if (sameRowStored(db, cage, juez, puntos))
        return {RemoteEntry::Outcome::AlreadyStored, alreadyStoredMessage(cage, juez)};
    if (const QString refusal = newRowRefusal(db, cage, *bird, juez, rule.jueces); !refusal.isEmpty())
        return {RemoteEntry::Outcome::Conflict, refusal};
    for (int i = 0; i < apartadoCount; ++i)
        if (!withinRange(i, puntos[std::size_t(i)]))
            return {RemoteEntry::Outcome::ScoreRefused, scoreRefusedMessage()};

    // Bound, not spliced: the statements are compiled once and kept for the next score.
    store::Statement insert = db.prepare(
        QStringLiteral("INSERT INTO Puntos (jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5, puntost, "
                       "Grupo, categ) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ' ')"));
    insert.bind(1, cageText(cage)).bind(2, juez);
    for (int i = 0; i < apartadoCount; ++i)
        insert.bind(3 + i, puntos[std::size_t(i)]);
    insert.bind(8, totalOf(puntos)).bind(9, bird->grupo.trimmed());
    insert.run();

    const auto [score, flag] = finalOf(db, cage, rule);
    store::Statement update =
        db.prepare(QStringLiteral("UPDATE Recepcion SET puntos = ?, termina = ? WHERE jaula = ?"));
    update.bind(1, score).bind(2, flag).bind(3, qint64(cage));
    update.run();
    transaction.commit();
    return {};
}

QString alreadyStoredMessage(int cage, qint64 juez)
{
    return QStringLiteral("La puntuación del juez %1 en la jaula %2 ya estaba guardada.").arg(juez).arg(cage);
}

std::vector<int> cagesToScore(const store::Database& db, qint64 juez, int jueces)
{
    store::Statement cages = db.query(QStringLiteral(
        "SELECT DISTINCT r.jaula FROM Recepcion r WHERE upper(trim(r.grupo)) <> 'D' "
        "AND NOT EXISTS (SELECT 1 FROM Puntos p WHERE p.jaula = CAST(r.jaula AS TEXT) AND p.juez = ?) "
        "AND (SELECT count(*) FROM Puntos p WHERE p.jaula = CAST(r.jaula AS TEXT)) < ? ORDER BY r.jaula"));
    cages.bind(1, juez).bind(2, qint64(jueces));
    std::vector<int> found;
    while (cages.step())
        found.push_back(int(cages.int64(0)));
    return found;
}

} // namespace judging
