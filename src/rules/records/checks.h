#pragma once

// The checks before a show is closed: what may put its results in dispute, one warning a line.

#include <QString>
#include <vector>

namespace store
{
class Database;
}

namespace records
{

struct Warning {
    int jaula = 0;   // the cage the warning is about; 0 when it names none (a judge, a province)
    QString anilla;  // the bird's ring, when the cage holds more than one
    QString text;    // "Jaula 12: 2 de 3 jueces"
};

// Every warning of the show, in the order of the checks. clubsPath: the clubs file to check the
// club codes and provinces against; empty, those checks are left out.
std::vector<Warning> checkShow(const store::Database& db, const QString& clubsPath);

// The last line of a list of warnings: "N avisos", "1 aviso", or "Sin avisos".
QString warningsCount(std::size_t count);

} // namespace records
