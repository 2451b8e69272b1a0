#include "store/write_fault.h"

#include <atomic>
#include <sqlite3.h>

namespace store
{

namespace
{

// Armed only by tests; a product run pays one relaxed load per write.
std::atomic<bool> armed{false};
std::atomic<int> remaining{0};
std::atomic<int> seen{0};
std::atomic<int> failCode{0};
std::atomic<bool> hasFired{false};

int codeOf(WriteFault::Kind kind)
{
    switch (kind) {
    case WriteFault::Kind::DiskFull:
        return SQLITE_FULL;
    case WriteFault::Kind::IoError:
        return SQLITE_IOERR_WRITE;
    case WriteFault::Kind::ReadOnly:
        return SQLITE_READONLY;
    case WriteFault::Kind::Busy:
        return SQLITE_BUSY;
    }
    return SQLITE_IOERR;
}

} // namespace

WriteFault::WriteFault(int nth, Kind kind)
{
    seen = 0;
    hasFired = false;
    remaining = nth;
    failCode = codeOf(kind);
    armed = true;
}

WriteFault::~WriteFault()
{
    armed = false;
}

bool WriteFault::fired() const
{
    return hasFired;
}

int WriteFault::writesSeen() const
{
    return seen;
}

int detail::countWrite()
{
    if (!armed.load(std::memory_order_relaxed))
        return 0;
    ++seen;
    if (--remaining != 0)
        return 0;
    armed = false;
    hasFired = true;
    return failCode;
}

} // namespace store
