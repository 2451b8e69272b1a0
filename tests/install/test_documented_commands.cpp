// Every command palomas-cli knows, and every option its usage names, is described in the manual
// page and offered by the bash completion: a command added without them is caught here.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace
{

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(PALOMAS_CLI), args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString source(const char* relative)
{
    QFile file(QStringLiteral(PALOMAS_SOURCE_DIR "/") + QString::fromLatin1(relative));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no se puede leer %s", relative);
    return QString::fromUtf8(file.readAll());
}

// The commands as "palomas-cli --help" lists them.
QStringList commands()
{
    const Result help = runCli({QStringLiteral("--help")});
    static const QRegularExpression list(QStringLiteral("^Órdenes: (.*)$"),
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = list.match(help.out);
    if (help.exitCode != 0 || !match.hasMatch())
        qFatal("palomas-cli --help no da la lista de órdenes: %s", qPrintable(help.out + help.err));
    return match.captured(1).split(QStringLiteral(", "));
}

// The manual page's section of a command: from its ".SS" heading to the next heading.
QString manSection(const QString& page, const QString& command)
{
    QString escaped = command;
    escaped.replace(u'-', QStringLiteral("\\-"));
    const qsizetype start = page.indexOf(QStringLiteral(".SS \"") + escaped + u' ');
    const qsizetype alone = page.indexOf(QStringLiteral(".SS \"") + escaped + u'"');
    const qsizetype at = start >= 0 ? start : alone;
    if (at < 0)
        return {};
    const qsizetype end = page.indexOf(
        QRegularExpression(QStringLiteral("^\\.S[SH] "), QRegularExpression::MultilineOption), at + 1);
    return page.mid(at, end < 0 ? -1 : end - at);
}

// The completion's options offered after a command ("listados) options=\"--clubs --pdf\" ;;").
QStringList completionOptions(const QString& script, const QString& command)
{
    const QRegularExpression line(QStringLiteral("^\\s*") + QRegularExpression::escape(command) +
                                      QStringLiteral("\\) options=\"([^\"]*)\""),
                                  QRegularExpression::MultilineOption);
    return line.match(script).captured(1).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class TestDocumentedCommands : public QObject
{
    Q_OBJECT

private slots:
    void command_data()
    {
        QTest::addColumn<QString>("command");
        for (const QString& command : commands())
            QTest::newRow(qPrintable(command)) << command;
    }

    void command()
    {
        QFETCH(QString, command);
        QVERIFY2(!manSection(source("packaging/man/palomas-cli.1.in"), command).isEmpty(),
                 "sin sección en palomas-cli(1)");
        static const QRegularExpression list(QStringLiteral("local commands=\"([^\"]*)\""));
        const QStringList offered =
            list.match(source("packaging/completion/palomas-cli"))
                .captured(1)
                .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        QVERIFY2(offered.contains(command), "la compleción no la ofrece");
    }

    void option_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("option");
        static const QRegularExpression optionWord(QStringLiteral("--[a-z]+"));
        int options = 0;
        for (const QString& command : commands()) {
            // Without its arguments a command prints its usage.
            const Result usage = runCli({command});
            if (usage.exitCode != 2 || !usage.err.startsWith(QStringLiteral("Uso: palomas-cli ")))
                qFatal("%s sin argumentos no da su uso: %s", qPrintable(command), qPrintable(usage.err));
            for (const QRegularExpressionMatch& match : optionWord.globalMatch(usage.err)) {
                QTest::newRow(qPrintable(command + u' ' + match.captured())) << command << match.captured();
                ++options;
            }
        }
        // The usages that name options are found at all.
        if (options < 3)
            qFatal("solo %d opciones en los usos de las órdenes", options);
    }

    void option()
    {
        QFETCH(QString, command);
        QFETCH(QString, option);
        QString escaped = option;
        escaped.replace(u'-', QStringLiteral("\\-"));
        QVERIFY2(manSection(source("packaging/man/palomas-cli.1.in"), command).contains(escaped),
                 "sin describir en la sección de la orden en palomas-cli(1)");
        QVERIFY2(completionOptions(source("packaging/completion/palomas-cli"), command).contains(option),
                 "la compleción no la ofrece tras la orden");
    }
};

QTEST_GUILESS_MAIN(TestDocumentedCommands)
#include "test_documented_commands.moc"
