#include "cli/command_line.h"

#include "cli/commands.h"
#include "rules/exhibition/exhibition.h"
#include "store/error.h"

#include <QFileInfo>

namespace cli
{

CommandLine::CommandLine(const QStringList& args, const QString& usage, const QStringList& valueOptions,
                         const QStringList& flags, qsizetype positional)
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const QString& name : valueOptions)
        m_parser.addOption(QCommandLineOption(name, QString(), name));
    for (const QString& name : flags)
        m_parser.addOption(QCommandLineOption(name));
    // The parser takes the program's name first.
    if (!m_parser.parse(QStringList{QStringLiteral("palomas-cli")} + args)) {
        const QStringList unknown = m_parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            // Named as it was typed, dashes and value included.
            for (const QString& arg : args)
                if (arg.startsWith(u'-') && arg.section(u'=', 0, 0).remove(u'-') == unknown.front())
                    throw UsageError{QStringLiteral("Opción desconocida: «%1»\n").arg(arg) + usage};
        }
        throw UsageError{usage};
    }
    for (const QString& name : valueOptions)
        if (m_parser.values(name).size() > 1)
            throw UsageError{usage};
    m_positional = m_parser.positionalArguments();
    if (m_positional.size() != positional)
        throw UsageError{usage};
}

QString clubsFile(const QString& given, bool needed)
{
    const QString path = given.isEmpty() ? exhibition::clubsPath(exhibition::programFolder()) : given;
    if (QFileInfo::exists(path))
        return path;
    if (!given.isEmpty() || needed)
        throw store::Error(
            QStringLiteral("No se encuentra el archivo de clubes «%1»; indíquelo con --clubs.").arg(path));
    return {};
}

} // namespace cli
