#include "windows/import/reception_import_window.h"

#include "kit/keyboard.h"
#include "rules/records/history.h"
#include "store/database.h"
#include "ui_reception_import_window.h"
#include "windows/import/import_preview.h"
#include "windows/import/workbook_chooser.h"
#include "windows/shell/app_state.h"

ReceptionImportWindow::ReceptionImportWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::ReceptionImportWindow>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("Idatosexr"));
    KeyboardHelper* keyboard = KeyboardHelper::install(this, {});
    m_chooser = new WorkbookChooser(this, keyboard, m_state.programFolder,
                                    {m_ui->Combo1, m_ui->Label1, m_ui->List1, m_ui->Command1, m_ui->Text1});
    m_preview = std::make_unique<SheetPreview>(
        this,
        SheetPreview::Controls{m_ui->ListView1, m_ui->ProgressBar1, m_ui->Text1, m_ui->labelRechazadas,
                               m_ui->Command3},
        std::vector<SheetPreview::Column>{{QStringLiteral("Jaula"), 55, true},
                                          {QStringLiteral("Grupo"), 50},
                                          {QStringLiteral("Sexo"), 45},
                                          {QStringLiteral("Licencia"), 65},
                                          {QStringLiteral("Propietario"), 170},
                                          {QStringLiteral("Club"), 50},
                                          {QStringLiteral("Año"), 50},
                                          {QStringLiteral("Paloma"), 75},
                                          {QStringLiteral("Puntos"), 65, true}});
    connect(m_ui->Command1, &QPushButton::clicked, this, &ReceptionImportWindow::aceptar);
    connect(m_ui->Command3, &QPushButton::clicked, this, &ReceptionImportWindow::grabar);
    connect(m_ui->Command2, &QPushButton::clicked, this, &QDialog::reject);
}

ReceptionImportWindow::~ReceptionImportWindow() = default;

void ReceptionImportWindow::load()
{
    m_rows.clear();
    m_preview->clear();
    m_chooser->start();
}

int ReceptionImportWindow::exec()
{
    load();
    return QDialog::exec();
}

void ReceptionImportWindow::aceptar()
{
    m_rows.clear();
    if (!m_preview->read([this](const imports::Progress& progress) {
            m_rows = imports::readReception(m_chooser->pickedPath(), progress);
        }))
        return;
    std::vector<QStringList> texts;
    std::vector<imports::RowStatus> statuses;
    texts.reserve(m_rows.size());
    statuses.reserve(m_rows.size());
    for (const imports::ReceptionRow& row : m_rows) {
        texts.push_back({row.jaula, row.grupo, row.sexo, row.licencia, row.nombre, row.club, row.anyo,
                         row.anilla, row.puntos});
        statuses.push_back(row.status);
    }
    m_preview->show(texts, statuses);
}

void ReceptionImportWindow::grabar()
{
    if (m_rows.empty())
        return;
    const bool stored = m_preview->grabar([this] {
        m_state.backups.take(m_state.mainDb, backups::Occasion::BeforeImport);
        const store::OriginScope origin(m_state.mainDb, records::origins::import(m_chooser->pickedName()));
        const imports::StoreCounts counts = imports::storeReception(m_state.mainDb, m_rows);
        // The shared birds' result, as the other windows expect it, now with the new birds.
        m_state.receRs =
            m_state.mainDb.openRecordset(QStringLiteral("select * from Recepcion order by val(Jaula)"));
        return imports::receptionSummary(counts);
    });
    if (stored)
        accept();
}
