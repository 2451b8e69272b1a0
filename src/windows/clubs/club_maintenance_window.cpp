#include "windows/clubs/club_maintenance_window.h"

#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/store_guard.h"
#include "kit/toolbar.h"
#include "rules/clubs/club_search.h"
#include "store/recordset.h"
#include "ui_club_maintenance_window.h"
#include "windows/clubs/club_windows.h"
#include "windows/shell/app_state.h"

#include <QScopedValueRollback>
#include <QStyle>
#include <QTreeWidget>

ClubMaintenanceWindow::ClubMaintenanceWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ClubMaintenanceWindow>())
{
    m_ui->setupUi(this);
    clubs::emphasize(m_ui->Label1, 1.3);
    clubs::keepPlace(m_ui->Frame5);
    m_ui->Frame1->setFrameShape(QFrame::NoFrame);
    m_ui->Text2->setMinimumWidth(260);
    clubs::sameWidth(m_ui->Frame2, m_ui->Frame3);
    clubs::setUpList(m_ui->ListView1);

    toolbar::setUp(m_ui->Toolbar1, {{m_ui->ps1, QStyle::SP_FileDialogNewFolder},
                                    {m_ui->ps2, QStyle::SP_TrashIcon},
                                    {m_ui->ps3, QStyle::SP_FileDialogDetailedView},
                                    {m_ui->ps4, QStyle::SP_FileDialogContentsView},
                                    {m_ui->ps6, QStyle::SP_DialogCloseButton}});

    connect(m_ui->ps1, &QAction::triggered, this, &ClubMaintenanceWindow::grabar);
    connect(m_ui->ps2, &QAction::triggered, this, &ClubMaintenanceWindow::anular);
    connect(m_ui->ps3, &QAction::triggered, this, [this] { guarded(this, [this] { modificar(); }); });
    connect(m_ui->ps4, &QAction::triggered, this, &ClubMaintenanceWindow::openSearch);
    connect(m_ui->ps6, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->Command1, &QPushButton::clicked, this, [this] { guarded(this, [this] { aceptar(); }); });
    connect(m_ui->Command2, &QPushButton::clicked, this, &ClubMaintenanceWindow::cancelar);
    connect(m_ui->Command3, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { searchByName(); }); });
    connect(m_ui->Text7, &QLineEdit::returnPressed, m_ui->Command3, &QPushButton::click);
    connect(m_ui->Command4, &QPushButton::clicked, this, [this] {
        m_ui->ListView1->setFocus(Qt::OtherFocusReason);
        m_ui->Frame3->hide();
    });
    connect(m_ui->Text1, &QLineEdit::textChanged, this,
            [this](const QString& code) { m_ui->Command1->setEnabled(!code.trimmed().isEmpty()); });

    // Moving along the list shows the club of the entry reached, whatever moved it.
    connect(m_ui->ListView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!m_filling && item != nullptr)
            guarded(this, [&] { showEntry(m_ui->ListView1->indexOfTopLevelItem(item)); });
    });
    focus::onFocusIn(m_ui->ListView1, [this] {
        if (!m_filling && m_state.clubRs.recordCount() > 0)
            guarded(this, [this] { showEntry(selectedIndex()); });
    });
    focus::selectAllOnFocus(m_ui->Text1);
    focus::selectAllOnFocus(m_ui->Text3);

    KeyboardHelper* keys = KeyboardHelper::install(this, {true, true, m_ui->Frame5});
    keys->keepEnter(m_ui->Text7);
    keys->onKeyPress([this](QKeyEvent* key, QWidget*) { return handleKey(KeyboardHelper::ctrlDigit(key)); });
    // "4 Buscar" while its button is enabled; the legend greys what is disabled.
    keys->numberedCommands({m_ui->ps1, m_ui->ps2, m_ui->ps3, m_ui->ps4, nullptr, m_ui->ps6});
}

ClubMaintenanceWindow::~ClubMaintenanceWindow() = default;

int ClubMaintenanceWindow::exec()
{
    if (!guarded(this, [this] { load(); }))
        return Rejected;
    return QDialog::exec();
}

