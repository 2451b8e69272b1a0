#include "windows/shell/startup_window.h"

#include "kit/file_dialogs.h"
#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/store_guard.h"
#include "rules/exhibition/exhibition.h"
#include "ui_startup_window.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"

#include <QFileInfo>

StartupWindow::StartupWindow(AppState& state, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_ui(std::make_unique<Ui::StartupWindow>())
{
    m_ui->setupUi(this);
    QFont title = m_ui->labelTitulo->font();
    title.setPointSize(22);
    title.setBold(true);
    m_ui->labelTitulo->setFont(title);
    m_ui->Frame1->hide();

    // Its menu from the keyboard too: F10, and Alt with the number of a caption.
    KeyboardHelper::install(this, {.enterAsTab = false, .escapeCloses = false, .menuBar = m_ui->menubar});

    connect(m_ui->actionNuevo, &QAction::triggered, this, &StartupWindow::nuevo);
    connect(m_ui->actionExistente, &QAction::triggered, this, &StartupWindow::existente);
    connect(m_ui->actionSalir, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->Command1, &QPushButton::clicked, this, &StartupWindow::aceptar);
    connect(m_ui->Command2, &QPushButton::clicked, this, &StartupWindow::cancelar);
    connect(m_ui->Text1, &QLineEdit::returnPressed, this, &StartupWindow::aceptar);
    focus::leavesWithoutChecks(m_ui->Command2);
    focus::onFocusOut(m_ui->Text1, [this] { checkExists(); });
}

StartupWindow::~StartupWindow() = default;

void StartupWindow::nuevo()
{
    m_ui->Frame1->show();
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
    m_ui->Text1->selectAll(); // the box keeps the last name typed; typing replaces it
}

void StartupWindow::checkExists()
{
    if (m_ui->Text1->text().trimmed().isEmpty())
        return;
    if (QFileInfo::exists(exhibition::checkedPath(m_state.programFolder, m_ui->Text1->text()))) {
        Messages::inform(this, QStringLiteral("Aviso"), QStringLiteral("Base de Datos Existente"));
        focus::later(m_ui->Text1); // the name selected: typing replaces it, one letter mends it
    }
}

void StartupWindow::aceptar()
{
    const QString name = m_ui->Text1->text().trimmed();
    if (!name.isEmpty()) {
        const bool created = guarded(this, [&] {
            m_state.dbPath = exhibition::create(m_state.programFolder, name, m_state.programFolder);
        });
        if (!created) { // "Base de Datos Existente", or a name the disk refuses: typed again
            focus::later(m_ui->Text1);
            return;
        }
        openMainWindow();
    }
    m_ui->Frame1->hide();
}

void StartupWindow::cancelar()
{
    m_ui->Text1->clear();
    m_ui->Frame1->hide();
}

void StartupWindow::existente()
{
    archivoAbrir();
    if (!m_state.dbPath.isEmpty())
        openMainWindow();
}

void StartupWindow::archivoAbrir()
{
    const QString chosen =
        FileDialogs::openFile(this, QStringLiteral("Abrir"), QStringLiteral("Todos los archivos (*.*)|*.MDB"),
                              m_state.programFolder);
    if (!chosen.isEmpty())
        m_state.dbPath = chosen;
}

void StartupWindow::openMainWindow()
{
    MainWindow main(m_state, this);
    if (!main.openExhibition()) {
        m_state.dbPath = m_state.mainDb.path(); // the refused file is not offered again
        return;
    }
    // Out of sight while the exhibition is open, so that it never stands behind the main window
    // (a window manager's list, Alt+Tab); it comes back when the exhibition is closed.
    hide();
    main.runModal();
    show();
}
