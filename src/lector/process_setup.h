#pragma once

// What the reader does to itself before it touches a workbook. The one file of the program with
// calls of one operating system: elsewhere they build as they stand.

#include <cstdint>

namespace lector
{

// At most memoryBytes of address space (an allocation beyond fails instead of exhausting the
// machine), at most cpuSeconds of processor time (a reader whose program has gone stops by
// itself), and no core file when a damaged workbook crashes it. Without effect where the system
// has no such limits, and the memory limit is left out under AddressSanitizer, whose shadow
// memory takes terabytes of address space.
void limitThisProcess(std::uint64_t memoryBytes, unsigned cpuSeconds);

// Ends this process when the program that started it (whose process id is parent) ends, even
// killed: a reader left waiting on a file (a stalled network share, a pipe) would otherwise stay
// for as long as the file keeps it. Where the system cannot tell the reader, the processor-time
// limit above is the backstop.
void endWithParent(long long parent);

// The standard output written byte for byte: no line end translation.
void binaryStandardOutput();

} // namespace lector
