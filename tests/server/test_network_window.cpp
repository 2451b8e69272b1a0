// "Red de la Exposición": starting and stopping the server from the menu, what the window shows
// to open on a phone, the refusals of a port or key it cannot use, the scores it sees arrive,
// and the server stopping with the exhibition.

#include "http_client.h"
#include "output/qr_code.h"
#include "kit/messages.h"
#include "server/show_server.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/network/network_window.h"
#include "windows/shell/app_state.h"
#include "windows/shell/main_window.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTcpServer>

using guitest::child;

namespace
{

// A port nobody listens on now.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::Any, 0);
    return probe.serverPort();
}

} // namespace

class TestNetworkWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    QNetworkAccessManager m_net;

    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }

    // Types the port and key and presses "Iniciar".
    static void startOn(NetworkWindow* window, const QString& port, const QString& key)
    {
        guitest::type(child<QLineEdit>(window, "textPuerto"), port);
        guitest::type(child<QLineEdit>(window, "textClave"), key);
        child<QPushButton>(window, "botonIniciar")->click();
    }

private slots:
    void initTestCase() { httptest::noProxy(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = AppState{};
        m_state.programFolder = m_dir->path();
        m_state.dbPath = path("expo.mdb");
        store::Database::create(path("Club.mdb"), store::schema::clubs());
        store::Database db = store::Database::create(m_state.dbPath, store::schema::exhibition());
        fixtures::addRow(db, "Config", {{"nombre", "Regional 2026"}, {"region", "Castilla"}, {"jueces", 3}});
        fixtures::addBird(db, 1, "A", "M");
        guitest::startScripting();
    }

    void cleanup() { VERIFY_SCRIPTED(); }

    // The item at the end of the menu opens the window; started there, the server shows its
    // address as text and as a QR code, its key, the devices and the scores that arrive, and
    // keeps serving when the window is closed.
    void startFromTheMenu()
    {
        auto main = guitest::openMain(m_state);
        QVERIFY(main);
        const QList<QAction*> menu = child<QMenuBar>(main.get(), "menubar")->actions();
        QCOMPARE(menu.last()->text(), QStringLiteral("Red de la Exposición"));

        const quint16 port = freePort();
        QString address;
        QString key;
        QImage qr;
        QImage stewardsQr;
        guitest::whenShown<NetworkWindow>([&](NetworkWindow* window) {
            startOn(window, QString::number(port), QString());
            address = child<QLabel>(window, "labelDireccion")->text();
            key = child<QLineEdit>(window, "textClave")->text();
            qr = child<QLabel>(window, "labelQr")->pixmap().toImage();
            stewardsQr = child<QLabel>(window, "labelQrComisarios")->pixmap().toImage();
            window->accept();
        });
        menu.last()->trigger();
        QCOMPARE(address, QStringLiteral("http://%1:%2/").arg(server::lanAddress()).arg(port));
        QCOMPARE(m_state.networkAddress(), address); // what the cage labels' QR codes open
        QVERIFY2(QRegularExpression(QStringLiteral("^[2-9A-HJ-NP-Z]{5}-[2-9A-HJ-NP-Z]{5}$")).match(key).hasMatch(), qPrintable(key));
        // The results' code opens the board; the stewards' carries the key in the fragment.
        const auto scaled = [](const QString& text) {
            const QImage code = output::qrCode(text);
            return code.scaled(code.size() * 5).convertToFormat(QImage::Format_RGB32);
        };
        QCOMPARE(qr.convertToFormat(QImage::Format_RGB32), scaled(address));
        QCOMPARE(stewardsQr.convertToFormat(QImage::Format_RGB32),
                 scaled(address + QStringLiteral("puntuar#clave=") + QString(key).remove(u'-')));

        // The window closed, the server still serves; a score arrives and is listed.
        const httptest::Answer stored = httptest::send(
            m_net, "POST",
            httptest::request(port, QStringLiteral("/api/jaulas/1/puntuaciones"), "Bearer " + key.toLatin1()),
            R"({"juez":2,"puntos":[8,9,17.5,28,27.5]})");
        QCOMPARE(stored.status, 201);
        QCOMPARE(httptest::send(m_net, "GET", httptest::request(port, QStringLiteral("/api/jaulas/1"), "Bearer MAL12345"))
                     .status,
                 401);
        QStringList scores;
        QString devices;
        QString wrongKeys;
        QString newKey;
        guitest::whenShown<NetworkWindow>([&](NetworkWindow* window) {
            QTRY_COMPARE(child<QListWidget>(window, "listaPuntuaciones")->count(), 1);
            scores << child<QListWidget>(window, "listaPuntuaciones")->item(0)->text().mid(10);
            devices = child<QLabel>(window, "labelDispositivos")->text();
            QTRY_VERIFY(child<QLabel>(window, "labelClavesEquivocadas")->isVisible());
            wrongKeys = child<QLabel>(window, "labelClavesEquivocadas")->text();
            child<QPushButton>(window, "botonCambiarClave")->click(); // a new drawn key
            newKey = child<QLineEdit>(window, "textClave")->text();
            window->accept();
        });
        menu.last()->trigger();
        QCOMPARE(scores, QStringList{QStringLiteral("Jaula 1  Juez 2  90,00  (127.0.0.1)")});
        QCOMPARE(devices, QStringLiteral("1"));
        QCOMPARE(wrongKeys, QStringLiteral("1 clave equivocada en el último minuto"));
        QVERIFY(newKey != key);
        for (const auto& [given, status] : {std::pair{key, 401}, std::pair{newKey, 200}})
            QCOMPARE(httptest::send(m_net, "GET",
                                    httptest::request(port, QStringLiteral("/api/jaulas/1"), "Bearer " + given.toLatin1()))
                         .status,
                     status);

        // Closing the exhibition stops the server; the labels no longer point at it.
        main->close();
        QCOMPARE(httptest::rawStatus(port, "GET / HTTP/1.1\r\nHost: x\r\n\r\n"), -1);
        QCOMPARE(m_state.networkAddress(), QString());
    }

    void refusedSettings_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << "80a"
                                 << ""
                                 << "El puerto debe ser un número del 1 al 65535.";
        QTest::newRow("zero") << "0"
                              << ""
                              << "El puerto debe ser un número del 1 al 65535.";
        QTest::newRow("too high") << "65536"
                                  << ""
                                  << "El puerto debe ser un número del 1 al 65535.";
        QTest::newRow("key with a sign")
            << "free"
            << "clave_12345"
            << "La clave debe tener de 8 a 32 letras o cifras, sin acentos.";
        QTest::newRow("key too short, blanks and dashes not counted")
            << "free"
            << "12 34-567"
            << "La clave debe tener de 8 a 32 letras o cifras, sin acentos.";
        QTest::newRow("port in use") << "taken"
                                     << ""
                                     << "El puerto %1 está ocupado por otro programa: elija otro puerto.";
    }

    // A clear message, nothing started, and the window still there to try again.
    void refusedSettings()
    {
        QFETCH(QString, port);
        QFETCH(QString, key);
        QFETCH(QString, message);
        QTcpServer other;
        if (port == u"taken") {
            QVERIFY(other.listen(QHostAddress::Any, 0));
            port = QString::number(other.serverPort());
            message = message.arg(port);
        } else if (port == u"free") {
            port = QString::number(freePort());
        }
        m_state.mainDb = store::Database::open(m_state.dbPath, store::schema::exhibition());
        m_state.clubDb = store::Database::open(path("Club.mdb"), store::schema::clubs());
        NetworkWindow window(m_state);
        window.show();
        Messages::script(Messages::Answer::Ok);
        startOn(&window, port, key);
        QCOMPARE(Messages::last().text, message);
        QVERIFY(!window.serving());
        QVERIFY(child<QPushButton>(&window, "botonIniciar")->isEnabled());

        // Corrected, it starts; "Parar" stops it.
        startOn(&window, QString::number(freePort()), QStringLiteral("clave789"));
        QVERIFY(window.serving());
        QCOMPARE(child<QLineEdit>(&window, "textClave")->text(), QStringLiteral("clave789"));
        child<QPushButton>(&window, "botonParar")->click();
        QVERIFY(!window.serving());
        QCOMPARE(child<QLabel>(&window, "labelEstado")->text(), QStringLiteral("Servidor parado"));
    }
};

QTEST_MAIN(TestNetworkWindow)
#include "test_network_window.moc"
