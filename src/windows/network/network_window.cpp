#include "windows/network/network_window.h"

#include "base/formats.h"
#include "kit/focus_events.h"
#include "kit/keyboard.h"
#include "kit/messages.h"
#include "output/qr_code.h"
#include "server/access.h"
#include "ui_network_window.h"
#include "windows/shell/app_state.h"

#include <QPixmap>
#include <QTime>

namespace
{

const QString aviso = QStringLiteral("Aviso");
constexpr int qrScale = 5; // screen pixels per module: a phone reads it from a metre away

QPixmap qrPixmap(const QString& text)
{
    const QImage code = output::qrCode(text);
    return QPixmap::fromImage(code.scaled(code.size() * qrScale));
}

} // namespace

NetworkWindow::NetworkWindow(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_ui(std::make_unique<Ui::NetworkWindow>())
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("Red de la Exposición"));
    // Enter in "Puerto" moves on to "Clave", as everywhere: it never starts the server by itself.
    KeyboardHelper::install(this, {.enterAsTab = true, .escapeCloses = true, .legend = nullptr});
    connect(m_ui->botonIniciar, &QPushButton::clicked, this, &NetworkWindow::start);
    connect(m_ui->botonParar, &QPushButton::clicked, this, &NetworkWindow::stop);
    connect(m_ui->botonCambiarClave, &QPushButton::clicked, this, &NetworkWindow::changeKey);
    connect(m_ui->botonCerrar, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_show, &server::ShowServer::devicesChanged, this,
            [this](int count) { m_ui->labelDispositivos->setText(QString::number(count)); });
    connect(&m_show, &server::ShowServer::scoreStored, this, &NetworkWindow::showScore);
    connect(&m_show, &server::ShowServer::wrongKeysChanged, this, [this](int count) {
        m_ui->labelClavesEquivocadas->setText(count > 0 ? server::wrongKeysLine(count) : QString());
        m_ui->labelClavesEquivocadas->setVisible(count > 0);
    });
    connect(&m_show, &server::ShowServer::storeFailed, this, [this](const QString& message) {
        showLine(QStringLiteral("No se ha guardado: %1").arg(message));
    });
    m_ui->labelClavesEquivocadas->hide();
    showState();
}

NetworkWindow::~NetworkWindow()
{
    stop();
}

void NetworkWindow::start()
{
    bool ok = false;
    const uint port = m_ui->textPuerto->text().trimmed().toUInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        Messages::inform(this, aviso, QStringLiteral("El puerto debe ser un número del 1 al 65535."));
        focus::later(m_ui->textPuerto);
        return;
    }
    const QString key = m_ui->textClave->text().trimmed();
    const QString refusal = m_show.start({m_state.mainDb.path(), m_state.clubDb.path(), quint16(port), key});
    if (!refusal.isEmpty()) {
        Messages::inform(this, aviso, refusal);
        // The box at fault comes back selected, so that what is typed replaces it.
        focus::later(refusal == server::keyRefusal(key) ? m_ui->textClave : m_ui->textPuerto);
        return;
    }
    showState();
}

void NetworkWindow::changeKey()
{
    // What the organiser typed over the key, or a new drawn key when the box still shows the old
    // one: either way every phone must enter the new key.
    const QString typed = m_ui->textClave->text().trimmed();
    const QString refusal = m_show.changeKey(typed == m_show.key() ? QString() : typed);
    if (!refusal.isEmpty()) {
        Messages::inform(this, aviso, refusal);
        m_ui->textClave->setFocus();
        m_ui->textClave->selectAll();
        return;
    }
    showState();
}

void NetworkWindow::stop()
{
    if (!m_show.running())
        return;
    m_show.stop();
    showState();
}

void NetworkWindow::showState()
{
    const bool running = m_show.running();
    m_ui->botonIniciar->setEnabled(!running);
    m_ui->botonParar->setEnabled(running);
    m_ui->botonCambiarClave->setEnabled(running);
    m_ui->textPuerto->setReadOnly(running);
    if (!running) {
        m_state.setNetworkAddress(QString());
        m_ui->labelEstado->setText(QStringLiteral("Servidor parado"));
        m_ui->labelDireccion->clear();
        m_ui->labelQr->clear();
        m_ui->labelQrComisarios->clear();
        m_ui->labelDispositivos->setText(QStringLiteral("0"));
        return;
    }
    const QString url = m_show.url();
    m_ui->labelEstado->setText(QStringLiteral("Sirviendo"));
    m_ui->labelDireccion->setText(url);
    m_state.setNetworkAddress(url); // the cage labels' QR codes open this server's scoring page
    m_ui->textClave->setText(m_show.key());
    m_ui->labelQr->setPixmap(qrPixmap(url));
    m_ui->labelQrComisarios->setPixmap(qrPixmap(m_show.scoringUrl()));
}

void NetworkWindow::showScore(const server::ScoreNotice& notice)
{
    showLine(QStringLiteral("Jaula %1  Juez %2  %3  (%4)")
                 .arg(notice.jaula)
                 .arg(notice.juez)
                 .arg(formats::score(notice.total), notice.from));
}

void NetworkWindow::showLine(const QString& line)
{
    m_ui->listaPuntuaciones->insertItem(
        0, QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + line);
    while (m_ui->listaPuntuaciones->count() > shownScores)
        delete m_ui->listaPuntuaciones->takeItem(m_ui->listaPuntuaciones->count() - 1);
}
