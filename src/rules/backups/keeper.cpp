#include "rules/backups/keeper.h"

#include "rules/backups/copies.h"
#include "store/backup.h"
#include "store/database.h"
#include "store/error.h"

namespace backups
{

namespace
{

QString occasionText(Occasion occasion)
{
    QString when;
    switch (occasion) {
    case Occasion::Opening:
        when = QStringLiteral("al abrir la exposición");
        break;
    case Occasion::BeforeDelete:
        when = QStringLiteral("antes de borrar una jaula");
        break;
    case Occasion::BeforeDeleteAll:
        when = QStringLiteral("antes de borrar todas las jaulas");
        break;
    case Occasion::BeforeImport:
        when = QStringLiteral("antes de importar");
        break;
    case Occasion::Periodic:
        when = QStringLiteral("periódica");
        break;
    }
    return when;
}

} // namespace

QString failureText(Occasion occasion, const QString& cause)
{
    return QStringLiteral("No se ha podido hacer la copia de seguridad %1: %2")
        .arg(occasionText(occasion), cause);
}

QString damageText(Occasion occasion, const QString& damage)
{
    return QStringLiteral("Copia de seguridad %1: %2").arg(occasionText(occasion), damage);
}

bool Keeper::take(const store::Database& db, Occasion occasion) noexcept
{
    QString problem;
    try {
        const std::optional<quint32> counter = store::changeCounter(db.path());
        m_lastCopy = backups::take(db);
        m_exhibition = db.path();
        m_counter = counter;
    } catch (const DamagedExhibition& e) {
        problem = damageText(occasion, e.message());
    } catch (const base::Error& e) {
        problem = failureText(occasion, e.message());
    } catch (const std::exception& e) {
        problem = failureText(occasion, QString::fromLocal8Bit(e.what()));
    }
    if (onOutcome)
        onOutcome(problem);
    return problem.isEmpty();
}

bool Keeper::takeIfChanged(const store::Database& db) noexcept
{
    if (!db.isOpen())
        return true;
    if (db.path() == m_exhibition && m_counter && store::changeCounter(db.path()) == m_counter)
        return true;
    return take(db, Occasion::Periodic);
}

} // namespace backups
