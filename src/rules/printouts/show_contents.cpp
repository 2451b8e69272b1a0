#include "rules/printouts/show_contents.h"

#include "rules/judging/final_score.h"
#include "rules/listings/classification_text.h"
#include "rules/listings/classifications.h"
#include "rules/records/closed_state.h"
#include "store/database.h"
#include "store/text_order.h"

#include <QDateTime>
#include <algorithm>
#include <map>
#include <tuple>

namespace printouts
{

namespace
{

QString trimmedText(store::Statement& row, int column)
{
    return row.isNull(column) ? QString() : row.text(column).trimmed();
}

QDate storedDate(store::Statement& row, int column)
{
    if (row.isNull(column))
        return {};
    const QString text = row.text(column).trimmed();
    const QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    return when.isValid() ? when.date() : QDate::fromString(text, Qt::ISODate);
}

// The catalogue's heading of a class: "Grupo A Machos", "Grupo D Categoría C".
QString headingOf(const listings::ClassificationKey& key)
{
    return key.groupD()
               ? QStringLiteral("Grupo D Categoría ") + key.categ
               : QStringLiteral("Grupo %1 %2")
                     .arg(key.grupo, key.sexo == u"M" ? QStringLiteral("Machos") : QStringLiteral("Hembras"));
}

} // namespace

Show readShow(const store::Database& exhibition, const store::Database* clubs)
{
    Show show;
    store::Statement config =
        exhibition.query(QStringLiteral("SELECT Nombre, Region, fecha FROM Config ORDER BY rowid LIMIT 1"));
    if (config.step()) {
        show.nombre = trimmedText(config, 0);
        show.region = trimmedText(config, 1);
        show.fecha = storedDate(config, 2);
    }
    show.jueces = judging::ScoringRule::read(exhibition).jueces;
    show.sello = records::closedSeal(exhibition);
    if (!show.fecha.isValid())
        show.fecha = QDate::currentDate();

    store::Statement birds = exhibition.query(
        QStringLiteral("SELECT jaula, anilla, \"año\", sexo, licencia, club, nombre, color, grupo, categ "
                       "FROM Recepcion ORDER BY jaula, rowid"));
    while (birds.step()) {
        Bird bird;
        bird.jaula = birds.isNull(0) ? 0 : int(birds.int64(0));
        bird.anilla = trimmedText(birds, 1);
        bird.anio = trimmedText(birds, 2);
        bird.sexo = trimmedText(birds, 3).toUpper() == u"M" ? QStringLiteral("M") : QStringLiteral("H");
        bird.licencia = trimmedText(birds, 4);
        bird.club = trimmedText(birds, 5);
        bird.nombre = trimmedText(birds, 6);
        bird.color = trimmedText(birds, 7);
        bird.grupo = trimmedText(birds, 8).toUpper();
        bird.categ = trimmedText(birds, 9).toUpper();
        show.birds.push_back(std::move(bird));
    }

    if (clubs != nullptr && clubs->isOpen()) {
        store::Statement rows = clubs->query(QStringLiteral("SELECT Codigo, Nombre, Provincia FROM club"));
        while (rows.step()) {
            const QString codigo = trimmedText(rows, 0);
            if (!codigo.isEmpty() && !show.clubs.contains(codigo))
                show.clubs.insert(codigo, {trimmedText(rows, 1), trimmedText(rows, 2)});
        }
    }
    return show;
}

QString sexName(const QString& sexo)
{
    return sexo == u"M" ? QStringLiteral("Macho") : QStringLiteral("Hembra");
}

QString classOfBird(const Bird& bird)
{
    const QString sep = QStringLiteral(" · ");
    QString text = QStringLiteral("Grupo ") + bird.grupo;
    if (bird.grupo == u"D")
        text += sep + QStringLiteral("Cat. ") + bird.categ;
    return text + sep + sexName(bird.sexo);
}

QString ringOf(const Bird& bird)
{
    return listings::ringText(bird.anilla, bird.anio);
}

Club clubOf(const Show& show, const Bird& bird)
{
    return show.clubs.value(bird.club);
}

std::vector<const Bird*> judgedBirds(const Show& show)
{
    std::vector<const Bird*> birds;
    for (const Bird& bird : show.birds)
        if (listings::isJudgedGroup(bird.grupo))
            birds.push_back(&bird);
    return birds;
}

std::vector<CatalogueClass> catalogueClasses(const Show& show)
{
    std::vector<CatalogueClass> classes;
    const std::vector<listings::ClassificationKey>& keys = listings::classifications();
    for (const listings::ClassificationKey& key : keys)
        classes.push_back({headingOf(key), {}});
    classes.push_back({QStringLiteral("Otras palomas"), {}});

    for (const Bird& bird : show.birds) {
        const auto found =
            std::find_if(keys.begin(), keys.end(), [&](const listings::ClassificationKey& key) {
                return key.grupo == bird.grupo &&
                       (key.groupD() ? key.categ == bird.categ : key.sexo == bird.sexo);
            });
        classes[std::size_t(found - keys.begin())].birds.push_back(&bird); // the end is "Otras palomas"
    }
    std::erase_if(classes, [](const CatalogueClass& c) { return c.birds.empty(); });
    return classes;
}

std::vector<Exhibitor> exhibitors(const Show& show)
{
    std::vector<Exhibitor> owners;
    std::map<std::tuple<QString, QString, QString>, std::size_t> byKey;
    for (const Bird& bird : show.birds) {
        const auto key = std::make_tuple(bird.nombre, bird.licencia, bird.club);
        auto found = byKey.find(key);
        if (found == byKey.end()) {
            found = byKey.emplace(key, owners.size()).first;
            owners.push_back({bird.nombre, bird.licencia, bird.club, {}});
        }
        owners[found->second].birds.push_back(&bird);
    }
    std::stable_sort(owners.begin(), owners.end(), [](const Exhibitor& a, const Exhibitor& b) {
        for (const auto& [x, y] : {std::pair{&a.nombre, &b.nombre}, std::pair{&a.licencia, &b.licencia},
                                   std::pair{&a.club, &b.club}}) {
            const int order = store::text::compare(*x, *y);
            if (order != 0)
                return order < 0;
        }
        return false;
    });
    return owners;
}

QString cageList(const Exhibitor& exhibitor)
{
    QStringList cages;
    for (const Bird* bird : exhibitor.birds)
        cages << QString::number(bird->jaula);
    return cages.join(QStringLiteral(", "));
}

} // namespace printouts
