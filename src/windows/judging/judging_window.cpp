#include "windows/judging/judging_window.h"

#include "base/formats.h"
#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/store_guard.h"
#include "kit/toolbar.h"
#include "rules/judging/judged_cage.h"
#include "rules/judging/score_ranges.h"
#include "rules/reception/cage_number.h"
#include "rules/records/history.h"
#include "store/database.h"
#include "ui_judging_window.h"
#include "windows/shell/app_state.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QStyle>

using judging::EntryMode;

namespace
{

const QString aviso = QStringLiteral("Aviso");

} // namespace

JudgingWindow::JudgingWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::JudgingWindow>())
{
    m_ui->setupUi(this);
    m_actions = {m_ui->p1, m_ui->p2, m_ui->p3, m_ui->p4, m_ui->p5, m_ui->p6};
    toolbar::setUp(m_ui->Toolbar1, {{m_ui->p1, QStyle::SP_DialogSaveButton},
                                    {m_ui->p2, QStyle::SP_TrashIcon},
                                    {m_ui->p3, QStyle::SP_FileDialogDetailedView},
                                    {m_ui->p4, QStyle::SP_FileDialogContentsView},
                                    {m_ui->p5, QStyle::SP_ArrowForward},
                                    {m_ui->p6, QStyle::SP_DialogCloseButton}});

    for (int i = 0; i < judging::apartadoCount; ++i) {
        const judging::Apartado& apartado = judging::apartados()[std::size_t(i)];
        findChild<QLabel*>(QStringLiteral("labelApartado%1").arg(i + 1))->setText(apartado.label);
        findChild<QLabel*>(QStringLiteral("labelRango%1").arg(i + 1))->setText(apartado.rangeLabel);
    }
    m_ui->labelTotal->setText(judging::totalLabel());
    m_ui->labelRangoTotal->setText(judging::totalRangeLabel());
    m_ui->captionCateg->hide(); // the judged groups have no category
    m_ui->labelCateg->hide();

    QFont finalScore = m_ui->Text2->font();
    finalScore.setPointSize(finalScore.pointSize() + 6);
    m_ui->Text2->setFont(finalScore);
    m_ui->Text2->setMinimumWidth(140);
    m_ui->frameJaula->setMaximumWidth(300);
    m_ui->frameDatos->setMaximumWidth(300);
    m_ui->frameTotal->setMaximumWidth(300);
    m_ui->labelCriterio->setMaximumWidth(300);

    QHeaderView* header = m_ui->ListView1->header();
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Stretch);

    QSizePolicy keepPlace = m_ui->legendFrame->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true); // the window does not jump while Ctrl is held
    m_ui->legendFrame->setSizePolicy(keepPlace);
    m_ui->legendFrame->hide();
    KeyboardHelper* keys = KeyboardHelper::install(this, {true, true, m_ui->legendFrame});
    // The legend shown while Ctrl is held names these keys.
    keys->numberedCommands({m_actions.begin(), m_actions.end()});

    connectControls();
}

JudgingWindow::~JudgingWindow() = default;

void JudgingWindow::connectControls()
{
    connect(m_actions[Grabar], &QAction::triggered, this, &JudgingWindow::grabar);
    connect(m_actions[Borrar], &QAction::triggered, this, &JudgingWindow::borrar);
    connect(m_actions[Modificar], &QAction::triggered, this, &JudgingWindow::modificar);
    // "4 Buscar" has no action.
    connect(m_actions[OtraJaula], &QAction::triggered, this, &JudgingWindow::otraJaula);
    connect(m_actions[Salir], &QAction::triggered, this, &QWidget::close);
    connect(m_ui->Command1, &QPushButton::clicked, this, &JudgingWindow::aceptar);
    connect(m_ui->Command2, &QPushButton::clicked, this, &JudgingWindow::cancelar);

    focus::leavesWithoutChecks(m_ui->Command2);
    focus::onFocusIn(m_ui->Text1, [this] { cageFocusIn(); });
    focus::onFocusOut(m_ui->Text1, [this] { cageFocusOut(); });
    focus::selectAllOnFocus(m_ui->Text3);
    focus::onFocusOut(m_ui->Text3, [this] { judgeFocusOut(); });
    for (int i = 0; i < judging::apartadoCount; ++i) {
        focus::selectAllOnFocus(scoreBox(i));
        focus::onFocusOut(scoreBox(i), [this, i] { scoreFocusOut(i); });
    }
    for (QLineEdit* box : {m_ui->Text3, m_ui->Text4, m_ui->Text5, m_ui->Text6, m_ui->Text7, m_ui->Text8})
        focus::onFocusIn(box, [this, box] {
            if (m_refocus == box)
                m_refocus = nullptr;
        });
}

