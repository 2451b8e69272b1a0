#pragma once

#include <QDialog>
#include <memory>

struct AppState;

namespace Ui
{
class ConfigWindow;
}

// The exhibition's settings: name, region, number of judges, scoring criterion and remarks,
// the one Config row. It opens browsing (the settings read-only, "&Aceptar" disabled);
// "&Modificar" brings back the stored values for editing and "&Aceptar" stores them. The printer choices and
// "&Rta Doc" are kept for the users who know them from the old program; they are not stored.
class ConfigWindow : public QDialog
{
    Q_OBJECT
public:
    ConfigWindow(AppState& state, QWidget* parent = nullptr);
    ~ConfigWindow() override;

    // The opening work: reopens the shared ConfigRs over the Config row and fills the boxes.
    void load();

    int exec() override;

signals:
    // The settings were stored: the main window shows the name and region at once.
    void settingsStored();

private:
    void fill();
    void modificar();
    void aceptar();
    void setCriterion(bool media, bool quitar);
    void setEditing(bool editing);

    AppState& m_state;
    std::unique_ptr<Ui::ConfigWindow> m_ui;
};
