#include "server/board.h"

#include "rules/judging/final_score.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/group_d_list.h"
#include "rules/listings/listing.h"
#include "rules/listings/openings.h"
#include "rules/listings/province_ranking.h"
#include "server/api_json.h"
#include "store/database.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace server
{

namespace
{

const QStringList judgedGroups{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
const QStringList sexes{QStringLiteral("M"), QStringLiteral("H")};
const QStringList groupDCategories{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                   QStringLiteral("D"), QStringLiteral("E")};

QByteArray text(const QJsonArray& rows)
{
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

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
    judging::recalcularPuntuaciones(db);
    const QString nombre = listings::exhibitionName(db);

    QJsonArray classifications;
    QHash<QString, QByteArray> byName;
    for (const QString& grupo : judgedGroups)
        for (const QString& sexo : sexes) {
            const QJsonArray rows = classificationJson(finished(listings::clasificacion(db, grupo, sexo)));
            byName.insert(grupo + sexo, text(rows));
            classifications.append(
                QJsonObject{{QStringLiteral("clave"), grupo + sexo},
                            {QStringLiteral("titulo"),
                             listings::classificationTitles(nombre, grupo, QString(), sexo).label3},
                            {QStringLiteral("filas"), rows}});
        }
    QJsonArray groupD;
    QHash<QString, QByteArray> byCateg;
    for (const QString& categ : groupDCategories) {
        const QJsonArray rows = groupDJson(listings::llenarListaGrupoD(db, QStringLiteral("D"), categ));
        byCateg.insert(categ, text(rows));
        groupD.append(QJsonObject{
            {QStringLiteral("clave"), categ},
            {QStringLiteral("titulo"),
             listings::classificationTitles(nombre, QStringLiteral("D"), categ, QString()).label3},
            {QStringLiteral("filas"), rows}});
    }
    const QJsonArray provinces = provincesJson(listings::clasificacionPorProvincia(db, clubs));
    building.commit();

    m_classifications = std::move(byName);
    m_groupD = std::move(byCateg);
    m_provinces = text(provinces);
    m_all = QJsonDocument(
                QJsonObject{{QStringLiteral("nombre"), nombre.trimmed()},
                            {QStringLiteral("clasificaciones"), classifications},
                            {QStringLiteral("grupoD"), groupD},
                            {QStringLiteral("provincias"),
                             QJsonObject{{QStringLiteral("titulo"), listings::provinceTitles(nombre).label3},
                                         {QStringLiteral("filas"), provinces}}}})
                .toJson(QJsonDocument::Compact);
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
