#include "lector/process_setup.h"

#if defined(__has_include)
#if __has_include(<sys/resource.h>)
#include <sys/resource.h>
#define PALOMAS_HAS_RLIMIT 1
#endif
#endif

#if defined(__linux__)
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define PALOMAS_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PALOMAS_ADDRESS_SANITIZER 1
#endif
#endif

namespace lector
{

#if defined(PALOMAS_HAS_RLIMIT)
namespace
{

void limit(int resource, rlim_t value)
{
    rlimit current{};
    if (getrlimit(resource, &current) != 0)
        return;
    // Never above the hard limit the reader was started with: that would fail.
    if (current.rlim_max != RLIM_INFINITY && value > current.rlim_max)
        value = current.rlim_max;
    current.rlim_cur = value;
    setrlimit(resource, &current);
}

} // namespace
#endif

void limitThisProcess(std::uint64_t memoryBytes, unsigned cpuSeconds)
{
#if defined(PALOMAS_HAS_RLIMIT)
#if !defined(PALOMAS_ADDRESS_SANITIZER)
    limit(RLIMIT_AS, rlim_t(memoryBytes));
#else
    (void)memoryBytes;
#endif
    limit(RLIMIT_CPU, rlim_t(cpuSeconds));
    limit(RLIMIT_CORE, 0);
#else
    (void)memoryBytes;
    (void)cpuSeconds;
#endif
}

void endWithParent(long long parent)
{
#if defined(__linux__)
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A parent that ended before the request was made will send nothing: the reader was already
    // handed to another process.
    if (getppid() != pid_t(parent))
        _exit(1);
#else
    (void)parent;
#endif
}

void binaryStandardOutput()
{
#if defined(_WIN32)
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

} // namespace lector
