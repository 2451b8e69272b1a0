// The reader's core on any bytes: the walk of the records, FreeXL's reading and the answer. Every
// answer it writes must be one the program accepts whole: a reader that writes a malformed
// answer would turn a readable workbook into a damaged one.

#include "import/workbook_answer.h"
#include "lector/read_workbook.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{

// FreeXL reads from a path: the bytes are written to a file of this process.
const std::string& workbookPath()
{
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        return std::string(folder != nullptr ? folder : "/tmp") + "/fuzz_workbook_reader-" +
               std::to_string(getpid()) + ".xls";
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FILE* file = std::fopen(workbookPath().c_str(), "wb");
    if (file == nullptr)
        return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    if (!written)
        return 0;
    const std::string answer = lector::readWorkbook(workbookPath());
    try {
        imports::decodeAnswer(QByteArrayView(answer.data(), qsizetype(answer.size())));
    } catch (const imports::AnswerError& e) {
        std::fprintf(stderr, "the reader wrote an answer the program refuses: %s\n", e.what());
        std::abort();
    }
    return 0;
}