QLineEdit* JudgingWindow::scoreBox(int index) const
{
    const std::array<QLineEdit*, judging::apartadoCount> boxes{m_ui->Text4, m_ui->Text5, m_ui->Text6,
                                                               m_ui->Text7, m_ui->Text8};
    return boxes[std::size_t(index)];
}

void JudgingWindow::enable(std::initializer_list<Key> keys, bool on)
{
    for (const Key key : keys)
        m_actions[key]->setEnabled(on);
}

int JudgingWindow::exec()
{
    load();
    return QDialog::exec();
}

void JudgingWindow::load()
{
    m_entering = false;
    m_ui->Frame6->hide();
    m_ui->Frame6->setTitle(QStringLiteral("Puntos"));
    m_ui->Text3->setReadOnly(true);
    m_ui->Text3->setFocusPolicy(Qt::ClickFocus);
    m_ui->frameJaula->setEnabled(true);
    m_ui->Text1->clear();
    clearCage();

    const int jueces = m_state.jueces();
    m_ui->labelJueces->setText(QStringLiteral("Nº de Jueces ") + QString::number(jueces));
    m_ui->labelCriterio->setText(m_state.media() ? QStringLiteral("Hacer la Media de los Jueces")
                                                 : QStringLiteral("Quitar la Puntuacion Mayor y la Menor "));
    m_ui->Text2->setText(QStringLiteral("0,0"));
    setWindowTitle(QStringLiteral("Puntuacion de los Jueces"));
    enable({Grabar, Borrar, Modificar, Buscar, OtraJaula}, false);
    enable({Salir}, true);

    // Without judges nothing can be scored: the cage box stays locked.
    m_ui->Text1->setReadOnly(jueces <= 0);
    if (jueces <= 0)
        Messages::inform(this, aviso,
                         QStringLiteral("No Hay Jueces en la Configuración,debes poner al menos Uno"));
}

// The rule of the configuration shown (ConfigRs), as the window was opened with it.
judging::ScoringRule JudgingWindow::scoringRule() const
{
    return m_state.scoringRule();
}

void JudgingWindow::done(int result)
{
    if (m_cage && !m_ui->Text1->text().trimmed().isEmpty())
        guarded(this, [this] {
            const store::OriginScope origin(m_state.mainDb, records::origins::judging());
            judging::storeWhenComplete(m_state.mainDb, *m_cage, scoringRule());
        });
    m_entering = false;
    QDialog::done(result);
}

void JudgingWindow::clearCage()
{
    m_cage.reset();
    m_grupo.clear();
    for (QLabel* label : {m_ui->labelAnilla, m_ui->labelAnyo, m_ui->labelSexo, m_ui->labelColor,
                          m_ui->labelGrupo, m_ui->labelCateg})
        label->clear();
    m_ui->ListView1->clear();
    m_listRows = 0;
}

void JudgingWindow::cageFocusIn()
{
    if (m_refocus == m_ui->Text1) { // back from "Jaula sin paloma": the number stays, to be retyped
        m_refocus = nullptr;
        return;
    }
    enable({OtraJaula, Grabar, Borrar, Modificar, Buscar}, false);
    m_ui->Text1->clear();
    clearCage();
    // The score of the cage left behind is not this one's.
    m_ui->Text2->setText(QStringLiteral("0,0"));
}

void JudgingWindow::cageFocusOut()
{
    m_refocus = nullptr;
    const QString typed = m_ui->Text1->text().trimmed();
    if (typed.isEmpty() || m_ui->Text1->isReadOnly())
        return;
    const std::optional<int> cage = reception::parseCage(typed);
    if (!cage) {
        Messages::inform(this, aviso, reception::invalidCageMessage(typed));
        m_ui->Text1->clear();
        focus::later(m_ui->Text1);
        return;
    }
    guarded(this, [&] {
        const std::optional<judging::Paloma> bird = judging::findBird(m_state.mainDb, *cage);
        if (bird && bird->groupD()) {
            Messages::inform(this, aviso, judging::groupDRefusal());
            m_ui->Text1->clear();
            focus::later(m_ui->Text1);
            return;
        }
        if (!bird) { // never received: said, so that the score is not typed against nothing
            Messages::inform(this, aviso, QStringLiteral("Jaula sin paloma"));
            m_refocus = m_ui->Text1;
            focus::later(m_ui->Text1);
            return;
        }
        m_cage = *cage;
        showBird(*bird);
        refresh();
        showCageToolbar();
    });
}

