#pragma once

// The clubs of Club.mdb as the club windows handle them, without any window: the orders in which
// they are listed, what each list shows of a club, and the storing, changing and deleting of a
// club through the shared clubs result.
//
// A list is always filled from a result opened in the list's own order, so the list's entry i is
// the result's record i. The windows act on the club of the selected entry through that index,
// never through its code: two clubs may share a code, and a code may carry blanks around it.

#include <QString>
#include <optional>
#include <vector>

namespace store
{
class Database;
class Recordset;
} // namespace store

namespace clubs
{

struct Club {
    QString codigo;    // as stored, blanks included
    QString nombre;    // "" when the field holds no value
    QString provincia; // "" when the field holds no value
};

enum class Order {
    CodeAsText,   // "10" before "2": the maintenance list
    CodeAsNumber, // 2, 7, 10: the search window by code
    Name,
};

// The query text of an order over every club.
QString query(Order order);

// Reopens result over every club in the order and returns the clubs in that order.
std::vector<Club> reopen(const store::Database& clubDb, store::Recordset& result, Order order);

// Positions result on its record at index (0-based, in the result's order, deleted records not
// counted). False, leaving the position as it was, when there is no such record.
bool moveTo(store::Recordset& result, int index);

// The club of the result's current record.
Club current(const store::Recordset& result);

// What a list shows of a club: the entry's text, the tag the windows act on, and the two other
// columns.
struct ListEntry {
    QString text;
    QString tag;
    QString nombre;
    QString provincia;
};

// Maintenance: the code without blanks around it, the name as stored, the province in capitals.
ListEntry maintenanceEntry(const Club& club);
// Search: the code as stored (it is what the search hands back), name and province in capitals.
ListEntry searchEntry(const Club& club);

enum class Field { Codigo, Nombre, Provincia };

struct Refusal {
    Field field;
    QString message; // a Spanish sentence naming the field
};

// Why a club cannot be stored as it stands: an empty code (blanks alone are empty), or a field
// longer than the table holds. No value when it can.
std::optional<Refusal> refusal(const Club& club);

// Store a new club, change the club at index, delete the club at index, each through result.
// A refusal or a missing club raises store::Error; nothing is written then.
void add(store::Recordset& result, const Club& club);
void changeAt(store::Recordset& result, int index, const Club& club);
void removeAt(store::Recordset& result, int index);

} // namespace clubs
