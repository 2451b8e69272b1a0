// A reader that misbehaves on purpose, started by the tests in place of palomas-lector with the
// same arguments ([--memoria MB] -- LIBRO). The "workbook" says what to do: "segv", "abort",
// "hang", "flood" (more than the program takes, then nothing), "exit3 " and an answer to write
// before exiting with 3, or anything else, written back as the answer byte for byte.

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
    std::ifstream in(argv[argc - 1], std::ios::binary);
    const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (script == "segv")
        std::raise(SIGSEGV);
    if (script == "abort")
        std::abort();
    const std::string block(1 << 20, 'x');
    for (int i = 0; script == "flood" && i < 80; ++i)
        std::fwrite(block.data(), 1, block.size(), stdout);
    std::fflush(stdout);
    if (script == "hang" || script == "flood")
        std::this_thread::sleep_for(std::chrono::hours(1));
    const bool exit3 = script.rfind("exit3 ", 0) == 0;
    std::fwrite(script.data() + (exit3 ? 6 : 0), 1, script.size() - (exit3 ? 6 : 0), stdout);
    return exit3 ? 3 : 0;
}
