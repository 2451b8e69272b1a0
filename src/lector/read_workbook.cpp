#include "lector/read_workbook.h"

#include "lector/answer_writer.h"
#include "lector/protocol.h"
#include "lector/xls_book.h"

#include <fstream>
#include <iterator>

namespace lector
{

std::string readWorkbook(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return AnswerWriter::refusal(refusal::format);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return AnswerWriter::refusal(refusal::format);
    if (std::uint64_t(size) > maxFileBytes)
        return AnswerWriter::refusal(refusal::size, {AnswerWriter::numberField(0)});
    in.seekg(0, std::ios::beg);
    std::string file(std::size_t(size), '\0');
    if (!in.read(file.data(), size))
        return AnswerWriter::refusal(refusal::format);
    // Every workbook today is an .xls; the readers of other formats will be chosen here.
    return readXls(path, file);
}

} // namespace lector
