// A reader that misbehaves on purpose, started by the tests in place of palomas-lector with the
// same arguments ([--memoria MB] -- LIBRO). The "workbook" says what to do: "segv", "abort",
// "hang", "flood", "exit3 " followed by an answer to write before exiting with 3, or anything
// else, written back as the answer byte for byte.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::ifstream in(argv[argc - 1], std::ios::binary);
    const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (script == "segv")
        std::raise(SIGSEGV);
    if (script == "abort")
        std::abort();
    if (script == "hang")
        std::this_thread::sleep_for(std::chrono::hours(1));
    if (script == "flood") {
        // More than the program receives, then nothing more: the program must stop reading.
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 80; ++i)
            std::fwrite(block.data(), 1, block.size(), stdout);
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
    if (script.rfind("exit3 ", 0) == 0) {
        std::fwrite(script.data() + 6, 1, script.size() - 6, stdout);
        return 3;
    }
    std::fwrite(script.data(), 1, script.size(), stdout);
    return 0;
}
