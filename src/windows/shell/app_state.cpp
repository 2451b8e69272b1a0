#include "windows/shell/app_state.h"

#include "rules/exhibition/exhibition.h"

#include <QFileInfo>

namespace
{

QVariant configValue(const store::Recordset& config, const QString& field)
{
    if (config.recordCount() == 0 || config.eof() || config.bof())
        return {};
    return config.value(field);
}

} // namespace

judging::ScoringRule AppState::scoringRule() const
{
    return judging::ScoringRule::of(configRs);
}

QString AppState::configText(const QString& field) const
{
    return configValue(configRs, field).toString();
}

namespace exhibition
{

void open(AppState& state, const QString& path)
{
    Opened opened = openFiles(path, state.programFolder);
    store::Recordset rece =
        opened.exhibition.openRecordset(QStringLiteral("select * from Recepcion order by val(Jaula)"));
    store::Recordset config = opened.exhibition.openRecordset(QStringLiteral("select * from config "));
    store::Recordset puntos = opened.exhibition.openRecordset(QStringLiteral("select * from puntos "));
    store::Recordset clubRs = opened.clubs.openRecordset(QStringLiteral("select * from club "));

    state.dbPath = QFileInfo(path).absoluteFilePath();
    state.mainDb = std::move(opened.exhibition);
    state.clubDb = std::move(opened.clubs);
    state.receRs = std::move(rece);
    state.configRs = std::move(config);
    state.puntosRs = std::move(puntos);
    state.clubRs = std::move(clubRs);
}

} // namespace exhibition
