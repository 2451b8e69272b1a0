#pragma once

// The commands of palomas-cli. Each takes its arguments (after the command's name), prints a
// one-line Spanish summary on out, or a clear message on err, and returns the exit code.

#include <QStringList>
#include <QTextStream>

namespace cli {

struct Streams {
    QTextStream& out;
    QTextStream& err;
};

// An error of the command line: the message is printed on err and the exit code is 2.
struct UsageError {
    QString message;
};

int crear(const QStringList& args, Streams io);
// -- reception
int recalcular(const QStringList& args, Streams io);

// -- listings

// -- import

} // namespace cli
