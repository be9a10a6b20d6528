// Rewriting a file where it is, for the saves that a rename would harm (a
// file with other hard links, another user's file, metadata that a new file
// cannot be given, a folder that takes no new file, a bind-mounted file).
//
// The rewrite holds the file's lock, so that two rewrites never mix, and
// keeps the old content in a named backup until the new content is on disk:
// beside the file («notes.txt.tornix-backup»), or, where its folder takes no
// new file, in the user's backup folder (fs_os::OpenBackupFolder). Signals
// that would end the program wait until the file holds the one content or
// the other whole. Should the program die all the same (SIGKILL, a crash, a
// power cut), the backup stays, and FindBackup shows it to the next save of
// the file, which is refused until the user has dealt with it.
#pragma once

#include <filesystem>
#include <optional>

#include "files/file_system.h"
#include "files/safe_writer.h"

namespace tornix {

struct RewriteOutcome {
    int error = 0;  // the system's code, 0 when the rewrite succeeded
    SaveProblem problem = SaveProblem::kNone;
    std::filesystem::path backup;  // for kBackupExists and kBackupKept
};

// The backup that a cut-off rewrite of the file `name` in `folder` (with
// `identity`) left, if there is one of this user's.
std::optional<std::filesystem::path> FindBackup(const fs_os::Folder& folder, const fs_os::NativeString& name,
                                                const fs_os::FileIdentity& identity);

// Makes `target` (the file `name` of `folder`, open for reading and writing)
// hold exactly the bytes of `content` (read from its start to its end). On
// failure the old content is put back; only when that fails too does the
// backup stay, and the outcome says where it is (kBackupKept).
RewriteOutcome RewriteInPlace(const fs_os::Folder& folder, const fs_os::NativeString& name,
                              const fs_os::FileHandle& target, const fs_os::FileHandle& content,
                              std::uint64_t contentSize);

// Copies all of `from`, from its start to its end, over `to`, cuts `to` to
// that length and flushes it to the disk.
int CopyContent(const fs_os::FileHandle& from, const fs_os::FileHandle& to);

}  // namespace tornix
