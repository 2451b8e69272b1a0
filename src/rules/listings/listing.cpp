#include "rules/listings/listing.h"

namespace listings
{

QString sexWord(const QString& sexo)
{
    return sexo == u"M" ? QStringLiteral("Machos") : QStringLiteral("Hembras");
}

ListingTitles classificationTitles(const QString& nombre, const QString& grupo, const QString& categ,
                                   const QString& sexo)
{
    ListingTitles titles;
    titles.label1 = nombre;
    titles.label2 = QStringLiteral("Clasificación General");
    if (categ.isEmpty()) {
        titles.caption = QStringLiteral("Listado del Grupo ") + grupo + QStringLiteral("  ") + sexWord(sexo);
        titles.label3 = QStringLiteral("Grupo ") + grupo + u' ' + sexWord(sexo);
    } else {
        titles.caption =
            QStringLiteral("Listado del Grupo ") + grupo + QStringLiteral("  Categoria ") + categ;
        titles.label3 = QStringLiteral("Grupo ") + grupo + QStringLiteral("  Categoria ") + categ;
    }
    return titles;
}

ListingTitles provinceTitles(const QString& nombre)
{
    return {QStringLiteral("Listados"), nombre, QString(), QStringLiteral("Clasificación Por Provincia")};
}

QString unrankedHeading()
{
    return QStringLiteral("Ausentes y descalificadas");
}

} // namespace listings
