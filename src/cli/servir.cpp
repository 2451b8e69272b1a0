#include "cli/command_line.h"
#include "cli/commands.h"
#include "rules/exhibition/exhibition.h"
#include "server/show_server.h"
#include "store/error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <csignal>
#include <unistd.h>

namespace cli
{

namespace
{

const QString servirUsage =
    QStringLiteral("Uso: palomas-cli servir EXPOSICION.mdb [--puerto P] [--clave CLAVE] [--clubs CLUB.mdb]");

// SIGINT and SIGTERM reach the event loop through a pipe: the handler may only write a byte.
int signalPipe[2] = {-1, -1};

extern "C" void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

// palomas-cli servir: the show's server without windows, until SIGINT or SIGTERM.
int servir(const QStringList& args, Streams io)
{
    const CommandLine line(args, servirUsage,
                           {QStringLiteral("puerto"), QStringLiteral("clave"), QStringLiteral("clubs")}, {}, 1);
    server::ServerSettings settings;
    if (line.isSet(QStringLiteral("puerto"))) {
        bool ok = false;
        const uint port = line.value(QStringLiteral("puerto")).toUInt(&ok);
        if (!ok || port > 65535)
            throw UsageError{QStringLiteral("El puerto debe ser un número del 0 al 65535.\n") + servirUsage};
        settings.port = quint16(port);
    }
    settings.key = line.value(QStringLiteral("clave"));
    settings.exhibitionPath = line[0];
    settings.clubsPath = clubsFile(line.value(QStringLiteral("clubs")), true);
    if (!QFileInfo::exists(settings.exhibitionPath))
        throw store::Error(
            QStringLiteral("No se encuentra la exposición «%1».").arg(settings.exhibitionPath));

    if (::pipe(signalPipe) != 0)
        throw store::Error(QStringLiteral("No se pueden atender las señales de parada."));
    QSocketNotifier stopped(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopped, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    server::ShowServer show;
    if (const QString refusal = show.start(settings); !refusal.isEmpty()) {
        io.err << refusal << Qt::endl;
        return 1;
    }
    // Opened as the windows open it: a new show gets its default configuration (three judges),
    // or every phone's score would be refused. Once serving, so that a refusal leaves it as it was.
    exhibition::openShow(settings.exhibitionPath);
    io.out << QStringLiteral("Sirviendo en http://%1:%2/ clave %3")
                  .arg(server::lanAddress())
                  .arg(show.port())
                  .arg(show.key())
           << Qt::endl;
    // Wrong keys are told on a line of their own as they rise, at most every ten seconds, so
    // that an attack shows in the terminal without filling it.
    QElapsedTimer sinceTold;
    int told = 0;
    QObject::connect(&show, &server::ShowServer::wrongKeysChanged, [&](int count) {
        if (count > told && (!sinceTold.isValid() || sinceTold.hasExpired(10000))) {
            io.out << server::wrongKeysLine(count) << Qt::endl;
            sinceTold.start();
        }
        told = count;
    });
    QObject::connect(&show, &server::ShowServer::storeFailed,
                     [&](const QString& message) { io.err << message << Qt::endl; });
    QCoreApplication::exec();
    // Every request under way is answered and every write committed before the file is let go.
    show.stop();
    io.out << QStringLiteral("Servidor parado.") << Qt::endl;
    return 0;
}

} // namespace cli
