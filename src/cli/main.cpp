// palomas-cli: the passes of the program without windows, for automation and for the end of a
// show.

#include "base/install_layout.h"
#include "cli/commands.h"
#include "store/error.h"

#include <QCoreApplication>
#include <functional>
#include <map>
#include <memory>

namespace
{

const std::map<QString, std::function<int(const QStringList&, cli::Streams)>>& commands()
{
    static const std::map<QString, std::function<int(const QStringList&, cli::Streams)>> table = {
        {QStringLiteral("crear"), cli::crear},
        {QStringLiteral("recalcular"), cli::recalcular},
        {QStringLiteral("estado"), cli::estado},
        {QStringLiteral("comprobar"), cli::comprobar},

        {QStringLiteral("listados"), cli::listados},
        {QStringLiteral("exportar-xlsx"), cli::exportarXlsx},
        {QStringLiteral("hojas-jueces-xlsx"), cli::hojasJuecesXlsx},

        {QStringLiteral("impreso"), cli::impreso},

        {QStringLiteral("importar-recepcion"), cli::importarRecepcion},
        {QStringLiteral("importar-puntuacion"), cli::importarPuntuacion},

        {QStringLiteral("servir"), cli::servir},
        {QStringLiteral("copia"), cli::copia},
        {QStringLiteral("restaurar"), cli::restaurar},
        {QStringLiteral("historial"), cli::historial},

        {QStringLiteral("cerrar"), cli::cerrar},
        {QStringLiteral("sello"), cli::sello},
        {QStringLiteral("verificar"), cli::verificar},
        {QStringLiteral("reabrir"), cli::reabrir},
    };
    return table;
}

QString usage()
{
    QStringList names;
    for (const auto& [name, command] : commands())
        names << name;
    return QStringLiteral("Uso: palomas-cli ORDEN ARGUMENTOS...\nÓrdenes: %1")
        .arg(names.join(QStringLiteral(", ")));
}

} // namespace

int main(int argc, char* argv[])
{
    const std::unique_ptr<QCoreApplication> app = cli::makeApplication(argc, argv);
    install::nameApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        err << usage() << Qt::endl;
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == u"--version") {
        out << install::versionLine(QStringLiteral("palomas-cli")) << Qt::endl;
        return 0;
    }
    if (name == u"--help") {
        out << usage() << Qt::endl;
        return 0;
    }
    const auto command = commands().find(name);
    if (command == commands().end()) {
        err << QStringLiteral("Orden desconocida: «%1»").arg(name) << Qt::endl << usage() << Qt::endl;
        return 2;
    }
    try {
        return command->second(args, cli::Streams{out, err});
    } catch (const cli::UsageError& e) {
        err << e.message << Qt::endl;
        return 2;
    } catch (const base::Error& e) {
        err << e.message() << Qt::endl;
        return 1;
    }
}
