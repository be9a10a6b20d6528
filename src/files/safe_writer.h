// SafeFileWriter: replaces a file only once its new content is complete and on
// disk. The bytes go to a temporary file in the target's folder, which is
// flushed and then renamed over the target, so a failed or abandoned save
// leaves the previous file as it was.
//
// The temporary file is named after its target: «.notes.txt.tornix-<12 hex
// digits>.tmp» beside «notes.txt» (hidden, and never the target's own name).
// While it exists it is pending (files/pending_files.h): a termination request
// removes it. One that a crash or SIGKILL left behind is removed by the next
// successful save of the same target, provided no process holds it open (see
// fs_os::MarkInUse) and it has not changed for ten seconds.
//
// The target keeps its permission bits (a new file gets the platform's
// default ones). A symbolic link is followed: the file it points to is
// replaced, the link stays. Where the folder does not allow a new file but the
// target itself is writable, the content is written in place instead: it is
// gathered in an unnamed temporary file (TemporaryFile, in TMPDIR) and copied
// over the target at Commit(), after the old content has been copied aside to
// be put back if that fails, so memory stays small whatever the size. An
// existing file that this process may not write is refused (kCannotCreate).
// A device or a pipe cannot be replaced by a rename: it is refused, or, where
// the caller asks for it, written straight through as the bytes come.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace tornix {

enum class WriteStatus { kOk, kCannotCreate, kWriteFailed };

// What a target that is neither a regular file nor missing (a FIFO, a
// device, a socket) gets.
enum class SpecialTarget {
    kRefuse,        // kCannotCreate, at once and without waiting
    kWriteThrough,  // opened and written as the bytes come (a FIFO waits for its reader)
};

// Replaces `target` only when Commit() succeeds; otherwise it is left as it was and
// the temporary file is removed (also by the destructor).
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::filesystem::path target, SpecialTarget special = SpecialTarget::kRefuse);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    WriteStatus Open();                  // kCannotCreate on failure
    bool Write(std::string_view bytes);  // false on an I/O error
    WriteStatus Commit();                // flush, fsync, rename; kWriteFailed on failure
    int LastError() const;               // errno of the last failure, 0 if none

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tornix
