// The readers of .xlsx, .ods and .csv on any bytes, in the fuzzer's process: unlike FreeXL they
// are ours (on QuaZip and Qt's XML stream reader, which are hardened), so any crash, hang or
// sanitizer report is a fault to mend. Every answer must be one the program accepts whole.

#include "lector/csv_book.h"
#include "lector/xml_book.h"
#include "rules/import/workbook_answer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

void accepted(const std::string& answer, const char* reader)
{
    try {
        imports::decodeAnswer(QByteArrayView(answer.data(), qsizetype(answer.size())));
    } catch (const imports::AnswerError& e) {
        std::fprintf(stderr, "the %s reader wrote an answer the program refuses (%s):\n%.400s\n", reader,
                     e.what(), answer.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    accepted(lector::readXlsx(bytes), "xlsx");
    accepted(lector::readOds(bytes), "ods");
    accepted(lector::readCsv(bytes), "csv");
    return 0;
}
