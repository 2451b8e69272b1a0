#include "server/board.h"

#include "rules/judging/final_score.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/group_d_list.h"
#include "rules/listings/listing.h"
#include "rules/listings/openings.h"
#include "rules/listings/province_ranking.h"
#include "server/api_json.h"
#include "server/json_text.h"
#include "store/database.h"


namespace server
{

namespace
{

const QStringList judgedGroups{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
const QStringList sexes{QStringLiteral("M"), QStringLiteral("H")};
const QStringList groupDCategories{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                   QStringLiteral("D"), QStringLiteral("E")};

// Judging is blind: a bird is shown, with its owner, only once every judge has scored it.
std::vector<listings::ClassifiedBird> finished(std::vector<listings::ClassifiedBird> birds)
{
    std::erase_if(birds, [](const listings::ClassifiedBird& bird) { return bird.termina.trimmed() != u"S"; });
    return birds;
}

} // namespace

void Board::update(store::Database& db, store::Recordset& clubs, qint64 version)
{
    if (version == m_version)
        return;
    // Built on a copy of the file in memory (see BoardKeeper): the final scores brought up to
    // date and the province work tables are the copy's, never the file's.
    store::Transaction building(db);
    judging::recomputeFinalScores(db);
    const QString nombre = listings::exhibitionName(db);

    JsonText all;
    all.beginObject().key("nombre").value(nombre.trimmed()).key("clasificaciones").beginArray();
    QHash<QString, QByteArray> byName;
    for (const QString& grupo : judgedGroups)
        for (const QString& sexo : sexes) {
            const QByteArray rows = classificationJson(finished(listings::clasificacion(db, grupo, sexo)));
            byName.insert(grupo + sexo, rows);
            all.beginObject()
                .key("clave").value(grupo + sexo)
                .key("titulo").value(listings::classificationTitles(nombre, grupo, QString(), sexo).label3)
                .key("filas").raw(rows)
                .endObject();
        }
    all.endArray().key("grupoD").beginArray();
    QHash<QString, QByteArray> byCateg;
    for (const QString& categ : groupDCategories) {
        const QByteArray rows = groupDJson(listings::llenarListaGrupoD(db, QStringLiteral("D"), categ));
        byCateg.insert(categ, rows);
        all.beginObject()
            .key("clave").value(categ)
            .key("titulo").value(listings::classificationTitles(nombre, QStringLiteral("D"), categ, QString()).label3)
            .key("filas").raw(rows)
            .endObject();
    }
    const QByteArray provinces = provincesJson(listings::clasificacionPorProvincia(db, clubs));
    building.commit();
    all.endArray()
        .key("provincias")
        .beginObject()
        .key("titulo").value(listings::provinceTitles(nombre).label3)
        .key("filas").raw(provinces)
        .endObject()
        .endObject();

    m_classifications = std::move(byName);
    m_groupD = std::move(byCateg);
    m_provinces = provinces;
    m_all = all.text();
    m_version = version;
}

bool Board::isClassificationName(const QString& name)
{
    return name.size() == 2 && judgedGroups.contains(name.left(1)) && sexes.contains(name.mid(1));
}

bool Board::isGroupDName(const QString& categ)
{
    return groupDCategories.contains(categ);
}

std::optional<QByteArray> Board::classification(const QString& name) const
{
    const auto found = m_classifications.constFind(name);
    return found == m_classifications.cend() ? std::nullopt : std::optional<QByteArray>(*found);
}

std::optional<QByteArray> Board::groupD(const QString& categ) const
{
    const auto found = m_groupD.constFind(categ);
    return found == m_groupD.cend() ? std::nullopt : std::optional<QByteArray>(*found);
}

} // namespace server
