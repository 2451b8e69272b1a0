#include "windows/config/config_window.h"

#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/store_guard.h"
#include "rules/config/config_settings.h"
#include "rules/records/history.h"
#include "store/database.h"
#include "ui_config_window.h"
#include "windows/shell/app_state.h"

ConfigWindow::ConfigWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ConfigWindow>())
{
    m_ui->setupUi(this);
    // Esc has no role here: what is being typed is lost only through "&Salir".
    KeyboardHelper::install(this, {.enterAsTab = true, .escapeCloses = false, .legend = nullptr});
    focus::selectAllOnFocus(m_ui->Text1);
    focus::selectAllOnFocus(m_ui->Text3);
    // Remarks stored as one blank come back empty, so that typing does not start after a blank.
    focus::onFocusIn(m_ui->Text7, [this] {
        if (m_ui->Text7->toPlainText() == u" ")
            m_ui->Text7->clear();
    });
    connect(m_ui->ConfAceptar, &QPushButton::clicked, this, &ConfigWindow::aceptar);
    connect(m_ui->confModificar, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { modificar(); }); });
    connect(m_ui->confSalir, &QPushButton::clicked, this, &QDialog::reject);
}

ConfigWindow::~ConfigWindow() = default;

int ConfigWindow::exec()
{
    if (!guarded(this, [this] { load(); }))
        return QDialog::Rejected;
    return QDialog::exec();
}

void ConfigWindow::load()
{
    setEditing(false);
    m_state.configRs = m_state.mainDb.openRecordset(QStringLiteral("select * from config"));
    fill();
    if (m_state.configRs.recordCount() < 1) {
        m_ui->Text6->setText(QStringLiteral("0"));
        m_ui->Text1->clear();
        m_ui->Text3->clear();
        m_ui->Text2->clear();
    }
    m_ui->confModificar->setFocus(Qt::OtherFocusReason); // Enter starts the editing
}

// Browsing, the stored settings take no typing, which "&Modificar" would throw away; editing,
// "&Aceptar" stores them.
void ConfigWindow::setEditing(bool editing)
{
    for (QLineEdit* box : {m_ui->Text1, m_ui->Text3, m_ui->Text6})
        box->setReadOnly(!editing);
    m_ui->Text7->setReadOnly(!editing);
    m_ui->frameCriterio->setEnabled(editing);
    m_ui->confModificar->setEnabled(!editing);
    m_ui->ConfAceptar->setEnabled(editing);
}

void ConfigWindow::fill()
{
    const std::optional<config::Settings> stored = config::read(m_state.configRs);
    if (!stored)
        return;
    m_ui->Text1->setText(stored->nombre);
    m_ui->Text3->setText(stored->region);
    m_ui->Text5->setText(stored->dibujo);
    m_ui->Text6->setText(stored->jueces);
    m_ui->Text7->setPlainText(stored->juez);
    setCriterion(stored->media, stored->quitar);
}

// The two options exclude each other; a row never stored from here has neither.
void ConfigWindow::setCriterion(bool media, bool quitar)
{
    for (QRadioButton* option : {m_ui->Option1, m_ui->Option2}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
    }
    // Set in the old window's order: the second option, when true, wins over the first.
    if (quitar)
        m_ui->Option2->setChecked(true);
    else if (media)
        m_ui->Option1->setChecked(true);
    for (QRadioButton* option : {m_ui->Option1, m_ui->Option2})
        option->setAutoExclusive(true);
}

void ConfigWindow::modificar()
{
    fill();
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
    m_ui->Text1->selectAll(); // also when the name had the focus already: typing replaces it
    setEditing(true);
}

void ConfigWindow::aceptar()
{
    config::Settings typed;
    typed.nombre = m_ui->Text1->text();
    typed.region = m_ui->Text3->text();
    typed.jueces = m_ui->Text6->text();
    typed.juez = m_ui->Text7->toPlainText();
    typed.media = m_ui->Option1->isChecked();
    typed.quitar = m_ui->Option2->isChecked();
    if (!config::parseJueces(typed.jueces)) {
        Messages::inform(this, QStringLiteral("Aviso"), config::invalidJuecesMessage(typed.jueces));
        focus::later(m_ui->Text6);
        return;
    }
    const bool stored = guarded(this, [&] {
        const store::OriginScope origin(m_state.mainDb, records::origins::configuration());
        config::store(m_state.configRs, typed);
        // Every window opened afterwards reads the settings through ConfigRs, on its row.
        m_state.configRs = m_state.mainDb.openRecordset(QStringLiteral("select * from config"));
    });
    if (!stored)
        return;
    setEditing(false);
    m_ui->confModificar->setFocus(Qt::OtherFocusReason);
    emit settingsStored();
}
