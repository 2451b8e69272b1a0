#include "windows/shell/main_window.h"

#include "base/install_layout.h"
#include "kit/guide.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "kit/store_guard.h"
#include "rules/config/config_settings.h"
#include "rules/exhibition/exhibition.h"
#include "rules/listings/classifications.h"
#include "rules/records/closed_state.h"
#include "ui_main_window.h"
#include "windows/shell/app_state.h"

// Task windows, one include block per subsystem.
#include "windows/backups/backups_window.h"
#include "windows/clubs/club_maintenance_window.h"
#include "windows/clubs/club_search_window.h"
#include "windows/config/config_window.h"
#include "windows/import/reception_import_window.h"
#include "windows/import/score_import_window.h"
#include "windows/judging/judging_window.h"
#include "windows/listings/exportar_excel.h"
#include "windows/listings/listabc_window.h"
#include "windows/listings/listadocl_window.h"
#include "windows/listings/listados_window.h"
#include "windows/listings/listing_output.h"
#include "windows/network/network_window.h"
#include "windows/printouts/printout_window.h"
#include "windows/reception/reception_window.h"
#include "windows/records/history_window.h"
#include "windows/records/paper_check_window.h"
#include "windows/records/show_check_window.h"
#include "windows/records/closing_actions.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>

namespace
{

// The open file's path in the status bar: shortened in its middle when the bar is narrow, so that
// the drive and the file name stay in sight; the whole path in its tool tip.
class PathPanel : public QLabel
{
public:
    using QLabel::QLabel;

    void setPath(const QString& path)
    {
        m_path = path;
        setToolTip(path);
        showFitted();
    }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override
    {
        return {fontMetrics().horizontalAdvance(m_path) + 2 * margin() + 20, QLabel::sizeHint().height()};
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        showFitted();
    }

private:
    void showFitted()
    {
        const int room = contentsRect().width() - 2 * margin();
        setText(fontMetrics().elidedText(m_path, Qt::ElideMiddle, std::max(room, 0)));
    }

    QString m_path;
};

} // namespace

MainWindow::MainWindow(AppState& state, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_ui(std::make_unique<Ui::MainWindow>())
{
    m_ui->setupUi(this);
    setUpHeading();
    setUpStatusBar();
    // The menus from the keyboard: F10, and Alt with the number of their captions.
    KeyboardHelper::install(this, {.enterAsTab = false, .escapeCloses = false, .menuBar = m_ui->menubar});
    connectTasks();
    connectListings();
    connectBackups();
    connectChecks();
    connectClosing();
}

void MainWindow::setUpHeading()
{
    QFont name(QStringList{QStringLiteral("URW Chancery L"), QStringLiteral("Z003"),
                           QStringLiteral("Monotype Corsiva"), QStringLiteral("Liberation Serif")});
    name.setStyleHint(QFont::Cursive);
    name.setItalic(true);
    name.setPointSize(34);
    m_ui->Label1->setFont(name);
    m_ui->Label1->setStyleSheet(QStringLiteral("color: #1c3f7a;"));
    QFont region(QStringLiteral("Liberation Serif"));
    region.setPointSize(20);
    m_ui->Label2->setFont(region);
    m_ui->Label2->setStyleSheet(QStringLiteral("color: #444;"));
}

void MainWindow::setUpStatusBar()
{
    m_texto = new QLabel(this);
    m_texto->setObjectName(QStringLiteral("texto"));
    m_dia = new QLabel(this);
    m_dia->setObjectName(QStringLiteral("dia"));
    m_hora = new QLabel(this);
    m_hora->setObjectName(QStringLiteral("hora"));
    m_archivo = new PathPanel(this);
    m_archivo->setObjectName(QStringLiteral("archivo"));
    m_archivo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    for (QLabel* panel : {m_texto, m_archivo, m_dia, m_hora}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(6, 1, 6, 1);
        panel->installEventFilter(this);
    }
    m_ui->StatusBar1->addWidget(m_texto);
    m_ui->StatusBar1->addWidget(m_archivo, 1);
    m_ui->StatusBar1->addPermanentWidget(m_dia);
    m_ui->StatusBar1->addPermanentWidget(m_hora);
    // The date and time panels keep up with the clock, as the status bar of the system does.
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &MainWindow::showStatusTimes);
    clock->start(1000);
    showStatusTimes();
}

