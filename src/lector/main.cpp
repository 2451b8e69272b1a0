// palomas-lector [--memoria MB] [--padre PID] [--] LIBRO: reads the workbook and writes its sheets and cells,
// or why it cannot be read, on the standard output (protocol.h). Started by the program for each
// workbook it imports, so that a damaged file can crash this process and never the program.

#include "lector/process_setup.h"
#include "lector/protocol.h"
#include "lector/read_workbook.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace
{

constexpr std::uint64_t defaultMemoryMb = 1024;
// A backstop for a reader left running by a program that ended: the program's own time limit
// is far shorter.
constexpr unsigned cpuSeconds = 120;

int usage()
{
    std::fputs("Uso: palomas-lector [--memoria MB] [--padre PID] [--] LIBRO\n", stderr);
    return lector::exitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    std::uint64_t memoryMb = defaultMemoryMb;
    std::optional<long long> parent;
    std::string path;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--memoria" && i + 1 < argc) {
            const std::string_view value(argv[++i]);
            const auto parsed = std::from_chars(value.data(), value.data() + value.size(), memoryMb);
            if (parsed.ec != std::errc() || parsed.ptr != value.data() + value.size() || memoryMb == 0 ||
                memoryMb > 1024 * 1024)
                return usage();
        } else if (options && arg == "--padre" && i + 1 < argc) {
            const std::string_view value(argv[++i]);
            long long pid = 0;
            const auto parsed = std::from_chars(value.data(), value.data() + value.size(), pid);
            if (parsed.ec != std::errc() || parsed.ptr != value.data() + value.size() || pid <= 0)
                return usage();
            parent = pid;
        } else if (path.empty() && !(options && arg.substr(0, 2) == "--")) {
            path = arg;
        } else {
            return usage();
        }
    }
    if (path.empty())
        return usage();

    if (parent)
        lector::endWithParent(*parent);
    lector::limitThisProcess(memoryMb * 1024 * 1024, cpuSeconds);
    lector::binaryStandardOutput();
    const std::string answer = lector::readWorkbook(path);
    if (std::fwrite(answer.data(), 1, answer.size(), stdout) != answer.size() || std::fflush(stdout) != 0)
        return 1;
    return lector::exitAnswered;
}