void JudgingWindow::showCageToolbar()
{
    if (m_listRows >= m_state.jueces())
        enable({Grabar}, false);
    enable({Borrar, Modificar, Buscar, OtraJaula}, true);
}

void JudgingWindow::showBird(const judging::Paloma& bird)
{
    m_grupo = bird.grupo.trimmed();
    m_ui->labelAnilla->setText(bird.anilla);
    m_ui->labelAnyo->setText(bird.anyo);
    m_ui->labelSexo->setText(bird.sexo.trimmed() == u"M" ? QStringLiteral("Macho")
                                                         : QStringLiteral("Hembra"));
    m_ui->labelColor->setText(bird.color);
    m_ui->labelGrupo->setText(m_grupo);
    m_ui->labelCateg->setText(bird.categ);
}

void JudgingWindow::refresh()
{
    if (!m_cage)
        return;
    const judging::ScoringRule rule = scoringRule();
    const judging::JudgedCage judged = judging::readCage(m_state.mainDb, *m_cage, rule);
    m_state.puntosRs = judging::openCageRows(m_state.mainDb, *m_cage, rule.criterion);
    showList(judged.listed(rule.criterion));
    if (m_listRows > 0)
        m_ui->ListView1->setFocus(Qt::OtherFocusReason);
    enable({Grabar}, m_listRows < m_state.jueces());
    enable({Salir}, true);
    // The score always belongs to the cage shown, 0,00 included.
    m_ui->Text2->setText(formats::score(judged.result.puntos));
}

void JudgingWindow::showList(const std::vector<judging::JudgeScores>& rows)
{
    QTreeWidget* view = m_ui->ListView1;
    view->clear();
    for (const judging::JudgeScores& row : rows) {
        QStringList columns{QString::number(row.juez)};
        for (const double score : row.puntos)
            columns << formats::score(score);
        columns << formats::score(row.puntost);
        auto* item = new QTreeWidgetItem(view, columns);
        item->setData(0, Qt::UserRole, row.juez);
        for (int c = 0; c < columns.size(); ++c)
            item->setTextAlignment(c, Qt::AlignCenter);
    }
    m_listRows = int(rows.size());
}

std::optional<int> JudgingWindow::selectedJudge()
{
    const QList<QTreeWidgetItem*> selected = m_ui->ListView1->selectedItems();
    if (!m_cage || m_listRows == 0 || selected.isEmpty())
        return std::nullopt;
    const int judge = selected.first()->data(0, Qt::UserRole).toInt();
    m_state.currentJaula = QString::number(judge);
    return judge;
}

void JudgingWindow::grabar()
{
    if (!m_cage || m_listRows >= m_state.jueces())
        return;
    startEntry(EntryMode::New);
    m_ui->Frame6->setTitle(QStringLiteral("Grabar Puntuacion"));
    m_ui->Text3->setReadOnly(false);
    m_ui->Text3->setFocusPolicy(Qt::StrongFocus);
    m_ui->Text3->clear();
    for (int i = 0; i < judging::apartadoCount; ++i)
        scoreBox(i)->setText(judging::emptyScore());
    updateTotal(); // the total of the boxes shown, not of the last judge entered
    m_ui->Text3->setFocus(Qt::OtherFocusReason);
}

void JudgingWindow::modificar()
{
    const std::optional<int> judge = selectedJudge();
    if (!judge)
        return;
    guarded(this, [&] {
        const std::optional<judging::JudgeScores> row = judging::findJudgeRow(m_state.puntosRs, *m_cage, *judge);
        if (!row)
            return;
        m_entryJudge = *judge;
        startEntry(EntryMode::Change);
        m_ui->Text3->setText(QString::number(row->juez));
        for (int i = 0; i < judging::apartadoCount; ++i)
            scoreBox(i)->setText(judging::scoreText(row->puntos[std::size_t(i)]));
        m_ui->Text9->setText(formats::score(row->puntost));
        m_ui->Text4->setFocus(Qt::OtherFocusReason);
    });
}

void JudgingWindow::borrar()
{
    const std::optional<int> judge = selectedJudge();
    if (!judge)
        return;
    if (!Messages::ask(this, QStringLiteral("Atención"),
                       QStringLiteral("¿Desea Borrar la Puntuacion de este Juez?")))
        return;
    guarded(this, [&] {
        const store::OriginScope origin(m_state.mainDb, records::origins::judging());
        judging::deleteJudgeRow(m_state.puntosRs, *m_cage, *judge);
        refresh();
    });
}

void JudgingWindow::otraJaula()
{
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
}

