// Temporary files that saves have created and not yet renamed over their
// targets or removed. They are removed when the program is ended by a
// termination request (SIGINT, SIGTERM, SIGHUP; a console control event on
// Windows), so that an interrupted save leaves nothing behind.
#pragma once

#include <filesystem>

namespace tornix {

// Removes every pending temporary file now. Safe inside a signal handler and
// a Windows console control handler: it allocates nothing and takes no lock.
void RemovePendingFiles() noexcept;

// For the programs' entry points: from now on a termination request removes
// the pending temporary files, then ends the program as it would have ended
// without this (by the same signal; on Windows through the next console
// control handler, so install this one after any that decide to go on).
void RemovePendingFilesOnTermination();

// Registers one temporary file as pending for as long as it is set. A name
// longer than 4095 units, or more than 16 pending files at once, is not
// registered; the save still works, only an interruption may leave it.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile() { Clear(); }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    void Set(const std::filesystem::path& path);
    void Clear() noexcept;

private:
    int m_slot = -1;
};

}  // namespace tornix
