#pragma once

// When the open exhibition is copied: on opening, before a cage is deleted ("Borrar", "Borrar
// Todas"), before an import is stored, and every periodMinutes while it changes. A copy that fails never
// stops the action it precedes: the keeper says why, for the status bar, and the action goes on.

#include <QString>
#include <functional>
#include <optional>

namespace store
{
class Database;
}

namespace backups
{

enum class Occasion { Opening, BeforeDelete, BeforeDeleteAll, BeforeImport, Periodic };

// How often the copy of a changing exhibition is taken while it is open.
constexpr int periodMinutes = 10;

class Keeper
{
public:
    // Told after every copy: "" when it was made, otherwise a sentence saying which copy failed
    // and why.
    std::function<void(const QString& problem)> onOutcome;

    // Takes a copy now. Never throws; false when no copy was made.
    bool take(const store::Database& db, Occasion occasion) noexcept;

    // The periodic copy: taken only when the file changed (by this or another program) since the
    // last copy this keeper took of it; true when none was needed or it was made.
    bool takeIfChanged(const store::Database& db) noexcept;

    // The path of the last copy made, "" before the first.
    const QString& lastCopy() const { return m_lastCopy; }

private:
    QString m_exhibition;             // the file of the last copy
    std::optional<quint32> m_counter; // its change counter when it was copied
    QString m_lastCopy;
};

// "No se ha podido hacer la copia de seguridad al abrir la exposición: " and the cause.
QString failureText(Occasion occasion, const QString& cause);
// "Copia de seguridad al abrir la exposición: " and the damage the copy showed.
QString damageText(Occasion occasion, const QString& damage);

} // namespace backups
