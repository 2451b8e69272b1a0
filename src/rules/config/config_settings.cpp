#include "rules/config/config_settings.h"

#include "base/formats.h"
#include "base/shown_value.h"
#include "store/error.h"
#include "store/recordset.h"

#include <cmath>

namespace config
{

namespace
{

// The stored text of a box that may be left empty: the original's files keep one blank there.
QString blankWhenEmpty(const QString& box)
{
    return box.isEmpty() ? QStringLiteral(" ") : box;
}

} // namespace

std::optional<Settings> read(const store::Recordset& configRs)
{
    if (configRs.recordCount() < 1 || configRs.eof() || configRs.bof())
        return std::nullopt;
    Settings shown;
    shown.nombre = configRs.text(QStringLiteral("Nombre"));
    shown.region = configRs.text(QStringLiteral("region"));
    shown.dibujo = configRs.text(QStringLiteral("Dibujo"));
    shown.jueces = configRs.text(QStringLiteral("jueces"));
    shown.juez = configRs.text(QStringLiteral("juez"));
    shown.media = configRs.value(QStringLiteral("media")).toBool();
    shown.quitar = configRs.value(QStringLiteral("quitar")).toBool();
    return shown;
}

std::optional<int> parseJueces(const QString& text)
{
    const std::optional<double> number = formats::parseNumber(text);
    if (!number || *number != std::floor(*number) || *number < fewestJudges || *number > mostJudges)
        return std::nullopt;
    return int(*number);
}

QString invalidJuecesMessage(const QString& text)
{
    return QStringLiteral("El número de jueces «%1» no es válido: debe ser un número entero del %2 al %3.")
        .arg(formats::shownValue(text.trimmed()))
        .arg(fewestJudges)
        .arg(mostJudges);
}

QString pendingSetUp(const std::optional<Settings>& settings)
{
    if (!settings || settings->jueces.trimmed().toInt() < fewestJudges)
        return QStringLiteral("La configuración no tiene jueces: póngalos en 3 Configuracion, o no se "
                              "podrá puntuar.");
    if (!settings->media && !settings->quitar)
        return QStringLiteral("Para empezar: 3 Configuracion (número de jueces y criterio); después "
                              "4 Club; después 1 Recepcion.");
    return {};
}

void store(store::Recordset& configRs, const Settings& settings)
{
    const std::optional<int> jueces = parseJueces(settings.jueces);
    if (!jueces)
        throw base::ValidationError(invalidJuecesMessage(settings.jueces));
    const bool creating = configRs.recordCount() < 1;
    if (creating) {
        configRs.addNew();
    } else {
        if (configRs.eof() || configRs.bof())
            configRs.moveFirst();
        configRs.edit();
    }
    configRs.setValue(QStringLiteral("nombre"), blankWhenEmpty(settings.nombre));
    configRs.setValue(QStringLiteral("region"), blankWhenEmpty(settings.region));
    if (creating)
        configRs.setValue(QStringLiteral("dibujo"), defaultDibujo);
    configRs.setValue(QStringLiteral("jueces"), *jueces);
    if (!creating)
        configRs.setValue(QStringLiteral("juez"), blankWhenEmpty(settings.juez));
    configRs.setValue(QStringLiteral("media"), settings.media);
    configRs.setValue(QStringLiteral("quitar"), settings.quitar);
    try {
        configRs.update();
    } catch (...) {
        configRs.cancelUpdate();
        throw;
    }
}

} // namespace config