// The task windows of the menus: reception, judging, configuration, clubs, the imports, the
// network, the show-day printouts.
void MainWindow::connectTasks()
{
    connect(m_ui->actionSalirRecepcion, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->actionSalir, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->actionAcercaDe, &QAction::triggered, this, [this] {
        Messages::inform(
            this, QStringLiteral("Acerca de"),
            install::aboutText(m_state.programFolder, guide::page(QStringLiteral("00-portada"))));
    });
    connectTask(m_ui->actionRecepcion, [this] {
        records::refuseIfClosed(m_state.mainDb);
        reception().exec();
    });
    connectTask(m_ui->actionConfiguracion, [this] {
        records::refuseIfClosed(m_state.mainDb);
        if (!m_config) {
            m_config = std::make_unique<ConfigWindow>(m_state, this);
            connect(m_config.get(), &ConfigWindow::settingsStored, this, &MainWindow::showConfiguration);
        }
        m_config->exec();
    });

    connectTask(m_ui->actionPuntuacion, [this] {
        records::refuseIfClosed(m_state.mainDb);
        showTask(m_judging);
    });

    connectTask(m_ui->actionClub, [this] { showTask(m_club); });

    // The entry windows of a closed show refuse before anything is typed.
    connectTask(m_ui->actionImpRecepcion, [this] {
        records::refuseIfClosed(m_state.mainDb);
        showTask(m_receptionImport);
    });
    connectTask(m_ui->actionImpPuntuacion, [this] {
        records::refuseIfClosed(m_state.mainDb);
        showTask(m_scoreImport);
    });

    connectTask(m_ui->actionRed, [this] { showTask(m_network); });
    connectTask(m_ui->actionHistorial, [this] { showTask(m_history); });

    // The show-day printouts, one window each.
    const std::pair<QAction*, printouts::Kind> printoutItems[] = {
        {m_ui->actionEtiquetas, printouts::Kind::Etiquetas},
        {m_ui->actionHojasJueces, printouts::Kind::HojasJueces},
        {m_ui->actionCatalogo, printouts::Kind::Catalogo},
        {m_ui->actionResguardos, printouts::Kind::Resguardos}};
    for (std::size_t i = 0; i < std::size(printoutItems); ++i)
        connectTask(printoutItems[i].first, [this, i, kind = printoutItems[i].second] {
            if (!m_printouts[i])
                m_printouts[i] = std::make_unique<PrintoutWindow>(m_state, kind, this);
            m_printouts[i]->exec();
        });
}

// The eleven classifications of menu 5, in their one order, each opening its listing window, and
// the province ranking and the exports.
void MainWindow::connectListings()
{
    QAction* const items[] = {
        m_ui->actionGrupoAMachos,     m_ui->actionGrupoAHembras,    m_ui->actionGrupoBMachos,
        m_ui->actionGrupoBHembras,    m_ui->actionGrupoCMachos,     m_ui->actionGrupoCHembras,
        m_ui->actionGrupoDCategoriaA, m_ui->actionGrupoDCategoriaB, m_ui->actionGrupoDCategoriaC,
        m_ui->actionGrupoDCategoriaD, m_ui->actionGrupoDCategoriaE};
    const std::vector<listings::ClassificationKey>& keys = listings::classifications();
    for (std::size_t i = 0; i < keys.size(); ++i)
        connectTask(items[i], [this, key = keys[i]] {
            selectListing(key.grupo, key.categ, key.sexo);
            if (key.groupD())
                showTask(m_listados);
            else
                showTask(m_listabc);
        });
    connectTask(m_ui->actionListadoPorClub, [this] { showTask(m_listadoCl); });
    connect(m_ui->actionExportarListados, &QAction::triggered, this,
            [this] { listings::exportarTodosLosListados(this, m_state); });
    connect(m_ui->actionExportarExcel, &QAction::triggered, this,
            [this] { listings::exportarAExcel(this, m_state); });
}

// The backup copies: the status bar tells a copy that could not be made, a copy is taken every
// few minutes when the show changed, and a restore shows the show again.
void MainWindow::connectBackups()
{
    // A copy that could not be made is told in the status bar, never in the way of the work.
    m_state.backups.onOutcome = [this](const QString& problem) {
        m_texto->setText(problem.isEmpty() ? records::statusText(m_state) : problem);
    };
    auto* copies = new QTimer(this);
    copies->setObjectName(QStringLiteral("copiasTimer"));
    connect(copies, &QTimer::timeout, this, [this] { m_state.backups.takeIfChanged(m_state.mainDb); });
    copies->start(backups::periodMinutes * 60 * 1000);
    connectTask(m_ui->actionCopias, [this] {
        showTask(m_backups);
        if (m_backups->restored())
            showRestored();
    });
}

ReceptionWindow& MainWindow::reception()
{
    if (!m_reception) {
        m_reception = std::make_unique<ReceptionWindow>(m_state, this);
        // F1 in the club box: the club search, whose choice goes back into the box.
        m_reception->setClubPicker([this] { return ClubSearchWindow(m_state, m_reception.get()).choose(); });
    }
    return *m_reception;
}