void ClubMaintenanceWindow::load()
{
    m_newClub = false;
    m_ui->Label1->setText(QStringLiteral("CONSULTA"));
    m_ui->Frame2->setEnabled(false);
    m_ui->Frame2->setTitle(QStringLiteral("Grabar/Modificar"));
    m_ui->Frame1->hide();
    m_ui->Frame3->hide();
    m_ui->Frame5->hide();
    enableButtons({m_ui->ps1, m_ui->ps6}, true);
    fill();
    const QScopedValueRollback quiet(m_filling, true); // the list's own signals: no look-up
    m_ui->ListView1->setFocus(Qt::OtherFocusReason);
}

// Ctrl+1, 2, 3 and 6 act in every state, whatever the toolbar shows.
bool ClubMaintenanceWindow::handleKey(int digit)
{
    switch (digit) {
    case 1:
        grabar();
        return true;
    case 2:
        // A deletion during an entry ends the entry first, storing nothing, so that the window
        // is never left half in GRABAR or MODIFICAR with its toolbar off.
        if (m_ui->Frame2->isEnabled())
            cancelar();
        anular();
        return true;
    case 3:
        guarded(this, [this] { modificar(); });
        return true;
    case 6:
        close();
        return true;
    default:
        return false;
    }
}

void ClubMaintenanceWindow::fill()
{
    m_clubs = clubs::reopen(m_state.clubDb, m_state.clubRs, clubs::Order::CodeAsText);
    {
        const QScopedValueRollback quiet(m_filling, true);
        clubs::fillList(m_ui->ListView1, m_clubs, clubs::maintenanceEntry);
    }
    m_shown = -1;
    if (m_clubs.empty()) {
        clearFields();
        enableButtons({m_ui->ps2, m_ui->ps3, m_ui->ps4}, false);
    } else {
        select(0);
        enableButtons({m_ui->ps1, m_ui->ps2, m_ui->ps3, m_ui->ps4}, true);
    }
}

void ClubMaintenanceWindow::showEntry(int index)
{
    if (!clubs::moveTo(m_state.clubRs, index))
        return;
    showClub(clubs::current(m_state.clubRs));
    m_shown = index;
}

// Selects the entry at index and shows its club; no entry is selected when there is none there.
void ClubMaintenanceWindow::select(int index)
{
    QTreeWidgetItem* item = m_ui->ListView1->topLevelItem(index);
    {
        const QScopedValueRollback quiet(m_filling, true);
        m_ui->ListView1->setCurrentItem(item);
        if (item == nullptr)
            m_ui->ListView1->clearSelection();
    }
    if (item == nullptr) {
        m_shown = -1;
        return;
    }
    m_ui->ListView1->scrollToItem(item);
    showEntry(index);
}

int ClubMaintenanceWindow::selectedIndex() const
{
    QTreeWidgetItem* item = m_ui->ListView1->currentItem();
    return item == nullptr || !item->isSelected() ? -1 : m_ui->ListView1->indexOfTopLevelItem(item);
}

clubs::Club ClubMaintenanceWindow::typedClub() const
{
    return {m_ui->Text1->text(), m_ui->Text2->text(), m_ui->Text3->text()};
}

void ClubMaintenanceWindow::showClub(const clubs::Club& club)
{
    m_ui->Text1->setText(club.codigo.trimmed());
    m_ui->Text2->setText(club.nombre);
    m_ui->Text3->setText(club.provincia);
}

void ClubMaintenanceWindow::clearFields()
{
    m_ui->Text1->clear();
    m_ui->Text2->clear();
    m_ui->Text3->clear();
}

void ClubMaintenanceWindow::enableButtons(std::initializer_list<QAction*> buttons, bool enabled)
{
    for (QAction* button : buttons)
        button->setEnabled(enabled);
}

void ClubMaintenanceWindow::enterEntry(const QString& status, const QString& caption)
{
    m_ui->Frame2->setEnabled(true);
    m_ui->Frame1->show();
    m_ui->Label1->setText(status);
    m_ui->Frame2->setTitle(caption);
}

void ClubMaintenanceWindow::leaveEntry()
{
    {
        // The fields keep what they show: the list takes the focus without a look-up.
        const QScopedValueRollback quiet(m_filling, true);
        m_ui->ListView1->setFocus(Qt::OtherFocusReason);
    }
    m_ui->Frame2->setEnabled(false);
    m_ui->Frame1->hide();
    m_ui->Label1->setText(QStringLiteral("CONSULTAR"));
}

