#pragma once

// What the show-day printouts are made of, read from the exhibition as it stands: its name and
// region, the birds received in cage order, the clubs they come from, and the classes and
// exhibitors they fall into. The pages themselves are laid out in src/output/printouts.

#include <QDate>
#include <QHash>
#include <QString>
#include <vector>

namespace store
{
class Database;
}

namespace printouts
{

struct Bird {
    int jaula = 0;
    QString anilla; // as stored, trimmed
    QString anio;
    QString sexo; // "M" or "H"; anything but "M" is a hen, as the reception list shows it
    QString licencia;
    QString club; // the club's code
    QString nombre;
    QString color;
    QString grupo;
    QString categ;
};

struct Club {
    QString nombre;
    QString provincia;
};

struct Show {
    QString nombre;
    QString region;
    QDate fecha; // the Config row's date, or the day the printout is made
    int jueces = 0;
    std::vector<Bird> birds;    // every bird received, in cage order
    QHash<QString, Club> clubs; // by code, trimmed
    QString sello;              // a closed show's seal; "" when open
};

// Reads the exhibition and, when given, the clubs database (nullptr or not open: every club
// unknown). Raises store::Error.
Show readShow(const store::Database& exhibition, const store::Database* clubs);

// "Macho" or "Hembra".
QString sexName(const QString& sexo);

// "Grupo A · Macho"; group D with its category: "Grupo D · Cat. B · Hembra".
QString classOfBird(const Bird& bird);

// The ring as the listings print it: 0012345-05.
QString ringOf(const Bird& bird);

// The club of a bird; an empty club (name and province blank) when its code is unknown.
Club clubOf(const Show& show, const Bird& bird);

// The birds a judge scores: groups A to C, in cage order (group D is not scored).
std::vector<const Bird*> judgedBirds(const Show& show);
// The lists below point into the show, which must outlive them.
std::vector<const Bird*> judgedBirds(const Show&& show) = delete;

// One class of the catalogue with its birds in cage order.
struct CatalogueClass {
    QString heading; // "Grupo A Machos", "Grupo D Categoría C", "Otras palomas"
    std::vector<const Bird*> birds;
};

// The catalogue's classes in their order: A M, A H, B M, B H, C M, C H, then group D by category
// A to E, then, when there are any, the birds whose group or category is none of those, so that
// every bird received appears once. Classes without birds are left out.
std::vector<CatalogueClass> catalogueClasses(const Show& show);
std::vector<CatalogueClass> catalogueClasses(const Show&& show) = delete;

// One exhibitor: the owner's name, licence and club as received, and the birds handed in, in
// cage order.
struct Exhibitor {
    QString nombre;
    QString licencia;
    QString club;
    std::vector<const Bird*> birds;
};

// The exhibitors in the order of their names (then licence and club), as the exhibition's files
// sort texts. Birds of the same name, licence and club belong to one exhibitor.
std::vector<Exhibitor> exhibitors(const Show& show);
std::vector<Exhibitor> exhibitors(const Show&& show) = delete;

// The cages of an exhibitor's birds: "3, 17, 250".
QString cageList(const Exhibitor& exhibitor);

} // namespace printouts
