#include "import/score_import_window.h"

#include "import/import_preview.h"
#include "import/workbook_chooser.h"
#include "import/worksheet.h"
#include "shell/app_state.h"
#include "shell/focus_events.h"
#include "shell/keyboard.h"
#include "shell/messages.h"
#include "shell/store_guard.h"
#include "shell/wait_cursor.h"
#include "ui_score_import_window.h"

ScoreImportWindow::ScoreImportWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ScoreImportWindow>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("Idatosexc"));
    KeyboardHelper* keyboard = KeyboardHelper::install(this, {});
    // Here Enter on any entry picks it with Aceptar shown.
    m_chooser = new WorkbookChooser(this, keyboard, m_state.programFolder,
                                    {m_ui->Combo1, m_ui->Label1, m_ui->List1, m_ui->Command1, m_ui->Text1},
                                    [](const QString&) { return true; });
    std::vector<preview::Column> columns{
        {QStringLiteral("Jaula"), 55, true}, {QStringLiteral("Grupo"), 50}, {QStringLiteral("Sexo"), 45}};
    for (int k = 1; k <= 5; ++k)
        columns.push_back({QStringLiteral("Puntos%1").arg(k), 70, true});
    columns.push_back({QStringLiteral("Total"), 70, true});
    preview::setColumns(m_ui->ListView1, columns);
    focus::selectAllOnFocus(m_ui->Text2);
    // Another judge may refuse or accept the rows: the preview tells again.
    focus::onFocusOut(m_ui->Text2, [this] { markRows(); });
    connect(m_ui->Command1, &QPushButton::clicked, this, &ScoreImportWindow::aceptar);
    connect(m_ui->Command3, &QPushButton::clicked, this, &ScoreImportWindow::grabar);
    connect(m_ui->Command2, &QPushButton::clicked, this, &QDialog::reject);
}

ScoreImportWindow::~ScoreImportWindow() = default;

void ScoreImportWindow::load()
{
    m_ui->ProgressBar1->hide();
    m_ui->Text1->hide();
    m_ui->Text2->clear();
    m_ui->labelRechazadas->clear();
    m_rows.clear();
    m_ui->ListView1->clear();
    m_ui->Command3->setEnabled(false);
    m_chooser->start();
}

int ScoreImportWindow::exec()
{
    load();
    return QDialog::exec();
}

std::vector<imports::RowStatus> ScoreImportWindow::statuses() const
{
    std::vector<imports::RowStatus> result;
    result.reserve(m_rows.size());
    for (const imports::ScoreRow& row : m_rows)
        result.push_back(imports::assessScore(row, m_ui->Text2->text()));
    return result;
}

void ScoreImportWindow::markRows()
{
    const std::vector<imports::RowStatus> now = statuses();
    preview::mark(m_ui->ListView1, now);
    preview::showRefused(m_ui->labelRechazadas, now);
}

void ScoreImportWindow::aceptar()
{
    m_rows.clear();
    m_ui->ListView1->clear();
    m_ui->labelRechazadas->clear();
    m_ui->Command3->setEnabled(false);
    m_ui->ProgressBar1->setValue(0);
    m_ui->ProgressBar1->show();
    imports::ScoreSheet sheet;
    try {
        WaitCursor wait;
        sheet = imports::readScores(m_chooser->pickedPath(), [this](int done, int total) {
            m_ui->ProgressBar1->setMaximum(total);
            m_ui->ProgressBar1->setValue(done);
        });
    } catch (const imports::WorkbookError& e) {
        m_ui->ProgressBar1->hide();
        Messages::inform(this, QStringLiteral("Aviso"), e.message());
        return;
    }
    m_rows = std::move(sheet.rows);
    m_ui->Text2->setText(sheet.juez);
    std::vector<QStringList> texts;
    texts.reserve(m_rows.size());
    for (const imports::ScoreRow& row : m_rows) {
        QStringList text{row.jaula, row.grupo, row.sexo};
        for (const imports::ScoreCell& score : row.puntos)
            text << score.shown;
        text << row.total.shown;
        texts.push_back(text);
    }
    const std::vector<imports::RowStatus> now = statuses();
    preview::fill(m_ui->ListView1, texts, now);
    preview::showRefused(m_ui->labelRechazadas, now);
    m_ui->Text1->setText(QStringLiteral("Proceso Terminado"));
    m_ui->Text1->show();
    m_ui->ProgressBar1->hide();
    m_ui->Command3->setEnabled(!m_rows.empty());
}

void ScoreImportWindow::grabar()
{
    if (m_rows.empty())
        return;
    imports::StoreCounts counts;
    const bool stored = guarded(this, [&] {
        WaitCursor wait;
        counts = imports::storeScores(m_state.mainDb, m_rows, m_ui->Text2->text());
        // Every score row, the new ones included, for whichever window reads the shared result next.
        m_state.puntosRs = m_state.mainDb.openRecordset(QStringLiteral("select * from puntos "));
    });
    if (!stored)
        return;
    Messages::inform(this, QStringLiteral("Aviso"), imports::scoreSummary(counts));
    accept();
}
