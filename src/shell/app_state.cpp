#include "shell/app_state.h"

namespace
{

QVariant configValue(const store::Recordset& config, const QString& field)
{
    if (config.recordCount() == 0 || config.eof() || config.bof())
        return {};
    return config.value(field);
}

} // namespace

int AppState::jueces() const
{
    return configValue(configRs, QStringLiteral("jueces")).toInt();
}

bool AppState::media() const
{
    return configValue(configRs, QStringLiteral("media")).toBool();
}

QString AppState::configText(const QString& field) const
{
    return configValue(configRs, field).toString();
}
