#pragma once

// Storing a received bird, and the deletions of the reception window, without widgets: the
// field rules of the entry frame (group and category, the group D conditions, the sex from the
// list) and the passes that remove cages with their judges' scores.

#include <QString>
#include <optional>
#include <vector>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace backups
{
class Keeper;
}

namespace reception
{

// The entry frame as typed when "Aceptar" is pressed.
struct BirdEntry {
    QString jaula;    // Text1
    QString anilla;   // Text2
    QString anio;     // Text3 ("Año")
    QString sexo;     // Combo1's text: "Macho" or "Hembra"
    QString color;    // Text5
    QString licencia; // Text6
    QString nombre;   // Text7 ("Propietario")
    QString club;     // Text8
    QString grupo;    // Text9
    QString categ;    // Text4
    QString conc;     // Text14
    QString km;       // Text15
    QString coef;     // Text16
};

// The boxes of the entry, so that a window can put the focus on the one at fault.
enum class EntryField { Jaula, Anilla, Anio, Color, Licencia, Nombre, Club, Grupo, Categ, Conc, Km, Coef };

struct EntryProblem {
    EntryField field;
    QString message; // a Spanish sentence naming the field
};

// The values a bird is stored with.
struct BirdRecord {
    int jaula = 0;
    QString anilla, anio, sexo, color, licencia, nombre, club, grupo, categ;
    int conc = 0;
    int km = 0;
    double coef = 0;
};

// Group D birds carry a category and the conditions; the group is compared in capitals.
bool isGroupD(const QString& grupo);

// A category typed as a digit: "1" to "5" give "A" to "E"; any other text is kept as typed.
QString categoryFromDigit(const QString& text);

// The first problem of the entry, in the order of the boxes: a cage that is not a whole number
// from 1 to 999, a text longer than its field, in group D a category other than A to E (or 1 to
// 5, in either case of letter), a condition that is not a number.
std::optional<EntryProblem> check(const BirdEntry& entry);

// The values stored for a checked entry: the group in capitals; "M" or "H" from the sex;
// group D keeps its category in capitals and its conditions (the leading number of the contests and
// kilometres, the coefficient read with the decimal comma, 0 for an empty box); any other group gets the
// category " " and zeros. Raises store::Error with check()'s message for an entry it refuses.
BirdRecord toRecord(const BirdEntry& entry);

// One received bird: its cage and its row in Recepcion. The reception import stores a second
// bird in a cage in use when its ring differs, so the cage alone does not name one bird.
struct BirdRow {
    int jaula = 0;
    qint64 row = 0; // store::Recordset::rowid(); 0 names the cage's first bird
};

// A result over the bird's cage, positioned on the bird; an empty result when it is gone.
store::Recordset birdRecord(const store::Database& db, const BirdRow& bird);

enum class EntryMode { NewCage, Modify };

// Stores the bird. A new cage is refused with "Jaula Existente" when the number is in use, and
// starts with no final score (0, "N") until the list reload computes it. A modification changes
// the record of the bird in row (0: the cage's first bird), keeping its score, and is refused
// when the bird is gone.
void storeBird(store::Database& db, const BirdRecord& bird, EntryMode mode, qint64 row = 0);

// Whether a cage of that number has been received.
bool cageExists(const store::Database& db, int cage);

// The cage of every bird received, one entry per bird, in no particular order.
std::vector<int> receivedCages(const store::Database& db);

// The deletions take a copy of the exhibition first, through the keeper ("Copias de seguridad"):
// a deletion is the one change that cannot be typed back. A copy that fails does not stop the
// deletion; the keeper tells why.

// Deletes the bird alone, in one transaction; the judges' rows of its cage go with the last bird
// of the cage. A bird that is not there (deleted meanwhile) deletes nothing and gives false.
bool deleteBird(store::Database& db, backups::Keeper& keeper, const BirdRow& bird);

// Deletes every cage and every judge's row of the exhibition, in one transaction; the
// configuration and the clubs stay.
void deleteAllCages(store::Database& db, backups::Keeper& keeper);

} // namespace reception
