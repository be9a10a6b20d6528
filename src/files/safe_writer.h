// SafeFileWriter: replaces a file only once its new content is complete and on
// disk, and keeps what the file was.
//
// Usually the bytes go to a temporary file beside the target (named as
// files/save_names.h says), readable by its owner only until it has been
// given the target's owner, group, permission bits and extended attributes
// (ACLs among them), exactly; it is flushed and then renamed over the target,
// so a failed or abandoned save leaves the previous file as it was. While it
// exists it is pending (files/pending_files.h): a termination request removes
// it. One that a crash or SIGKILL left behind is removed by the next
// successful save of the same target, provided no process holds it open (see
// fs_os::MarkInUse) and it has not changed for ten seconds.
//
// Where a rename would lose what the file is — other hard links to it, an
// owner or metadata that this user cannot give a new file, a folder that
// allows no new file, a file mounted on its own — the content is gathered in
// an unnamed temporary file (TemporaryFile, in TMPDIR) and the target is
// rewritten in place at Commit(), with its lock held and a named backup of
// the old content (files/in_place_rewrite.h). A save of a file whose earlier
// rewrite was cut off is refused while that backup is there.
//
// A symbolic link is followed as the system follows it (fs_os::ResolveLinks,
// which refuses another user's link in a shared sticky folder): the file it
// points to is replaced, the link stays. An existing file that this process
// may not write is refused (kCannotCreate), even where the folder would allow
// the rename. A device or a pipe cannot be replaced by a rename: it is
// refused, or, where the caller asks for it, written straight through as the
// bytes come; so is a name that stands for one of the process's descriptors
// (/dev/stdout, /dev/fd/N).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace tornix {

enum class WriteStatus { kOk, kCannotCreate, kWriteFailed };

// What went wrong beyond the system's error code, for the message.
enum class SaveProblem {
    kNone,
    kUnsafeLink,       // another user's link in a shared sticky folder: not followed
    kBackupExists,     // an earlier rewrite was cut off; its backup holds the old content
    kBackupKept,       // the rewrite failed and the old content could not be put back: it is in the backup
    kBusy,             // another program is rewriting the file
    kTemporaryFolder,  // the folder for temporary files failed (the error is its)
};

// What a target that is neither a regular file nor missing (a FIFO, a
// device, a socket) gets.
enum class SpecialTarget {
    kRefuse,        // kCannotCreate, at once and without waiting
    kWriteThrough,  // opened and written as the bytes come (a FIFO waits for its reader)
};

// Whether a successful save looks for what interrupted saves of the same
// target left beside it (which lists the target's folder).
enum class LeftoverCleanup { kAfterSave, kNone };

// Replaces `target` only when Commit() succeeds; otherwise it is left as it was and
// the temporary file is removed (also by the destructor).
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::filesystem::path target, SpecialTarget special = SpecialTarget::kRefuse,
                            LeftoverCleanup cleanup = LeftoverCleanup::kAfterSave);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    WriteStatus Open();                  // kCannotCreate on failure
    bool Write(std::string_view bytes);  // false on an I/O error
    WriteStatus Commit();                // flush, fsync, rename; kWriteFailed on failure
    int LastError() const;               // the system's code of the last failure, 0 if none
    SaveProblem Problem() const;         // what the last failure was, beyond its code
    // kBackupExists, kBackupKept: where the old content is; kTemporaryFolder: that folder.
    const std::filesystem::path& ProblemPath() const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tornix
