#include "server/board.h"

#include "rules/judging/final_score.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/classifications.h"
#include "rules/listings/group_d_list.h"
#include "rules/listings/listing.h"
#include "rules/listings/openings.h"
#include "rules/listings/province_ranking.h"
#include "rules/records/closed_state.h"
#include "server/api_json.h"
#include "server/json_text.h"
#include "store/database.h"

namespace server
{

namespace
{

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
    QHash<QString, QByteArray> byCateg;
    for (const listings::ClassificationKey& key : listings::classifications()) {
        if (key.groupD() && byCateg.isEmpty()) // the classifications of A to C are done
            all.endArray().key("grupoD").beginArray();
        const QByteArray rows =
            key.groupD() ? groupDJson(listings::llenarListaGrupoD(db, key.grupo, key.categ))
                         : classificationJson(finished(listings::clasificacion(db, key.grupo, key.sexo)));
        (key.groupD() ? byCateg : byName).insert(key.name(), rows);
        all.beginObject()
            .key("clave")
            .value(key.name())
            .key("titulo")
            .value(listings::classificationTitles(nombre, key.grupo, key.categ, key.sexo).label3)
            .key("filas")
            .raw(rows)
            .endObject();
    }
    const QByteArray provinces = provincesJson(listings::clasificacionPorProvincia(db, clubs));
    const QString sello = records::closedSeal(db);
    building.commit();
    all.endArray()
        .key("provincias")
        .beginObject()
        .key("titulo")
        .value(listings::provinceTitles(nombre).label3)
        .key("filas")
        .raw(provinces)
        .endObject();
    if (!sello.isEmpty()) // an open show's board stays as it was
        all.key("sello").value(records::sealLine(sello));
    all.endObject();

    m_classifications = std::move(byName);
    m_groupD = std::move(byCateg);
    m_provinces = provinces;
    m_all = all.text();
    m_version = version;
}

bool Board::isClassificationName(const QString& name)
{
    const auto& all = listings::classifications();
    return std::any_of(all.begin(), all.end(),
                       [&](const auto& key) { return !key.groupD() && key.name() == name; });
}

bool Board::isGroupDName(const QString& categ)
{
    const auto& all = listings::classifications();
    return std::any_of(all.begin(), all.end(),
                       [&](const auto& key) { return key.groupD() && key.name() == categ; });
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