// The checks before closing: a warning about a cage opens that cage in reception.
void MainWindow::connectChecks()
{
    connectTask(m_ui->actionComprobar, [this] {
        if (!m_showCheck) {
            m_showCheck = std::make_unique<ShowCheckWindow>(m_state, this);
            m_showCheck->setCageOpener([this](int cage) { guarded(this, [&] { reception().execAt(cage); }); });
        }
        m_showCheck->exec();
    });
    connectTask(m_ui->actionComprobarHojas, [this] { showTask(m_paperCheck); });
}

// "Cerrar la exposición" and "Reabrir": the status line says whether the show is closed.
void MainWindow::connectClosing()
{
    connectTask(m_ui->actionCerrar, [this] {
        records::cerrarLaExposicion(this, m_state);
        m_texto->setText(records::statusText(m_state));
    });
    connectTask(m_ui->actionReabrir, [this] {
        records::reabrirLaExposicion(this, m_state);
        m_texto->setText(records::statusText(m_state));
    });
}

MainWindow::~MainWindow()
{
    m_state.backups.onOutcome = nullptr; // the status bar goes with the window
}

void MainWindow::connectTask(QAction* action, std::function<void()> open)
{
    connect(action, &QAction::triggered, this, [this, open = std::move(open)] {
        guarded(this, open);
        // A task window that closes right after a box of its own ("Grabar" of an import) can
        // leave no window with the keyboard under some window managers: the menu takes it back.
        activateWindow();
    });
}

void MainWindow::selectListing(const QString& grupo, const QString& categ, const QString& sexo)
{
    m_state.selGrupo = grupo;
    m_state.selCateg = categ;
    m_state.selSexo = sexo;
}

bool MainWindow::openExhibition()
{
    if (!guarded(this, [this] { exhibition::open(m_state, m_state.dbPath); }))
        return false;
    showExhibition();
    m_state.backups.take(m_state.mainDb, backups::Occasion::Opening);
    return true;
}

void MainWindow::showRestored()
{
    m_reception.reset();
    m_config.reset();
    m_judging.reset();
    m_club.reset();
    m_listabc.reset();
    m_listados.reset();
    m_listadoCl.reset();
    m_receptionImport.reset();
    m_scoreImport.reset();
    m_showCheck.reset();
    m_paperCheck.reset();
    showExhibition();
}

void MainWindow::showExhibition()
{
    showConfiguration();
    const QString emblem =
        install::picture(install::current(), m_state.programFolder, QStringLiteral("Talvorena1.gif"));
    QPixmap picture;
    if (!emblem.isEmpty() && picture.load(emblem)) {
        m_ui->Picture1->setPixmap(picture.scaled(420, 320, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        m_ui->Picture1->show();
    } else {
        m_ui->Picture1->clear();
        m_ui->Picture1->hide(); // the name and region then stand in the middle of the window
    }
    m_texto->setText(records::statusText(m_state));
    static_cast<PathPanel*>(m_archivo)->setPath(QDir::toNativeSeparators(m_state.mainDb.path()));
    setWindowTitle(QStringLiteral("Programa para Exposiciones de Palomas Mensajeras"));
}

void MainWindow::showConfiguration()
{
    if (m_state.configRs.recordCount() == 0) {
        m_ui->Label1->clear();
        m_ui->Label2->clear();
    } else {
        m_ui->Label1->setText(m_state.configText(QStringLiteral("nombre")));
        m_ui->Label2->setText(m_state.configText(QStringLiteral("region")));
    }
    // What comes first in a new show, or what a show lacks, in sight until it is done.
    const QString pending = config::pendingSetUp(config::read(m_state.configRs));
    m_ui->primerosPasos->setText(pending);
    m_ui->primerosPasos->setVisible(!pending.isEmpty());
}

void MainWindow::runModal()
{
    setWindowModality(Qt::ApplicationModal);
    if (parentWidget() != nullptr)
        move(parentWidget()->geometry().center() - rect().center());
    show();
    activateWindow();
    QEventLoop loop;
    connect(this, &MainWindow::closed, &loop, &QEventLoop::quit);
    loop.exec();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        m_network.reset(); // closing the exhibition stops the show's server
        emit closed();
    }
}

void MainWindow::panelClicked(const QString& key)
{
    m_switch = !m_switch;
    m_diaShowsDate = key == u"dia" && m_switch;
    showStatusTimes();
}

void MainWindow::showStatusTimes()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = now.toString(QStringLiteral("HH:mm"));
    m_dia->setText(m_diaShowsDate ? now.toString(QStringLiteral("dd/MM/yyyy")) : time);
    m_hora->setText(time);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == m_texto || watched == m_archivo || watched == m_dia || watched == m_hora))
        panelClicked(watched->objectName());
    return QMainWindow::eventFilter(watched, event);
}