void ClubMaintenanceWindow::grabar()
{
    enableButtons({m_ui->ps1, m_ui->ps2, m_ui->ps3, m_ui->ps4, m_ui->ps6}, false);
    m_newClub = true;
    enterEntry(QStringLiteral("GRABAR"), QStringLiteral("Grabar Un Club Nuevo"));
    clearFields();
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
}

void ClubMaintenanceWindow::modificar()
{
    const int index = selectedIndex();
    if (index < 0)
        return;
    m_newClub = false;
    m_state.selClubCodigo = m_ui->ListView1->topLevelItem(index)->data(0, Qt::UserRole).toString();
    enterEntry(QStringLiteral("MODIFICAR"), QStringLiteral("Modificar el Club"));
    showEntry(index);
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
    enableButtons({m_ui->ps1, m_ui->ps2, m_ui->ps3, m_ui->ps4, m_ui->ps6}, false);
}

void ClubMaintenanceWindow::aceptar()
{
    const clubs::Club club = typedClub();
    const bool hasCode = !club.codigo.trimmed().isEmpty();
    if (m_newClub && !hasCode)
        return;
    if (hasCode) {
        if (const auto refused = clubs::refusal(club)) {
            Messages::inform(this, QStringLiteral("Aviso"), refused->message);
            QLineEdit* box = refused->field == clubs::Field::Codigo   ? m_ui->Text1
                             : refused->field == clubs::Field::Nombre ? m_ui->Text2
                                                                      : m_ui->Text3;
            focus::later(box);
            return;
        }
        if (m_newClub) {
            clubs::add(m_state.clubRs, club);
            fill();
        } else {
            const int position = selectedIndex();
            clubs::changeAt(m_state.clubRs, m_shown, club);
            fill();
            select(position);
        }
    }
    leaveEntry();
    enableButtons({m_ui->ps1, m_ui->ps2, m_ui->ps3, m_ui->ps4, m_ui->ps6}, true);
}

void ClubMaintenanceWindow::cancelar()
{
    if (m_state.clubRs.recordCount() == 0)
        enableButtons({m_ui->ps1, m_ui->ps6}, true);
    else
        enableButtons({m_ui->ps1, m_ui->ps2, m_ui->ps3, m_ui->ps4, m_ui->ps6}, true);
    leaveEntry();
}

void ClubMaintenanceWindow::anular()
{
    if (m_clubs.empty())
        return;
    m_ui->Label1->setText(QStringLiteral("ANULAR"));
    guarded(this, [this] {
        const int position = selectedIndex();
        if (position < 0)
            return;
        if (Messages::ask(this, QStringLiteral("Atención"), QStringLiteral("¿Desea Borrar el Club?"))) {
            clubs::removeAt(m_state.clubRs, position);
            m_clubs.erase(m_clubs.begin() + position);
            const QScopedValueRollback quiet(m_filling, true);
            delete m_ui->ListView1->takeTopLevelItem(position);
        }
        select(position);
        if (position >= int(m_clubs.size()))
            enableButtons({m_ui->ps1, m_ui->ps6}, true); // the fields keep what they showed
    });
    m_ui->Label1->setText(QStringLiteral("CONSULTAR"));
    if (m_clubs.empty()) {
        clearFields();
        enableButtons({m_ui->ps1, m_ui->ps6}, true);
        enableButtons({m_ui->ps2, m_ui->ps3, m_ui->ps4}, false);
    }
}

void ClubMaintenanceWindow::openSearch()
{
    m_ui->Frame3->show();
    m_ui->Text7->setFocus(Qt::OtherFocusReason);
    m_ui->Text7->selectAll();
}

void ClubMaintenanceWindow::searchByName()
{
    const std::optional<int> found = clubs::findByName(m_clubs, m_ui->Text7->text());
    if (!found) {
        m_state.clubPattern = clubs::nameBeginning(m_ui->Text7->text());
        clubs::showNotFound(this);
        m_ui->Text7->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_state.clubPattern = m_clubs[std::size_t(*found)].nombre;
    select(*found);
    m_ui->ListView1->setFocus(Qt::OtherFocusReason);
    m_ui->Frame3->hide();
}
