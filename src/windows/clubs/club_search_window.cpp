#include "windows/clubs/club_search_window.h"

#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/store_guard.h"
#include "kit/toolbar.h"
#include "rules/clubs/club_search.h"
#include "store/recordset.h"
#include "ui_club_search_window.h"
#include "windows/clubs/club_windows.h"
#include "windows/shell/app_state.h"

#include <QKeyEvent>
#include <QStyle>
#include <QTreeWidget>

ClubSearchWindow::ClubSearchWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ClubSearchWindow>())
{
    m_ui->setupUi(this);
    clubs::emphasize(m_ui->Label1, 1.6);
    clubs::keepPlace(m_ui->Frame2);
    clubs::sameWidth(m_ui->Frame1, m_ui->Frame3);
    clubs::setUpList(m_ui->ListView1);
    toolbar::setUp(m_ui->Toolbar1, {{m_ui->so1, QStyle::SP_FileDialogContentsView},
                                    {m_ui->so3, QStyle::SP_DialogCloseButton}});

    connect(m_ui->so1, &QAction::triggered, this, &ClubSearchWindow::openSearch);
    connect(m_ui->so3, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->Command1, &QPushButton::clicked, this, &ClubSearchWindow::search);
    connect(m_ui->Text1, &QLineEdit::returnPressed, this, &ClubSearchWindow::search);
    connect(m_ui->Command2, &QPushButton::clicked, this, [this] {
        m_ui->ListView1->setFocus(Qt::OtherFocusReason);
        m_ui->Frame1->hide();
    });
    connect(m_ui->ListView1, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_state.clubRs.recordCount() > 0)
            chooseSelected();
    });
    // Reaching an order button, by mouse, Tab or its letter, lists the clubs in its order.
    focus::onFocusIn(m_ui->Option1, [this] { orderBy(clubs::Order::CodeAsNumber); });
    focus::onFocusIn(m_ui->Option2, [this] { orderBy(clubs::Order::Name); });
    focus::onFocusIn(m_ui->Text1, [this] { presetPattern(); });
    focus::selectAllOnFocus(m_ui->Text1);

    KeyboardHelper* keys = KeyboardHelper::install(this, {false, true, m_ui->Frame2});
    keys->keepEnter(m_ui->ListView1);
    keys->onKeyPress([this](QKeyEvent* key, QWidget* receiver) {
        if (receiver == m_ui->ListView1 && key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            chooseSelected();
            return true;
        }
        // Ctrl+3 closed the window before its legend's "2 Salir" was a key too.
        if (KeyboardHelper::ctrlDigit(key) != 3)
            return false;
        close();
        return true;
    });
    keys->numberedCommands({m_ui->so1, m_ui->so3});
}

ClubSearchWindow::~ClubSearchWindow() = default;

std::optional<QString> ClubSearchWindow::choose()
{
    exec();
    return m_chosen;
}

int ClubSearchWindow::exec()
{
    if (!guarded(this, [this] { load(); }))
        return Rejected;
    return QDialog::exec();
}

void ClubSearchWindow::load()
{
    m_chosen.reset();
    setWindowTitle(QStringLiteral("Ayuda de Club"));
    m_ui->Option1->setChecked(true);
    m_ui->Frame1->hide();
    m_ui->Frame2->hide();
    fill(clubs::Order::CodeAsNumber);
    m_ui->ListView1->setFocus(Qt::OtherFocusReason);
}

void ClubSearchWindow::fill(clubs::Order order)
{
    m_clubs = clubs::reopen(m_state.clubDb, m_state.clubRs, order);
    clubs::fillList(m_ui->ListView1, m_clubs, clubs::searchEntry);
    m_ui->so1->setEnabled(!m_clubs.empty());
    if (!m_clubs.empty())
        select(0);
}

void ClubSearchWindow::orderBy(clubs::Order order)
{
    (order == clubs::Order::Name ? m_ui->Option2 : m_ui->Option1)->setChecked(true);
    guarded(this, [&] { fill(order); });
    focus::later(m_ui->ListView1);
}

void ClubSearchWindow::select(int index)
{
    QTreeWidgetItem* item = m_ui->ListView1->topLevelItem(index);
    if (item == nullptr)
        return;
    m_ui->ListView1->setCurrentItem(item);
    m_ui->ListView1->scrollToItem(item);
}

void ClubSearchWindow::chooseSelected()
{
    QTreeWidgetItem* item = m_ui->ListView1->currentItem();
    if (item == nullptr)
        return;
    m_chosen = item->data(0, Qt::UserRole).toString();
    accept();
}

void ClubSearchWindow::openSearch()
{
    if (m_state.clubRs.recordCount() == 0)
        return;
    m_ui->Frame1->show();
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
}

// Typing replaces the preset: a code of four digits, or a name's whole width.
void ClubSearchWindow::presetPattern()
{
    m_ui->Text1->setText(m_ui->Option1->isChecked() ? QStringLiteral("0000") : QString(50, u' '));
    m_ui->Text1->selectAll();
}

void ClubSearchWindow::search()
{
    const QString typed = m_ui->Text1->text();
    std::optional<int> found;
    if (m_ui->Option1->isChecked()) {
        m_state.clubPattern = typed.trimmed();
        found = clubs::findByCode(m_clubs, typed);
    } else {
        m_state.clubPattern = typed.trimmed() + u'*';
        found = clubs::findByName(m_clubs, typed);
        if (found)
            m_state.clubPattern = m_clubs[std::size_t(*found)].nombre;
    }
    if (!found) {
        clubs::showNotFound(this);
        m_ui->Text1->setFocus(Qt::OtherFocusReason);
        return;
    }
    select(*found);
    m_ui->ListView1->setFocus(Qt::OtherFocusReason);
    m_ui->Frame1->hide();
}
