#include "rules/import/workbook_reader.h"

#include "base/install_layout.h"
#include "base/shown_value.h"
#include "lector/protocol.h"
#include "rules/import/workbook_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace imports
{

namespace
{

// How often the waiting is told while the reader runs: often enough for a progress bar to move.
constexpr int pollMs = 40;

QString grouped(quint64 number)
{
    return formats::groupedCount(number);
}

// "A" for column 1, "Z" for 26, "AA" for 27, as spreadsheets name columns.
QString columnName(quint64 column)
{
    QString name;
    for (; column > 0; column = (column - 1) / 26)
        name.prepend(QChar(u'A' + int((column - 1) % 26)));
    return name;
}

QString missingReader(const QString& program)
{
    return QStringLiteral("No se encuentra el lector de libros «%1»: vuelva a instalar el programa.")
        .arg(QDir::toNativeSeparators(program));
}

// The reader's whole output, or nothing when it did not end well within the limits.
std::optional<QByteArray> runReader(const QString& path, const ReaderSetup& setup)
{
    QProcess process;
    process.setProgram(setup.program);
    // The reader ends with the program, even when the program is killed.
    process.setArguments({QStringLiteral("--memoria"), QString::number(setup.memoryMb),
                          QStringLiteral("--padre"), QString::number(QCoreApplication::applicationPid()),
                          QStringLiteral("--"), QDir::toNativeSeparators(path)});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(setup.timeoutMs)) {
        if (process.error() == QProcess::FailedToStart)
            throw WorkbookError(QStringLiteral("No se puede iniciar el lector de libros «%1»: %2.")
                                    .arg(QDir::toNativeSeparators(setup.program), process.errorString()));
        return std::nullopt;
    }
    QElapsedTimer clock;
    clock.start();
    QByteArray output;
    bool withinLimits = true;
    if (setup.waiting)
        setup.waiting();
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(pollMs);
        output += process.readAllStandardOutput();
        if (quint64(output.size()) > lector::maxAnswerBytes || clock.elapsed() > setup.timeoutMs) {
            withinLimits = false;
            process.kill();
            process.waitForFinished(-1);
            break;
        }
        if (setup.waiting && process.state() != QProcess::NotRunning)
            setup.waiting();
    }
    output += process.readAllStandardOutput();
    if (!withinLimits || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != lector::exitAnswered)
        return std::nullopt;
    return output;
}

} // namespace

QString readerProgram()
{
    return install::helperProgram(install::current(), QStringLiteral("palomas-lector"));
}

ReaderSetup defaultReaderSetup()
{
    ReaderSetup setup;
    setup.program = readerProgram();
    return setup;
}

QString damagedMessage(const QString& fileName)
{
    return QStringLiteral("El libro «%1» está dañado o no se puede leer.").arg(fileName);
}

QString refusalMessage(const ReaderRefusal& refusal, const QString& fileName)
{
    switch (refusal.kind) {
    case ReaderRefusal::Kind::Format:
        return QStringLiteral("El archivo «%1» no es una hoja de cálculo (.xls, .xlsx, .ods o .csv) que se "
                              "pueda leer.")
            .arg(fileName);
    case ReaderRefusal::Kind::Password:
        return QStringLiteral("El libro «%1» está protegido con contraseña y no se puede leer.")
            .arg(fileName);
    case ReaderRefusal::Kind::Dimensions:
        return QStringLiteral("La hoja «%1» del libro «%2» dice tener %3 filas y %4 columnas, más de las que "
                              "caben en una hoja: el libro está dañado.")
            .arg(formats::shownValue(refusal.sheet), fileName, grouped(refusal.numbers[0]),
                 grouped(refusal.numbers[1]));
    case ReaderRefusal::Kind::Size:
        if (refusal.numbers[0] == 0)
            return QStringLiteral("El libro «%1» es demasiado grande para leerlo.").arg(fileName);
        return QStringLiteral(
                   "El libro «%1» es demasiado grande para leerlo: sus hojas dicen tener %2 celdas.")
            .arg(fileName, grouped(refusal.numbers[0]));
    case ReaderRefusal::Kind::Text:
        if (refusal.numbers[0] == 0 || refusal.numbers[1] == 0)
            return QStringLiteral(
                       "El libro «%1» tiene un texto de %2 caracteres, más de los que se pueden leer.")
                .arg(fileName, grouped(refusal.numbers[2]));
        return QStringLiteral(
                   "La celda %1%2 de la hoja «%3» del libro «%4» tiene un texto de %5 caracteres, más "
                   "de los que se pueden leer.")
            .arg(columnName(refusal.numbers[1]), QString::number(refusal.numbers[0]),
                 formats::shownValue(refusal.sheet), fileName, grouped(refusal.numbers[2]));
    case ReaderRefusal::Kind::Rows:
        return QStringLiteral(
                   "La hoja «%1» del libro «%2» tiene datos en la fila %3, más allá de las %4 filas "
                   "que se pueden importar.")
            .arg(formats::shownValue(refusal.sheet), fileName, grouped(refusal.numbers[0]),
                 grouped(lector::maxImportRows));
    case ReaderRefusal::Kind::Separators:
        return QStringLiteral(
                   "El archivo «%1» separa las columnas con «;» en unas filas y con «,» en otras (fila "
                   "%2): guárdelo de nuevo con un solo separador.")
            .arg(fileName, QString::number(refusal.numbers[0]));
    case ReaderRefusal::Kind::Empty:
        return QStringLiteral("El archivo «%1» está vacío.").arg(fileName);
    case ReaderRefusal::Kind::Damaged:
        break;
    }
    return damagedMessage(fileName);
}

std::vector<SheetCells> readWorkbook(const QString& path, const ReaderSetup& setup)
{
    const QString fileName = QFileInfo(path).fileName();
    if (!QFileInfo(setup.program).isFile())
        throw WorkbookError(missingReader(setup.program));
    const std::optional<QByteArray> output = runReader(path, setup);
    if (!output)
        throw WorkbookError(damagedMessage(fileName));
    ReaderAnswer answer;
    try {
        answer = decodeAnswer(*output);
    } catch (const AnswerError& e) {
        if (e.otherVersion())
            throw WorkbookError(
                QStringLiteral(
                    "El lector de libros «%1» no es de esta versión del programa: vuelva a instalar "
                    "el programa.")
                    .arg(QDir::toNativeSeparators(setup.program)));
        throw WorkbookError(damagedMessage(fileName));
    }
    if (answer.refusal)
        throw WorkbookError(refusalMessage(*answer.refusal, fileName));
    return std::move(answer.sheets);
}

} // namespace imports
