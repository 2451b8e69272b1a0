// The reader's core on any bytes, as the program runs it: the walk of the records here, in the
// fuzzer's process (where coverage guides the fuzzing), then the whole reading (the walk, FreeXL
// and the answer) in a child process, as palomas-lector runs it for the program. Every answer the
// child writes must be one the program accepts whole: a reader that writes a malformed answer
// would turn a readable workbook into a damaged one.
//
// FreeXL is not hardened: a damaged workbook can make it read past its buffers or crash, which is
// why the program reads workbooks in a process of its own. A child that dies inside FreeXL is
// that design at work and is not reported (keep such a file in tests/data/damaged, where the
// tests check that the program survives it); a child that dies anywhere else, or answers what
// the program refuses, is a fault of ours and stops the fuzzer.

#include "lector/read_workbook.h"
#include "lector/xls_facts.h"
#include "rules/import/workbook_answer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sanitizer/common_interface_defs.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

constexpr int childSeconds = 20; // the program's own limit is 30 s on a slower machine

const std::string& workbookPath()
{
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        return std::string(folder != nullptr ? folder : "/tmp") + "/fuzz_workbook_reader-" +
               std::to_string(getpid()) + ".xls";
    }();
    return path;
}

void readAll(int fd, std::string& into)
{
    char buffer[65536];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        into.append(buffer, std::size_t(got));
}

struct Child {
    int status = 0;
    bool finished = false;
    std::string answer;
    std::string report; // the sanitizers' report, when it died of one
};

// Runs the reader on the workbook in a child process; its answer on one pipe, its sanitizer
// report on another.
Child runReader()
{
    int answerPipe[2];
    int reportPipe[2];
    if (pipe(answerPipe) != 0 || pipe(reportPipe) != 0)
        std::abort();
    const pid_t pid = fork();
    if (pid < 0)
        std::abort();
    if (pid == 0) {
        // The fuzzer's own handlers would report the child's death as the fuzzer's and save its
        // input: the child dies on its own, and the parent judges.
        __sanitizer_set_death_callback(nullptr);
        for (const int deadly : {SIGABRT, SIGBUS, SIGFPE, SIGILL})
            signal(deadly, SIG_DFL);
        close(answerPipe[0]);
        close(reportPipe[0]);
        dup2(reportPipe[1], STDERR_FILENO);
        const std::string answer = lector::readWorkbook(workbookPath());
        for (std::size_t done = 0; done < answer.size();) {
            const ssize_t wrote = write(answerPipe[1], answer.data() + done, answer.size() - done);
            if (wrote <= 0)
                _exit(3);
            done += std::size_t(wrote);
        }
        _exit(0);
    }
    close(answerPipe[1]);
    close(reportPipe[1]);
    Child child;
    // The answer is read while the child runs, so that a large one does not fill the pipe.
    pollfd watched{answerPipe[0], POLLIN, 0};
    bool ended = false;
    for (int waited = 0; !ended && waited < childSeconds * 10; ++waited) {
        if (poll(&watched, 1, 100) > 0) {
            char buffer[65536];
            const ssize_t got = read(answerPipe[0], buffer, sizeof buffer);
            ended = got <= 0;
            if (got > 0)
                child.answer.append(buffer, std::size_t(got));
        }
    }
    if (!ended)
        kill(pid, SIGKILL); // too slow: the program stops it too
    waitpid(pid, &child.status, 0);
    readAll(reportPipe[0], child.report);
    close(answerPipe[0]);
    close(reportPipe[0]);
    child.finished = WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0;
    return child;
}

} // namespace

// FreeXL's own over-reads seen through the sanitizer's interceptors, and its leaks, belong to the
// child's death or to nothing: the reader's process ends right after.
extern "C" const char* __asan_default_options()
{
    return "suppressions=" PALOMAS_FUZZ_DIR "/freexl.supp";
}

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfreexl.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lector::inspectXls(bytes);

    FILE* file = std::fopen(workbookPath().c_str(), "wb");
    if (file == nullptr)
        return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    if (!written)
        return 0;
    const Child child = runReader();
    if (!child.finished) {
        const bool inFreexl = child.report.find("libfreexl.so") != std::string::npos;
        const bool killedForTime = WIFSIGNALED(child.status) && WTERMSIG(child.status) == SIGKILL;
        if (inFreexl || killedForTime)
            return 0;
        std::fprintf(stderr, "the reader died outside FreeXL:\n%s\n", child.report.c_str());
        std::abort();
    }
    try {
        imports::decodeAnswer(QByteArrayView(child.answer.data(), qsizetype(child.answer.size())));
    } catch (const imports::AnswerError& e) {
        std::fprintf(stderr, "the reader wrote an answer the program refuses: %s\n", e.what());
        std::abort();
    }
    return 0;
}
