#include "windows/reception/reception_window.h"

#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/store_guard.h"
#include "kit/toolbar.h"
#include "kit/wait_cursor.h"
#include "rules/reception/bird_entry.h"
#include "rules/reception/cage_number.h"
#include "rules/records/history.h"
#include "rules/records/statuses.h"
#include "store/database.h"
#include "store/quote.h"
#include "ui_reception_window.h"
#include "windows/reception/status_dialog.h"
#include "windows/shell/app_state.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QTreeWidget>

using reception::EntryField;

ReceptionWindow::ReceptionWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ReceptionWindow>())
{
    m_ui->setupUi(this);
    toolbar::setUp(m_ui->Toolbar1, {{m_ui->p1, QStyle::SP_DialogSaveButton},
                                    {m_ui->p2, QStyle::SP_TrashIcon},
                                    {m_ui->p3, QStyle::SP_FileDialogDetailedView},
                                    {m_ui->p4, QStyle::SP_FileDialogContentsView},
                                    {m_ui->p5, QStyle::SP_DialogCloseButton},
                                    {m_ui->p6, QStyle::SP_DialogDiscardButton}});
    // The frames that come and go keep their place, so that the window does not jump.
    for (QWidget* w : {static_cast<QWidget*>(m_ui->Frame3), static_cast<QWidget*>(m_ui->Frame4),
                       static_cast<QWidget*>(m_ui->Frame6), static_cast<QWidget*>(m_ui->Frame2)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    const int widths[] = {70, 100, 60, 80, 160, 60, 60, 120};
    for (int column = 0; column < 8; ++column)
        m_ui->ListView1->setColumnWidth(column, widths[column]);

    KeyboardHelper* keys =
        KeyboardHelper::install(this, {.enterAsTab = true, .escapeCloses = true, .legend = m_ui->Frame2});
    keys->onKeyPress([this](QKeyEvent* key, QWidget* receiver) {
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier && !m_entering) {
            cambiarEstado();
            return true;
        }
        if (receiver != m_ui->Text8 || key->key() != Qt::Key_F1 ||
            (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != 0)
            return false;
        pickClub();
        return true;
    });
    // The toolbar's buttons by the numbers of the legend; a disabled one does nothing.
    keys->numberedCommands({m_ui->p1, m_ui->p2, m_ui->p3, m_ui->p4, m_ui->p5, m_ui->p6});

    connect(m_ui->p1, &QAction::triggered, this, &ReceptionWindow::grabar);
    connect(m_ui->p2, &QAction::triggered, this, &ReceptionWindow::borrar);
    connect(m_ui->p3, &QAction::triggered, this, &ReceptionWindow::modificar);
    connect(m_ui->p4, &QAction::triggered, this, &ReceptionWindow::buscar);
    connect(m_ui->p5, &QAction::triggered, this, &QDialog::reject);
    connect(m_ui->p6, &QAction::triggered, this, &ReceptionWindow::borrarTodas);
    connect(m_ui->Command1, &QPushButton::clicked, this, &ReceptionWindow::aceptar);
    connect(m_ui->Command2, &QPushButton::clicked, this, &ReceptionWindow::cancelar);
    connect(m_ui->ListView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { showCage(current); });

    focus::leavesWithoutChecks(m_ui->Command2);
    focus::onFocusOut(m_ui->Text1, [this] { checkDuplicate(); });
    focus::onFocusOut(m_ui->Text8, [this] {
        if (m_entering)
            guarded(this, [this] { lookUpClub(m_ui->Text8->text()); });
    });
    focus::onFocusOut(m_ui->Text9, [this] { leaveGroup(); });
    focus::onFocusOut(m_ui->Text4, [this] { leaveCategory(); });
}

ReceptionWindow::~ReceptionWindow() = default;

void ReceptionWindow::setClubPicker(std::function<std::optional<QString>()> picker)
{
    m_clubPicker = std::move(picker);
}

int ReceptionWindow::exec()
{
    load();
    return QDialog::exec();
}

int ReceptionWindow::execAt(int cage)
{
    load();
    selectCage(cage);
    return QDialog::exec();
}

bool ReceptionWindow::selectCage(int cage)
{
    QTreeWidget* list = m_ui->ListView1;
    const QString tag = QString::number(cage);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toString() == tag) {
            list->setCurrentItem(item);
            list->scrollToItem(item);
            list->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

void ReceptionWindow::load()
{
    WaitCursor wait;
    setWindowTitle(QStringLiteral("Recepcion de Palomas "));
    m_newCage = false;
    m_position = 0;
    endEntry();
    m_ui->Frame2->hide();
    m_ui->Frame4->hide();
    m_ui->Frame6->hide();
    reload();
}

// "6 Borrar Todas" follows the list at each reload and each time the window becomes active: when
// the user comes back to it. Coming back from one of its own boxes (a message, a question, the
// club search) is still the same piece of work, and an entry keeps the toolbar it started with.
bool ReceptionWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate) {
        m_inOwnBox = false;
        for (const QWidget* w = QApplication::activeWindow(); w != nullptr && !m_inOwnBox;
             w = w->parentWidget())
            m_inOwnBox = w->parentWidget() == this;
    } else if (event->type() == QEvent::WindowActivate) {
        if (!m_inOwnBox && !m_entering)
            m_ui->p6->setEnabled(m_ui->ListView1->topLevelItemCount() > 0);
        m_inOwnBox = false;
    }
    return QDialog::event(event);
}

void ReceptionWindow::startEntry(bool newCage)
{
    // No command of the toolbar, by button or Ctrl, runs while a cage is being typed: Ctrl+6 is
    // "Salir" in two other windows, and "Borrar Todas" here.
    for (QAction* tool : {m_ui->p1, m_ui->p2, m_ui->p3, m_ui->p4, m_ui->p5, m_ui->p6})
        tool->setEnabled(false);
    m_newCage = newCage;
    m_entering = true;
    // A modification can never write into another cage: its number is not typed again.
    m_ui->Text1->setReadOnly(!newCage);
    m_ui->ListView1->setEnabled(false);
    m_ui->Frame1->setEnabled(true);
    m_ui->Frame1->setTitle(newCage ? QStringLiteral("Grabar Una Jaula")
                                   : QStringLiteral("Modificar La Jaula"));
    m_ui->Frame3->show();
}

void ReceptionWindow::endEntry()
{
    m_entering = false;
    m_ui->Frame3->hide();
    m_ui->Frame1->setEnabled(false);
    m_ui->Text1->setReadOnly(false);
    m_ui->ListView1->setEnabled(true);
}

void ReceptionWindow::grabar()
{
    startEntry(true);
    std::optional<int> proposed;
    guarded(this, [&] { proposed = reception::proposeCage(reception::receivedCages(m_state.mainDb)); });
    m_ui->Text1->setText(proposed ? QString::number(*proposed) : QString());
    for (QLineEdit* box : {m_ui->Text2, m_ui->Text3, m_ui->Text4, m_ui->Text5, m_ui->Text6, m_ui->Text7,
                           m_ui->Text8, m_ui->Text9})
        box->clear();
    for (QLineEdit* box : {m_ui->Text14, m_ui->Text15, m_ui->Text16})
        box->setText(QStringLiteral("0"));
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
    m_ui->Text1->selectAll(); // Enter takes the proposal, typing replaces it
    m_ui->Command1->setEnabled(false);
    m_proposed = m_ui->Text1->text();
}

void ReceptionWindow::modificar()
{
    QTreeWidgetItem* item = m_ui->ListView1->currentItem();
    if (m_ui->ListView1->topLevelItemCount() == 0 || item == nullptr)
        return;
    if (m_entering)
        endEntry();
    showCage(item); // starts from what is stored
    m_state.currentJaula = item->data(0, Qt::UserRole).toString().trimmed();
    m_row = item->data(0, birdRowRole).toLongLong();
    m_position = m_ui->ListView1->indexOfTopLevelItem(item) + 1;
    startEntry(false);
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
}

void ReceptionWindow::checkDuplicate()
{
    if (!m_entering)
        return;
    m_ui->Command1->setEnabled(true);
    if (!m_newCage)
        return;
    const std::optional<int> cage = reception::parseCage(m_ui->Text1->text());
    if (!cage) // refused with its own message on "Aceptar"
        return;
    bool exists = false;
    if (!guarded(this, [&] { exists = reception::cageExists(m_state.mainDb, *cage); }) || !exists)
        return;
    Messages::inform(this, QStringLiteral("Aviso"), QStringLiteral("Jaula Existente"));
    m_ui->Text1->setText(m_proposed);
    focus::later(m_ui->Text1);
}

void ReceptionWindow::leaveGroup()
{
    if (!m_entering)
        return;
    m_ui->Text9->setText(m_ui->Text9->text().toUpper());
    if (m_ui->Text9->text() == u"D") {
        m_ui->Frame4->show();
        focus::later(m_ui->Text4);
    }
}

void ReceptionWindow::leaveCategory()
{
    if (!m_entering)
        return;
    if (m_ui->Text9->text() != u"D") {
        m_ui->Frame6->hide();
        return;
    }
    m_ui->Text4->setText(reception::categoryFromDigit(m_ui->Text4->text()));
    m_ui->Frame6->show();
    focus::later(m_ui->Text14);
    // A cage already stored brings back its conditions; a new one keeps the zeros of "Grabar".
    const std::optional<int> cage = reception::parseCage(m_ui->Text1->text());
    if (!cage)
        return;
    guarded(this, [&] {
        const store::Recordset rs = m_state.mainDb.openRecordset(
            QStringLiteral("select * from recepcion where cstr(jaula) = ") + store::quote(*cage));
        if (rs.recordCount() > 0)
            showConditions(rs.value(QStringLiteral("conc")), rs.value(QStringLiteral("km")),
                           rs.value(QStringLiteral("coef")));
    });
}

void ReceptionWindow::pickClub()
{
    if (!m_clubPicker || m_state.clubRs.recordCount() < 1)
        return;
    if (const std::optional<QString> code = m_clubPicker()) {
        m_ui->Text8->setText(*code);
        guarded(this, [this] { lookUpClub(m_ui->Text8->text()); });
    }
}

reception::BirdEntry ReceptionWindow::typedEntry() const
{
    reception::BirdEntry entry;
    // A modification stores into the cage it started on, whatever the box shows.
    entry.jaula = m_newCage ? m_ui->Text1->text() : m_state.currentJaula;
    entry.anilla = m_ui->Text2->text();
    entry.anio = m_ui->Text3->text();
    entry.sexo = m_ui->Combo1->currentText();
    entry.color = m_ui->Text5->text();
    entry.licencia = m_ui->Text6->text();
    entry.nombre = m_ui->Text7->text();
    entry.club = m_ui->Text8->text();
    entry.grupo = m_ui->Text9->text();
    entry.categ = m_ui->Text4->text();
    entry.conc = m_ui->Text14->text();
    entry.km = m_ui->Text15->text();
    entry.coef = m_ui->Text16->text();
    return entry;
}

QWidget* ReceptionWindow::box(EntryField field) const
{
    switch (field) {
    case EntryField::Jaula:
        return m_ui->Text1;
    case EntryField::Anilla:
        return m_ui->Text2;
    case EntryField::Anio:
        return m_ui->Text3;
    case EntryField::Color:
        return m_ui->Text5;
    case EntryField::Licencia:
        return m_ui->Text6;
    case EntryField::Nombre:
        return m_ui->Text7;
    case EntryField::Club:
        return m_ui->Text8;
    case EntryField::Grupo:
        return m_ui->Text9;
    case EntryField::Categ:
        return m_ui->Text4;
    case EntryField::Conc:
        return m_ui->Text14;
    case EntryField::Km:
        return m_ui->Text15;
    case EntryField::Coef:
        return m_ui->Text16;
    }
    return m_ui->Text1;
}

void ReceptionWindow::aceptar()
{
    const reception::BirdEntry entry = typedEntry();
    if (const auto problem = reception::check(entry)) {
        Messages::inform(this, QStringLiteral("Aviso"), problem->message);
        focus::later(box(problem->field));
        return;
    }
    const auto mode = m_newCage ? reception::EntryMode::NewCage : reception::EntryMode::Modify;
    const store::OriginScope origin(m_state.mainDb, records::origins::reception());
    if (!guarded(this,
                 [&] { reception::storeBird(m_state.mainDb, reception::toRecord(entry), mode, m_row); }))
        return; // the entry stays on screen to be corrected
    endEntry();
    reload();
}

void ReceptionWindow::cancelar()
{
    endEntry();
    reload();
}

void ReceptionWindow::borrar()
{
    QTreeWidget* list = m_ui->ListView1;
    QTreeWidgetItem* item = list->currentItem();
    if (list->topLevelItemCount() == 0 || item == nullptr)
        return;
    const reception::BirdRow bird = birdOf(item);
    bool exists = false;
    if (!guarded(this, [&] { exists = reception::birdRecord(m_state.mainDb, bird).recordCount() > 0; }) ||
        !exists)
        return;
    const int position = list->indexOfTopLevelItem(item);
    if (!Messages::ask(this, QStringLiteral("Atención"), QStringLiteral("¿Desea Borrar la Jaula?"))) {
        list->setCurrentItem(list->topLevelItem(position));
        list->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (m_entering)
        endEntry(); // the cage being modified is gone
    const store::OriginScope origin(m_state.mainDb, records::origins::reception());
    const bool deleted = guarded(this, [&] { reception::deleteBird(m_state.mainDb, m_state.backups, bird); });
    // The judging window reads these shared results: they hold every cage again, not the
    // deleted cage's empty selection.
    guarded(this, [this] {
        m_state.receRs =
            m_state.mainDb.openRecordset(QStringLiteral("select * from recepcion order by val(Jaula) "));
        m_state.puntosRs =
            m_state.mainDb.openRecordset(QStringLiteral("select * from puntos order by val(jaula)"));
    });
    if (deleted)
        delete list->takeTopLevelItem(position);
    showCage(list->currentItem());
    list->setFocus(Qt::OtherFocusReason);
    if (list->topLevelItemCount() == 0) {
        m_ui->p1->setEnabled(true);
        for (QAction* tool : {m_ui->p2, m_ui->p3, m_ui->p4})
            tool->setEnabled(false);
        for (QWidget* label :
             {m_ui->legend2, m_ui->legend4, m_ui->legend5, m_ui->labelJaula, m_ui->labelAnilla})
            label->setEnabled(false);
        clearEntry();
    }
}

void ReceptionWindow::borrarTodas()
{
    if (m_ui->ListView1->topLevelItemCount() == 0)
        return;
    // Enter answers No: a slip of the keys never empties the show.
    if (!Messages::ask(this, QStringLiteral("Atención"), QStringLiteral("¿Desea Borrar Todas las Jaulas ?"),
                       Messages::Answer::No))
        return;
    if (m_entering)
        endEntry();
    WaitCursor wait;
    const store::OriginScope origin(m_state.mainDb, records::origins::reception());
    guarded(this, [this] {
        reception::deleteAllCages(m_state.mainDb, m_state.backups);
        m_state.puntosRs =
            m_state.mainDb.openRecordset(QStringLiteral("select * from puntos order by val(jaula)"));
    });
    reload();
}

void ReceptionWindow::buscar()
{
    QTreeWidget* list = m_ui->ListView1;
    if (m_entering || list->topLevelItemCount() == 0)
        return;
    const std::optional<QString> typed =
        Messages::askText(this, QStringLiteral("Buscar"), QStringLiteral("Nº Jaula:"));
    if (!typed)
        return;
    const std::optional<int> cage = reception::parseCage(*typed);
    if (!cage) {
        Messages::inform(this, QStringLiteral("Aviso"), reception::invalidCageMessage(*typed));
        return;
    }
    if (!selectCage(*cage))
        Messages::inform(this, QStringLiteral("Aviso"), QStringLiteral("No se ha encontrado"));
}

void ReceptionWindow::cambiarEstado()
{
    QTreeWidgetItem* item = m_ui->ListView1->currentItem();
    if (item == nullptr)
        return;
    const int jaula = birdOf(item).jaula;
    const QString anilla = item->text(1).trimmed();
    const int position = m_ui->ListView1->indexOfTopLevelItem(item) + 1;
    guarded(this, [&] {
        // The ring names the bird only in a cage of two; the rule keeps it then.
        records::BirdStatus current = records::statusOf(m_state.mainDb, jaula);
        if (current.status == records::Status::Presente)
            current = records::statusOf(m_state.mainDb, jaula, anilla);
        StatusDialog dialog(QStringLiteral("Jaula %1  Anilla %2").arg(jaula).arg(anilla), current, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        {
            store::OriginScope origin(m_state.mainDb, QStringLiteral("Recepción"));
            records::setStatus(m_state.mainDb, jaula, anilla, dialog.status(), dialog.motivo());
        }
        fillList();
        selectPosition(position);
    });
}
