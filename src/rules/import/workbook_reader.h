#pragma once

// Reading a workbook in a separate, short-lived process: palomas-lector, beside the program's
// own executable, reads the file and answers over a pipe (src/lector/protocol.h). A damaged
// workbook can crash that process, exhaust its memory or keep it busy; the program only waits,
// within limits, and checks the answer. The program itself links no reader of any format.

#include "rules/import/workbook_answer.h"

#include <QString>
#include <functional>
#include <vector>

namespace imports
{

// How the reader is run.
struct ReaderSetup {
    QString program;               // the reader's executable
    int timeoutMs = 30000;         // then the reader is stopped
    int memoryMb = 1024;           // address space the reader allows itself
    std::function<void()> waiting; // called at start and every few hundredths of a second
};

// palomas-lector in the folder of the running executable.
QString readerProgram();
ReaderSetup defaultReaderSetup();

// The sheets of the workbook at path. Raises WorkbookError with a sentence naming the cause when
// the reader says the workbook cannot be read, and "El libro «X» está dañado o no se puede leer."
// when it crashes, reaches a limit, exits with an error or answers anything but a well-formed
// answer.
std::vector<SheetCells> readWorkbook(const QString& path, const ReaderSetup& setup);

// The Spanish sentence for a refusal of the reader, the workbook named by its file name.
QString refusalMessage(const ReaderRefusal& refusal, const QString& fileName);

// The message for a workbook that the reader could not read whole.
QString damagedMessage(const QString& fileName);

} // namespace imports
