// Every command palomas-cli knows, and every option its usage names, is described in the manual
// page and offered by the bash completion: a command added without them is caught here.

#include "cli/cli_run.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace
{

QString source(const char* relative)
{
    QFile file(QStringLiteral(PALOMAS_SOURCE_DIR "/") + QString::fromLatin1(relative));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no se puede leer %s", relative);
    return QString::fromUtf8(file.readAll());
}

// The manual page's section of a command: from its ".SS" heading to the next heading.
QString manSection(const QString& command)
{
    const QString page = source("packaging/man/palomas-cli.1.in");
    const QRegularExpression heading(
        "^\\.SS \"" + QRegularExpression::escape(QString(command).replace("-", "\\-")) + "[ \"]",
        QRegularExpression::MultilineOption);
    const qsizetype at = page.indexOf(heading);
    if (at < 0)
        return {};
    const qsizetype end =
        page.indexOf(QRegularExpression("^\\.S[SH] ", QRegularExpression::MultilineOption), at + 1);
    return page.mid(at, end < 0 ? -1 : end - at);
}

// The words the completion offers: the commands, or the options after a command
// ("listados) options=\"--clubs --pdf\" ;;").
QStringList offered(const QString& command = {})
{
    const QRegularExpression line(command.isEmpty() ? QString("local commands=\"([^\"]*)\"")
                                                    : "^\\s*" + QRegularExpression::escape(command) +
                                                          "\\) options=\"([^\"]*)\"",
                                  QRegularExpression::MultilineOption);
    return line.match(source("packaging/completion/palomas-cli"))
        .captured(1)
        .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

} // namespace

class TestDocumentedCommands : public QObject
{
    Q_OBJECT

private slots:
    // The commands as "palomas-cli --help" lists them, and the options each one's usage names.
    void documented_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("option"); // none: the command itself
        const CliResult help = runCli({"--help"});
        const QRegularExpressionMatch list =
            QRegularExpression("^Órdenes: (.*)$", QRegularExpression::MultilineOption).match(help.out);
        if (help.exitCode != 0 || !list.hasMatch())
            qFatal("palomas-cli --help no da la lista de órdenes: %s", qPrintable(help.out + help.err));
        int options = 0;
        for (const QString& command : list.captured(1).split(", ")) {
            QTest::newRow(qPrintable(command)) << command << QString();
            const CliResult usage = runCli({command});
            if (usage.exitCode != 2 || !usage.err.startsWith("Uso: palomas-cli "))
                qFatal("%s sin argumentos no da su uso: %s", qPrintable(command), qPrintable(usage.err));
            for (const QRegularExpressionMatch& match :
                 QRegularExpression("--[a-z]+(-[a-z]+)*").globalMatch(usage.err)) {
                QTest::newRow(qPrintable(command + ' ' + match.captured())) << command << match.captured();
                ++options;
            }
        }
        // The usages that name options are found at all.
        if (options < 3)
            qFatal("solo %d opciones en los usos de las órdenes", options);
    }
    void documented()
    {
        QFETCH(QString, command);
        QFETCH(QString, option);
        const QString section = manSection(command);
        QVERIFY2(!section.isEmpty(), "sin sección en palomas-cli(1)");
        if (option.isEmpty()) {
            QVERIFY2(offered().contains(command), "la compleción no la ofrece");
        } else {
            QVERIFY2(section.contains(QString(option).replace("-", "\\-")),
                     "sin describir en la sección de la orden en palomas-cli(1)");
            QVERIFY2(offered(command).contains(option), "la compleción no la ofrece tras la orden");
        }
    }
};

QTEST_GUILESS_MAIN(TestDocumentedCommands)
#include "test_documented_commands.moc"
