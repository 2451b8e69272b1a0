#include "rules/records/checks.h"

#include "rules/judging/final_score.h"
#include "rules/records/paper_checks.h"
#include "rules/records/show_checks.h"
#include "store/database.h"

#include <algorithm>
#include <map>

namespace records
{

namespace detail
{

namespace
{

// A cage's number as a score row writes it; rows whose text names no cage are left out.
std::optional<int> cageOf(const QString& text)
{
    bool ok = false;
    const int cage = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(cage) : std::nullopt;
}

} // namespace

Show readShow(const store::Database& db)
{
    Show show;
    show.jueces = judging::ScoringRule::read(db).jueces;

    // A bird is present while Estado holds no row of it: of its ring, or of its cage without a ring
    // (a cage of one bird).
    store::Statement birds = db.query(QStringLiteral(
        "SELECT r.jaula, r.anilla, r.grupo, r.categ, r.club, EXISTS (SELECT 1 FROM \"Estado\" e "
        "WHERE e.jaula = r.jaula AND (trim(coalesce(e.anilla, '')) = '' OR trim(e.anilla) = trim(coalesce(r.anilla, '')))) "
        "FROM Recepcion r WHERE r.jaula IS NOT NULL ORDER BY r.jaula, r.rowid"));
    while (birds.step())
        show.birds.push_back({int(birds.int64(0)), birds.text(1).trimmed(), birds.text(2).trimmed().toUpper(),
                              birds.text(3).trimmed(), birds.text(4).trimmed(), birds.int64(5) == 0});

    store::Statement scores =
        db.query(QStringLiteral("SELECT jaula, juez, puntos1, puntos2, puntos3, puntos4, puntos5, puntost "
                                "FROM Puntos ORDER BY rowid"));
    while (scores.step()) {
        const std::optional<int> cage = cageOf(scores.text(0));
        if (!cage)
            continue;
        ScoreRow row{*cage, int(scores.int64(1)), {}, 0};
        for (int i = 0; i < judging::apartadoCount; ++i)
            row.puntos[std::size_t(i)] = scores.isNull(2 + i) ? 0 : scores.real(2 + i);
        // A row without its total counts what its criteria add up to, as the judging window does.
        row.total = scores.isNull(7) ? judging::totalOf(row.puntos) : scores.real(7);
        show.scores.push_back(row);
    }
    return show;
}

Warning birdWarning(const Show& show, const Bird& bird, const QString& what)
{
    const auto count = std::count_if(show.birds.begin(), show.birds.end(),
                                     [&](const Bird& other) { return other.jaula == bird.jaula; });
    return {bird.jaula, count > 1 ? bird.anilla : QString(),
            QStringLiteral("Jaula %1: %2").arg(bird.jaula).arg(what)};
}

void checkBirds(const Show& show, std::vector<Warning>& out)
{
    std::map<int, int> perCage;
    for (const Bird& bird : show.birds)
        ++perCage[bird.jaula];
    for (const auto& [cage, count] : perCage)
        if (count > 1)
            out.push_back({cage, {}, QStringLiteral("Jaula %1: %2 palomas").arg(cage).arg(count)});
    for (const Bird& bird : show.birds)
        if (bird.grupo == u'D' && bird.categ.isEmpty())
            out.push_back(birdWarning(show, bird, QStringLiteral("grupo D sin categoría")));
    for (const Bird& bird : show.birds)
        if (bird.anilla.isEmpty())
            out.push_back(birdWarning(show, bird, QStringLiteral("sin anilla")));
}

} // namespace detail

std::vector<Warning> checkShow(const store::Database& db, const QString& clubsPath)
{
    std::vector<Warning> warnings;
    store::Transaction reading(db, store::Transaction::Kind::Read);
    const detail::Show show = detail::readShow(db);
    detail::checkMissingJudges(show, warnings);
    detail::checkJudgeDifferences(show, warnings);
    detail::checkBirds(show, warnings);
    detail::checkClubs(show, clubsPath, warnings);
    detail::checkRepeatedRows(show, warnings);
    for (const UncheckedCount& judge : uncheckedCounts(db))
        warnings.push_back({0, {}, uncheckedText(judge)});
    return warnings;
}

QString warningsCount(std::size_t count)
{
    if (count == 0)
        return QStringLiteral("Sin avisos");
    return count == 1 ? QStringLiteral("1 aviso") : QStringLiteral("%1 avisos").arg(count);
}

} // namespace records
