#include "windows/records/closing_actions.h"

#include "kit/messages.h"
#include "rules/records/checks.h"
#include "rules/records/closing.h"
#include "rules/records/history.h"
#include "store/database.h"
#include "windows/shell/app_state.h"

#include <algorithm>

namespace records
{

namespace
{
const QString closingTitle = QStringLiteral("Cerrar la exposición");
const QString reopeningTitle = QStringLiteral("Reabrir");
} // namespace

bool cerrarLaExposicion(QWidget* parent, AppState& state)
{
    refuseIfClosed(state.mainDb);
    const std::vector<Warning> warnings = checkShow(state.mainDb, state.clubDb.path());
    if (!warnings.empty()) {
        // The first few, as a box can hold them; the window of the checks lists them all.
        constexpr std::size_t shown = 10;
        QStringList lines;
        for (std::size_t i = 0; i < std::min(shown, warnings.size()); ++i)
            lines << warnings[i].text;
        if (warnings.size() > shown)
            lines << QStringLiteral("... y %1 más: véalos en «Comprobar la exposición».")
                         .arg(warningsCount(warnings.size() - shown));
        lines << QString()
              << QStringLiteral("¿Cerrar la exposición con %1?").arg(warningsCount(warnings.size()));
        if (!Messages::ask(parent, closingTitle, lines.join(u'\n'), Messages::Answer::No))
            return false;
    }
    const store::OriginScope origin(state.mainDb, origins::closing());
    const QString sello = closeShow(state.mainDb);
    Messages::inform(parent, closingTitle, QStringLiteral("Exposición cerrada. Sello: %1").arg(sello));
    return true;
}

bool reabrirLaExposicion(QWidget* parent, AppState& state)
{
    if (!isClosed(state.mainDb)) {
        Messages::inform(parent, reopeningTitle, notClosedMessage());
        return false;
    }
    const std::optional<QString> motivo =
        Messages::askText(parent, reopeningTitle, QStringLiteral("Motivo para reabrir la exposición:"));
    if (!motivo)
        return false;
    const store::OriginScope origin(state.mainDb, origins::closing());
    reopenShow(state.mainDb, *motivo);
    Messages::inform(parent, reopeningTitle, QStringLiteral("Exposición reabierta"));
    return true;
}

QString statusText(const AppState& state)
{
    const QString sello = closedSeal(state.mainDb);
    return sello.isEmpty() ? QStringLiteral("Programa para las Exposiciones Regionales")
                           : QStringLiteral("Cerrada. Sello: %1").arg(sello);
}

} // namespace records
