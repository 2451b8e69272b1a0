#pragma once

// What one listing window shows, as plain data: its captions and its body (the preview text of
// the classification of groups A to C, or the rows of the group D and province lists). The
// printout and the TXT document are made from this, so that the windows, palomas-cli and the
// tests produce the very same output.

#include <QString>
#include <vector>

namespace listings
{

// Captions of a listing window. The output takes label1, label2 and label3 as titles.
struct ListingTitles {
    QString caption; // the window's caption
    QString label1;  // the exhibition's name
    QString label2;  // "Clasificación General" (empty in the province ranking)
    QString label3;  // "Grupo A Machos", "Grupo D  Categoria C", "Clasificación Por Provincia"
};

// "Machos" for "M", "Hembras" for anything else.
QString sexWord(const QString& sexo);

// The captions of the classification windows (groups A to C and group D): by group and
// category when a category is chosen, by group and sex otherwise.
ListingTitles classificationTitles(const QString& nombre, const QString& grupo, const QString& categ,
                                   const QString& sexo);

// The captions of the classification by province.
ListingTitles provinceTitles(const QString& nombre);

// One row of the group D list, as its columns show it.
struct GroupDRow {
    int orden = 0;  // the row's tag
    QString anilla; // "05-1234567"
    QString conc;
    QString coef; // "#,##0.00"
    QString propietario;
    QString jaula;
};

// One row of the province list.
struct ProvinceRow {
    int orden = 0;
    QString provincia;
    QString puntos;
};

// "Ausentes y descalificadas": the heading of the birds a listing does not rank.
QString unrankedHeading();

enum class ListingKind {
    Classification, // Listabc: groups A to C by sex
    GroupD,         // Listados: group D by category
    Province,       // ListadoCl: provinces
};

struct Listing {
    ListingKind kind = ListingKind::Classification;
    ListingTitles titles;
    QString text;                       // Classification: the preview text, CR LF lines
    std::vector<GroupDRow> groupD;      // GroupD
    std::vector<ProvinceRow> provinces; // Province
    // The birds of a classification or group D list that are not ranked, one line each
    // (unrankedLines); the documents list them under unrankedHeading() after the ranking.
    std::vector<QString> unranked;
    QString sello;                      // a closed show's seal, the documents' last line; "" when open

    // A classification of groups A to C without birds can be neither printed nor saved.
    bool canBeSaved() const { return kind != ListingKind::Classification || !text.isEmpty(); }
};

} // namespace listings
