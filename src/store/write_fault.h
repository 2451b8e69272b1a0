#pragma once

// A store failure forced at a chosen write, so that every pass that promises "all or nothing"
// can be failed in its middle and shown to keep nothing of it. Writes are counted over the whole
// process: each step of a statement that changes the file (INSERT, UPDATE, DELETE, CREATE ...),
// never a read and never BEGIN, COMMIT or a savepoint. The forced failure goes through the same
// path as a real one from SQLite, with the same code, so it raises the same store::Error.

namespace store
{

class WriteFault
{
public:
    enum class Kind { DiskFull, IoError, ReadOnly, Busy };

    // The nth write from now fails (1: the next one). One fault at a time; the destructor clears
    // it, fired or not.
    explicit WriteFault(int nth, Kind kind = Kind::DiskFull);
    WriteFault(const WriteFault&) = delete;
    WriteFault& operator=(const WriteFault&) = delete;
    ~WriteFault();

    // Whether the failure was raised, and how many writes were counted since the fault was set.
    bool fired() const;
    int writesSeen() const;
};

namespace detail
{
// Counts one write; the SQLite result code to fail it with, or 0 to let it run.
int countWrite();
} // namespace detail

} // namespace store
