// "Red de la Exposición": the server started, shown to the phones, refused a port, stopped.

#include "kit/messages.h"
#include "output/qr_code.h"
#include "server/http_client.h"
#include "server/show_server.h"
#include "support/window_fixture.h"
#include "windows/network/network_window.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTcpServer>

using guitest::child;

namespace
{

QString freePort() // nobody listens on it now
{
    QTcpServer probe;
    probe.listen(QHostAddress::Any, 0);
    return QString::number(probe.serverPort());
}

void startOn(NetworkWindow* window, const QString& port, const QString& key)
{
    guitest::type(child<QLineEdit>(window, "textPuerto"), port);
    guitest::type(child<QLineEdit>(window, "textClave"), key);
    child<QPushButton>(window, "botonIniciar")->click();
}

// A QR code as the window draws it: five pixels a module.
QImage drawn(const QString& text)
{
    const QImage code = output::qrCode(text);
    return code.scaled(code.size() * 5).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestNetworkWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture<NetworkWindow>> m_f;
    QNetworkAccessManager m_net;

    int status(const QByteArray& method, quint16 port, const QString& path, const QString& key)
    {
        return httptest::send(m_net, method, httptest::request(port, path, "Bearer " + key.toLatin1()),
                              R"({"juez":2,"puntos":[8,9,17.5,28,27.5]})")
            .status;
    }

private slots:
    void initTestCase() { httptest::noProxy(); }

    void init()
    {
        m_f = std::make_unique<WindowFixture<NetworkWindow>>();
        fixtures::addBird(m_f->db(), 1, "A", "M");
    }

    void cleanup() { m_f.reset(); }

    // The address as text and QR codes (the stewards' with the key), the devices and scores that
    // arrive; the server serves with the window closed, until the show closes.
    void startFromTheMenu()
    {
        MainWindow* main = m_f->openMain();
        const QString port = freePort();
        QString address, key, newKey, devices, wrongKeys, scores;
        QImage qr, stewardsQr;
        guitest::whenShown<NetworkWindow>([&](NetworkWindow* window) {
            const auto image = [window](const char* label) {
                return child<QLabel>(window, label)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
            };
            startOn(window, port, QString());
            address = child<QLabel>(window, "labelDireccion")->text();
            key = child<QLineEdit>(window, "textClave")->text();
            qr = image("labelQr");
            stewardsQr = image("labelQrComisarios");
            window->accept();
        });
        child<QAction>(main, "actionRed")->trigger();
        QCOMPARE(address, QStringLiteral("http://%1:%2/").arg(server::lanAddress(), port));
        QCOMPARE(m_f->state.networkAddress(), address); // what the cage labels' QR codes open
        QCOMPARE(qr, drawn(address));
        QCOMPARE(stewardsQr, drawn(address + "puntuar#clave=" + QString(key).remove(u'-')));

        QCOMPARE(status("POST", port.toUShort(), "/api/jaulas/1/puntuaciones", key), 201);
        QCOMPARE(status("GET", port.toUShort(), "/api/jaulas/1", "MAL12345"), 401);
        guitest::whenShown<NetworkWindow>([&](NetworkWindow* window) {
            QTRY_COMPARE(child<QListWidget>(window, "listaPuntuaciones")->count(), 1);
            scores = child<QListWidget>(window, "listaPuntuaciones")->item(0)->text().mid(10);
            devices = child<QLabel>(window, "labelDispositivos")->text();
            QTRY_VERIFY(child<QLabel>(window, "labelClavesEquivocadas")->isVisible());
            wrongKeys = child<QLabel>(window, "labelClavesEquivocadas")->text();
            child<QPushButton>(window, "botonCambiarClave")->click(); // a new drawn key
            newKey = child<QLineEdit>(window, "textClave")->text();
            window->accept();
        });
        child<QAction>(main, "actionRed")->trigger();
        QCOMPARE(scores + " / " + devices + " / " + wrongKeys,
                 "Jaula 1  Juez 2  90,00  (127.0.0.1) / 1 / 1 clave equivocada en el último minuto");
        QCOMPARE(status("GET", port.toUShort(), "/api/jaulas/1", key), 401);
        QCOMPARE(status("GET", port.toUShort(), "/api/jaulas/1", newKey), 200);

        main->close();
        QCOMPARE(httptest::rawStatus(port.toUShort(), "GET / HTTP/1.1\r\nHost: x\r\n\r\n"), -1);
        QCOMPARE(m_f->state.networkAddress(), QString());
    }

    // A port in use: a clear message, nothing started, and the window still there to try again
    // (a port out of range is the keyboard table's): corrected, it starts; "Parar" stops it.
    void aPortInUseIsRefused()
    {
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::Any, 0));
        const QString port = QString::number(other.serverPort());
        NetworkWindow* window = m_f->show();
        Messages::script(Messages::Answer::Ok);
        startOn(window, port, QString());
        QCOMPARE(Messages::last().text,
                 "El puerto " + port + " está ocupado por otro programa: elija otro puerto.");
        QVERIFY(!window->serving() && m_f->w<QPushButton>("botonIniciar")->isEnabled());
        startOn(window, freePort(), "clave789");
        QVERIFY(window->serving());
        m_f->w<QPushButton>("botonParar")->click();
        QCOMPARE(m_f->w<QLabel>("labelEstado")->text(), "Servidor parado");
    }
};

QTEST_MAIN(TestNetworkWindow)
#include "test_network_window.moc"
