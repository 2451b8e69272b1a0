// palomas-cli servir: the line it prints, the scores it stores while it serves, its exit on
// SIGINT and SIGTERM with the file sound, and its refusals.

#include "../server/http_client.h"
#include "cli_run.h"
#include "server/show_server.h"
#include "support/fixtures.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <csignal>

class TestCliServir : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    QString m_clubs;
    QNetworkAccessManager m_net;

private slots:
    void initTestCase()
    {
        httptest::noProxy();
        m_clubs = m_dir.filePath(QStringLiteral("Club.mdb"));
        store::Database::create(m_clubs, store::schema::clubs());
    }

    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("expo.mdb"));
        QFile::remove(m_path);
        store::Database db = store::Database::create(m_path, store::schema::exhibition());
        fixtures::setConfig(db, 3, false);
        fixtures::addBird(db, 7, QStringLiteral("B"), QStringLiteral("H"));
    }

    void servesUntilStopped_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    // A show without configuration, as "crear" leaves it: served as the windows open it, with
    // three judges.
    void servesUntilStopped()
    {
        QFETCH(int, signal);
        store::Database::open(m_path, store::schema::exhibition()).execute(QStringLiteral("DELETE FROM Config"));
        QProcess servir;
        servir.start(QStringLiteral(PALOMAS_CLI),
                     {QStringLiteral("servir"), m_path, QStringLiteral("--puerto"), QStringLiteral("0"),
                      QStringLiteral("--clave"), QStringLiteral("abc12345"), QStringLiteral("--clubs"),
                      m_clubs});
        QVERIFY(servir.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(servir.canReadLine(), 15000);
        const QString line = QString::fromUtf8(servir.readLine()).trimmed();
        const QRegularExpressionMatch serving =
            QRegularExpression(QStringLiteral("^Sirviendo en http://(\\S+):(\\d+)/ clave abc12345$"))
                .match(line);
        QVERIFY2(serving.hasMatch(), qPrintable(line));
        QCOMPARE(serving.captured(1), server::lanAddress());
        const quint16 port = quint16(serving.captured(2).toUInt());

        QCOMPARE(httptest::send(m_net, "GET", httptest::request(port, QStringLiteral("/api/jaulas/7"), "Bearer abc")).status,
                 401);
        const httptest::Answer stored = httptest::send(
            m_net, "POST",
            httptest::request(port, QStringLiteral("/api/jaulas/7/puntuaciones"), "Bearer ABC12345"),
            R"({"juez":1,"puntos":[8,8,17,27,27]})");
        QCOMPARE(stored.status, 201);

        ::kill(pid_t(servir.processId()), signal);
        QVERIFY(servir.waitForFinished(15000));
        QCOMPARE(servir.exitStatus(), QProcess::NormalExit);
        QCOMPARE(servir.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(servir.readAllStandardOutput()),
                 QStringLiteral("1 clave equivocada en el último minuto\nServidor parado.\n"));
        QVERIFY(!QFile::exists(m_path + QStringLiteral("-journal")));

        store::Database db = store::Database::open(m_path, store::schema::exhibition());
        store::Statement check = db.prepare(QStringLiteral("PRAGMA integrity_check"));
        QVERIFY(check.step());
        QCOMPARE(check.text(0), QStringLiteral("ok"));
        QCOMPARE(fixtures::column(db, QStringLiteral("select * from puntos"), QStringLiteral("puntost")),
                 QStringLiteral("87"));
        QCOMPARE(fixtures::column(db, QStringLiteral("select * from recepcion"), QStringLiteral("termina")),
                 QStringLiteral("N"));
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString usage = QStringLiteral(
            "Uso: palomas-cli servir EXPOSICION.mdb [--puerto P] [--clave CLAVE] [--clubs CLUB.mdb]");
        QTest::newRow("no exhibition") << QStringList{} << 2 << usage;
        QTest::newRow("port not a number") << QStringList{"expo", "--puerto", "80x"} << 2
                                           << "El puerto debe ser un número del 0 al 65535.\n" + usage;
        QTest::newRow("port too high") << QStringList{"expo", "--puerto", "70000"} << 2
                                       << "El puerto debe ser un número del 0 al 65535.\n" + usage;
        QTest::newRow("port missing") << QStringList{"expo", "--puerto"} << 2 << usage;
        QTest::newRow("unknown option") << QStringList{"expo", "--tls"} << 2
                                        << QString::fromUtf8("Opción desconocida: «--tls»\n") + usage;
        QTest::newRow("key too short")
            << QStringList{"expo", "--clave", "1234567"} << 1
            << "La clave debe tener de 8 a 32 letras o cifras, sin acentos.";
        QTest::newRow("no clubs file")
            << QStringList{"expo", "--clubs", "nada.mdb"} << 1
            << QString::fromUtf8("No se encuentra el archivo de clubes «nada.mdb»; indíquelo con --clubs.");
        QTest::newRow("port in use")
            << QStringList{"expo", "--puerto", "taken"} << 1
            << QString::fromUtf8("El puerto %1 está ocupado por otro programa: elija otro puerto.");
    }

    void refused()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::Any, 0));
        for (QString& arg : args) {
            if (arg == u"expo")
                arg = m_path;
            if (arg == u"taken") {
                arg = QString::number(other.serverPort());
                message = message.arg(arg);
            }
        }
        if (!args.contains(QStringLiteral("--clubs")) && !args.isEmpty())
            args = QStringList{QStringLiteral("--clubs"), m_clubs} + args;
        const QByteArray before = fixtures::fingerprint(m_path);
        const CliResult result = runCli(QStringList{QStringLiteral("servir")} + args);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.err, message + u'\n');
        QCOMPARE(result.out, QString());
        QCOMPARE(fixtures::fingerprint(m_path), before);
    }
};

QTEST_GUILESS_MAIN(TestCliServir)
#include "test_cli_servir.moc"
