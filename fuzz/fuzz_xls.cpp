// Any bytes as an .xls workbook, read as "Imp Recepcion" and "Imp Puntuacion" read one today:
// written to a file, opened by FreeXL, the sheet "Hoja1" walked row by row and every row judged.
// A workbook that cannot be read must end in a WorkbookError with its message, never in a crash,
// a hang or a sanitizer report.

#include "import/reception_import.h"
#include "import/score_import.h"
#include "import/worksheet.h"

#include <QString>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{

// One file per process, rewritten for every input: FreeXL reads only from a path.
const std::string& workbookPath()
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("palomas-fuzz-" + std::to_string(getpid()) + ".xls"))
            .string();
    return path;
}

bool writeWorkbook(const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(workbookPath().c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!writeWorkbook(data, size))
        return 0;
    const QString path = QString::fromStdString(workbookPath());
    try {
        for (const imports::ReceptionRow& row : imports::readReception(path))
            imports::assessReception(row);
    } catch (const imports::WorkbookError& e) {
        if (e.message().isEmpty())
            __builtin_trap(); // every refusal tells the user why
    }
    try {
        const imports::ScoreSheet sheet = imports::readScores(path);
        imports::judgeRefusal(sheet.juez);
        for (const imports::ScoreRow& row : sheet.rows)
            imports::assessScore(row, sheet.juez);
    } catch (const imports::WorkbookError& e) {
        if (e.message().isEmpty())
            __builtin_trap();
    }
    std::remove(workbookPath().c_str());
    return 0;
}
