// The names a save gives the files it makes beside its target «notes.txt»:
//   «.notes.txt.tornix-<12 hex digits>.tmp»  the new content, or a backup,
//                                            while it is being written;
//   «notes.txt.tornix-backup»                the old content while the file
//                                            is rewritten in place.
// A backup kept in the user's backup folder instead (when the target's folder
// takes no new file) is named by the file's identity and its name:
//   «<device>-<index>-notes.txt».
// A name is shortened, never cut inside a character, where the whole would
// be longer than a folder allows.
#pragma once

#include <filesystem>

#include "files/file_system.h"

namespace tornix {

// How every temporary name of a target named `name` begins.
fs_os::NativeString TempPrefix(const fs_os::NativeString& name);

// A fresh temporary name for `name`: digits that no other writer, in this
// or another process, is likely to pick at the same time.
fs_os::NativeString TempName(const fs_os::NativeString& name);

// True for a name that TempName could give beginning with `prefix`.
bool IsTempName(const fs_os::NativeString& candidate, const fs_os::NativeString& prefix);

// True for a name that a save of any file gives (a temporary file or a
// backup): a batch of saves leaves such files alone.
bool IsSaveName(const fs_os::NativeString& candidate);

// The backup's name beside the target.
fs_os::NativeString BackupNameBeside(const fs_os::NativeString& name);

// How the names of the backups of one file begin in the backup folder, and
// the name of one.
fs_os::NativeString BackupPrefixByIdentity(const fs_os::FileIdentity& identity);
fs_os::NativeString BackupNameByIdentity(const fs_os::FileIdentity& identity, const fs_os::NativeString& name);

}  // namespace tornix
