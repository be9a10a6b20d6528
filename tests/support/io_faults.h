// Disk faults on demand, for tests of the safe writer and the commands that
// save: a full disk, a failing flush, a failing rename, a signal (or a
// crash, SIGKILL) at a chosen byte. The test programs that link
// io_faults.cpp replace the C library's openat, write, pwrite, fsync and
// renameat with versions that fail as the installed faults say (and note
// what they were asked) and otherwise call the real ones, so the product's
// own file-system code runs unchanged.
#pragma once

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <vector>

namespace tornix::testing {

struct WriteFaults {
    // Writes to regular files store this many bytes in all, then one fails,
    // as on a full disk; later writes succeed again (the space the old
    // content held is still there). Negative: no limit.
    std::int64_t failAfterBytes = -1;
    bool failFlush = false;    // flushing a file to disk fails
    bool failReplace = false;  // renaming a file fails
    int error = ENOSPC;        // the error code the failing step reports
    // Once writes to regular files have stored this many bytes, the process
    // sends itself `raiseSignal` (SIGKILL: a crash at that byte). Negative: never.
    std::int64_t raiseAfterBytes = -1;
    int raiseSignal = SIGKILL;
};

// Installs `faults` for the whole process while it lives.
class ScopedWriteFaults {
public:
    explicit ScopedWriteFaults(const WriteFaults& faults);
    ~ScopedWriteFaults();
    ScopedWriteFaults(const ScopedWriteFaults&) = delete;
    ScopedWriteFaults& operator=(const ScopedWriteFaults&) = delete;

private:
    const WriteFaults* m_previous;
    WriteFaults m_faults;
};

// The permission bits that files were created with by openat (before the
// umask), and those that regular files had when each write to them began,
// since the process started.
struct FileEvents {
    std::vector<unsigned> createdModes;
    std::vector<unsigned> writtenModes;
};
const FileEvents& RecordedFileEvents();

}  // namespace tornix::testing
