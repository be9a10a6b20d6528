// Making SafeFileWriter fail on purpose: a full disk, a failing flush or
// rename, on any file system. For tests; nothing else installs faults.
#pragma once

#include <cerrno>
#include <cstdint>

namespace tornix {

struct WriteFaults {
    // A write that would take the new content past this many bytes stores
    // what fits and then fails, as on a full disk. Negative: no limit.
    std::int64_t failAfterBytes = -1;
    bool failFlush = false;    // flushing the new file to disk fails
    bool failReplace = false;  // renaming it over the target fails
    int error = ENOSPC;        // the error code the failing step reports
};

// Installs `faults` for every SafeFileWriter on this thread while it lives.
class ScopedWriteFaults {
public:
    explicit ScopedWriteFaults(const WriteFaults& faults);
    ~ScopedWriteFaults();
    ScopedWriteFaults(const ScopedWriteFaults&) = delete;
    ScopedWriteFaults& operator=(const ScopedWriteFaults&) = delete;

private:
    WriteFaults m_faults;
    const WriteFaults* m_previous;
};

}  // namespace tornix
