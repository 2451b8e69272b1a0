#include "windows/import/score_import_window.h"

#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "rules/records/history.h"
#include "store/database.h"
#include "ui_score_import_window.h"
#include "windows/import/import_preview.h"
#include "windows/import/workbook_chooser.h"
#include "windows/shell/app_state.h"

namespace
{

std::vector<SheetPreview::Column> columns()
{
    std::vector<SheetPreview::Column> result{
        {QStringLiteral("Jaula"), 55, true}, {QStringLiteral("Grupo"), 50}, {QStringLiteral("Sexo"), 45}};
    for (int k = 1; k <= 5; ++k)
        result.push_back({QStringLiteral("Puntos%1").arg(k), 70, true});
    result.push_back({QStringLiteral("Total"), 70, true});
    return result;
}

} // namespace

ScoreImportWindow::ScoreImportWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ScoreImportWindow>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("Idatosexc"));
    KeyboardHelper* keyboard = KeyboardHelper::install(this, {});
    m_chooser = new WorkbookChooser(this, keyboard, m_state.programFolder,
                                    {m_ui->Combo1, m_ui->Label1, m_ui->List1, m_ui->Command1, m_ui->Text1});
    m_preview = std::make_unique<SheetPreview>(this,
                                               SheetPreview::Controls{m_ui->ListView1, m_ui->ProgressBar1,
                                                                      m_ui->Text1, m_ui->labelRechazadas,
                                                                      m_ui->Command3},
                                               columns());
    focus::selectAllOnFocus(m_ui->Text2);
    // Another judge may refuse or accept the rows: the preview tells again.
    focus::onFocusOut(m_ui->Text2, [this] { m_preview->mark(statuses()); });
    connect(m_ui->Command1, &QPushButton::clicked, this, &ScoreImportWindow::aceptar);
    connect(m_ui->Command3, &QPushButton::clicked, this, &ScoreImportWindow::grabar);
    connect(m_ui->Command2, &QPushButton::clicked, this, &QDialog::reject);
}

ScoreImportWindow::~ScoreImportWindow() = default;

void ScoreImportWindow::load()
{
    m_rows.clear();
    m_ui->Text2->clear();
    m_preview->clear();
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
        result.push_back(imports::assessScore(m_state.mainDb, row, m_ui->Text2->text(), m_state.jueces()));
    return result;
}

void ScoreImportWindow::aceptar()
{
    m_rows.clear();
    imports::ScoreSheet sheet;
    if (!m_preview->read([&](const imports::Progress& progress) {
            sheet = imports::readScores(m_chooser->pickedPath(), progress);
        }))
        return;
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
    m_preview->show(texts, statuses());
}

void ScoreImportWindow::grabar()
{
    if (m_rows.empty())
        return;
    // A judge number that cannot score would refuse every row: say so and let the user correct
    // it, rather than closing the window with nothing stored.
    if (const QString refusal = imports::judgeRefusal(m_ui->Text2->text(), m_state.jueces());
        !refusal.isEmpty()) {
        Messages::inform(this, QStringLiteral("Aviso"), refusal);
        focus::later(m_ui->Text2);
        return;
    }
    const bool stored = m_preview->grabar([this] {
        m_state.backups.take(m_state.mainDb, backups::Occasion::BeforeImport);
        const store::OriginScope origin(m_state.mainDb, records::origins::import(m_chooser->pickedName()));
        const imports::StoreCounts counts = imports::storeScores(m_state.mainDb, m_rows, m_ui->Text2->text());
        // Every score row, the new ones included, for whichever window reads the shared result next.
        m_state.puntosRs = m_state.mainDb.openRecordset(QStringLiteral("select * from puntos "));
        return imports::scoreSummary(counts);
    });
    if (stored)
        accept();
}
