#pragma once

// The exhibition's settings, the one Config row, as the configuration window shows and stores
// them. Kept apart from the window so that the rules (blanks, criterion, number of judges) are
// reachable without widgets.

#include <QString>
#include <optional>

namespace store
{
class Recordset;
}

namespace config
{

// The boxes of the configuration window, as text, and the two criterion options.
struct Settings {
    QString nombre;
    QString region;
    QString dibujo;
    QString jueces;
    QString juez; // the remarks ("Observaciones")
    bool media = false;
    bool quitar = false;
};

// The fields of the result's current record as the boxes show them (a field without a value
// gives an empty box); nothing when the result holds no record.
std::optional<Settings> read(const store::Recordset& configRs);

// The number of judges: a whole number from 1 to 99, blanks around it ignored ("3" or "3,0"). A judging
// window with 0 judges refuses to work, and more than 99 judges is a typing mistake.
constexpr int fewestJudges = 1;
constexpr int mostJudges = 99;
std::optional<int> parseJueces(const QString& text);
QString invalidJuecesMessage(const QString& text);

// The emblem's file name written when the row is created here.
inline const QString defaultDibujo = QStringLiteral("Talvorena1.Gif");

// What the show still lacks before its day can run, in one line for the main window: judges, or
// a configuration never stored (no criterion chosen: a new show), which comes first, then the clubs
// and the reception; "" when the configuration is complete.
QString pendingSetUp(const std::optional<Settings>& settings);

// Stores the settings through the result: a new row when it holds none (with the emblem's file
// name and without remarks), otherwise a change of its row (whose emblem stays as it was). An
// empty name, region or remarks box is stored as one blank. A number of judges that
// parseJueces refuses raises store::Error and nothing is written.
void store(store::Recordset& configRs, const Settings& settings);

} // namespace config
