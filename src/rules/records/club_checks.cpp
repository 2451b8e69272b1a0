#include "rules/records/checks.h"
#include "rules/records/show_checks.h"
#include "store/database.h"

#include <QSet>
#include <QStringList>
#include <map>

namespace records::detail
{

namespace
{

// What the ranking by province would take for one province though its names differ: the letters
// without accents, case or blanks.
QString provinceKey(const QString& name)
{
    QString key;
    for (const QChar c : name.normalized(QString::NormalizationForm_D))
        if (!c.isMark() && !c.isSpace())
            key += c.toLower();
    return key;
}

} // namespace

void checkClubs(const Show& show, const QString& clubsPath, std::vector<Warning>& out)
{
    if (clubsPath.isEmpty())
        return;
    const store::Database clubs =
        store::Database::open(clubsPath, store::schema::clubs(), store::Database::Access::ReadOnly);
    QSet<QString> codes;
    std::vector<QString> keys;                // in the file's order, each once
    std::map<QString, QStringList> provinces; // key -> the names as written, each once
    {
        store::Transaction reading(clubs, store::Transaction::Kind::Read);
        store::Statement rows =
            clubs.query(QStringLiteral("SELECT Codigo, Provincia FROM club ORDER BY rowid"));
        while (rows.step()) {
            codes.insert(rows.text(0).trimmed());
            const QString province = rows.text(1);
            const QString key = provinceKey(province);
            if (key.isEmpty())
                continue;
            QStringList& names = provinces[key];
            if (names.isEmpty())
                keys.push_back(key);
            if (!names.contains(province))
                names << province;
        }
    }
    for (const Bird& bird : show.birds)
        if (!bird.club.isEmpty() && !codes.contains(bird.club))
            out.push_back(birdWarning(
                show, bird, QStringLiteral("el club %1 no está en el fichero de clubes").arg(bird.club)));
    for (const QString& key : keys)
        if (provinces[key].size() > 1)
            out.push_back({0,
                           {},
                           QStringLiteral("Provincias que se confunden: ") +
                               provinces[key].join(QStringLiteral(", "))});
}

} // namespace records::detail
