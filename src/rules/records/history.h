#pragma once

// The history of every change to a show: who changed what, from where and when, as the file's
// own triggers recorded it (store/records.h), oldest first.

#include <QString>
#include <optional>
#include <vector>

namespace store
{
class Database;
}

namespace records
{

// Where a change comes from, as the history names it.
namespace origins
{
QString reception();             // "Recepción"
QString judging();               // "Puntuación"
QString configuration();         // "Configuración"
QString recalculation();         // "Recálculo": the final scores recomputed before they are shown
QString commandLine();           // "Línea de órdenes"
QString restore();               // "Restauración"
QString closing();               // "Cierre"
QString phone(int judge);        // "Teléfono juez J"
QString import(const QString& fileName); // "Importación ARCHIVO"
} // namespace origins

struct Change {
    QString fecha; // "AAAA-MM-DD HH:MM:SS", local time
    QString origen;
    QString jaula; // empty: the change is not a bird's (the configuration, a closing)
    std::optional<int> juez;
    QString campo;
    QString antes;   // empty: there was nothing
    QString despues; // empty: nothing is left
};

struct HistoryFilter {
    std::optional<int> jaula;
    std::optional<int> juez;
};

std::vector<Change> history(const store::Database& db, const HistoryFilter& filter = {});

// "2026-12-07 10:31:02  Recepción  jaula 12  sexo: M -> H"; the judge after the cage when there
// is one, "(nada)" for a value that was not there.
QString historyLine(const Change& change);

// A change that is no row's (a copy restored): one line of its own, with its origin.
void recordEvent(store::Database& db, const QString& origin, const QString& campo, const QString& antes,
                 const QString& despues);

// The time of the last change on record; empty when there is none.
QString lastChangeTime(const store::Database& db);

} // namespace records
