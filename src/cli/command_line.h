#pragma once

// The arguments of a command, read by Qt's QCommandLineParser: its options (those that take a
// value, and flags) and its positional arguments. What the command does not expect is a usage
// error in the command's words: an unknown option is named as typed, followed by the usage; a
// missing value, a repeated option or a wrong number of arguments gives the usage alone.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace cli
{

class CommandLine
{
public:
    CommandLine(const QStringList& args, const QString& usage, const QStringList& valueOptions,
                const QStringList& flags, qsizetype positional);

    const QStringList& positional() const { return m_positional; }
    const QString& operator[](qsizetype i) const { return m_positional[i]; }
    // The option's value ("" when not given) and whether it was given.
    QString value(const QString& name) const { return m_parser.value(name); }
    bool isSet(const QString& name) const { return m_parser.isSet(name); }

private:
    QCommandLineParser m_parser;
    QStringList m_positional;
};

// The clubs file of a command: the one given with --clubs, or Club.mdb of the program folder.
// A file given that is not there is refused, and so is a missing Club.mdb when the command needs
// the clubs; otherwise "" stands for no clubs.
QString clubsFile(const QString& given, bool needed);

} // namespace cli