// While a row is entered the cage stays as it is and no other command runs, so that the row
// goes to the cage shown.
void JudgingWindow::startEntry(EntryMode mode)
{
    m_mode = mode;
    enable({Grabar, Borrar, Modificar, Buscar, OtraJaula, Salir}, false);
    m_ui->frameJaula->setEnabled(false);
    m_ui->Frame6->show();
    m_entering = true;
}

// A box is checked when the user leaves it, not when the focus goes back to a box that was just
// refused ("Cancelar" runs no check at all).
bool JudgingWindow::checksApply() const
{
    if (!m_entering)
        return false;
    return m_refocus.isNull() || QApplication::focusWidget() != m_refocus.data();
}

void JudgingWindow::refuse(QLineEdit* box, const QString& message, const QString& reset)
{
    Messages::inform(this, aviso, message);
    box->setText(reset);
    m_refocus = box;
    focus::later(box);
}

void JudgingWindow::judgeFocusOut()
{
    if (m_mode != EntryMode::New || !checksApply())
        return;
    guarded(this, [this] {
        const std::variant<int, QString> judge =
            judging::checkNewJudge(m_state.mainDb, *m_cage, m_ui->Text3->text(), m_state.jueces());
        if (const QString* refused = std::get_if<QString>(&judge))
            refuse(m_ui->Text3, *refused, QString());
    });
}

void JudgingWindow::scoreFocusOut(int index)
{
    if (!checksApply())
        return;
    QLineEdit* box = scoreBox(index);
    if (box->text().trimmed().isEmpty())
        box->setText(judging::emptyScore());
    if (const std::optional<double> score = judging::readScore(index, box->text()))
        box->setText(judging::scoreText(*score));
    else
        refuse(box, judging::scoreRefusedMessage(), judging::emptyScore());
    updateTotal();
}

void JudgingWindow::updateTotal()
{
    std::array<QString, judging::apartadoCount> texts;
    for (int i = 0; i < judging::apartadoCount; ++i)
        texts[std::size_t(i)] = scoreBox(i)->text();
    m_ui->Text9->setText(formats::score(judging::totalOf(texts)));
}

void JudgingWindow::aceptar()
{
    if (!m_entering || !m_cage)
        return;
    judging::JudgeEntry entry;
    entry.juez = m_mode == EntryMode::New ? m_ui->Text3->text() : QString::number(m_entryJudge);
    for (int i = 0; i < judging::apartadoCount; ++i)
        entry.puntos[std::size_t(i)] = scoreBox(i)->text();
    // On a store error the panel stays open with what was typed.
    guarded(this, [&] {
        // The check and the store in one transaction: a steward's phone storing the same judge
        // between them would otherwise give the cage that judge twice. It ends before any box
        // is shown, so that the phones are never kept waiting on a message.
        const store::OriginScope origin(m_state.mainDb, records::origins::judging());
        std::optional<store::Transaction> entering(std::in_place, m_state.mainDb);
        const std::variant<judging::JudgeScores, judging::EntryProblem> checked =
            judging::checkEntry(m_state.mainDb, *m_cage, m_mode, entry, m_state.jueces());
        if (const auto* problem = std::get_if<judging::EntryProblem>(&checked)) {
            entering.reset();
            if (problem->box == 0)
                refuse(m_ui->Text3, problem->message, QString());
            else
                refuse(scoreBox(problem->box - 1), problem->message, judging::emptyScore());
            updateTotal();
            return;
        }
        const judging::JudgeScores& row = std::get<judging::JudgeScores>(checked);
        for (int i = 0; i < judging::apartadoCount; ++i)
            scoreBox(i)->setText(judging::scoreText(row.puntos[std::size_t(i)]));
        m_ui->Text9->setText(formats::score(row.puntost));
        judging::storeJudgeRow(m_state.mainDb, m_state.puntosRs, *m_cage, m_mode, row, m_grupo);
        entering->commit();
        entering.reset();
        endEntry();
    });
}

void JudgingWindow::cancelar()
{
    if (m_entering)
        guarded(this, [this] { endEntry(); });
}

void JudgingWindow::endEntry()
{
    m_entering = false;
    m_refocus = nullptr;
    m_ui->Text3->setReadOnly(true);
    m_ui->Text3->setFocusPolicy(Qt::ClickFocus);
    m_ui->frameJaula->setEnabled(true);
    enable({Borrar, Modificar, Buscar, OtraJaula}, true);
    refresh();
    // Hiding the panel would pass the focus on along the tab order, round to the cage box,
    // which empties the window when it gets the focus.
    m_ui->ListView1->setFocus(Qt::OtherFocusReason);
    m_ui->Frame6->hide();
}
