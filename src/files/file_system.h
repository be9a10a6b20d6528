// The operating-system calls that the text file layer is built on. This header
// is portable; file_system_posix.cpp implements it with POSIX calls and a
// Windows implementation provides the same functions with Win32 calls.
//
// Error codes are the platform's own (errno, GetLastError()); 0 means success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tornix::fs_os {

using NativeHandle = std::intptr_t;  // a descriptor, or a HANDLE's value
inline constexpr NativeHandle kNoHandle = -1;

// An open file, closed when it goes out of scope, or a borrowed one (a
// standard stream), which is used but never closed.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(NativeHandle handle) : m_handle(handle) {}
    static FileHandle Borrow(NativeHandle handle) {
        FileHandle file(handle);
        file.m_owned = false;
        return file;
    }
    FileHandle(FileHandle&& other) noexcept : m_owned(other.m_owned) { m_handle = other.Release(); }
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_owned = other.m_owned;
            m_handle = other.Release();
        }
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }

    bool IsOpen() const noexcept { return m_handle != kNoHandle; }
    NativeHandle Get() const noexcept { return m_handle; }
    NativeHandle Release() noexcept {
        const NativeHandle handle = m_handle;
        m_handle = kNoHandle;
        m_owned = true;
        return handle;
    }
    // Closes the file and returns the error of the close (0 when none, when
    // nothing was open or when the handle is borrowed).
    int Close() noexcept {
        const bool owned = m_owned;
        const NativeHandle handle = Release();
        return owned && handle != kNoHandle ? CloseNative(handle) : 0;
    }

private:
    static int CloseNative(NativeHandle handle) noexcept;

    NativeHandle m_handle = kNoHandle;
    bool m_owned = true;
};

// The process's standard streams.
NativeHandle StandardInput();
NativeHandle StandardOutput();
NativeHandle StandardError();

enum class FileKind { kMissing, kRegular, kDirectory, kOther };

// True when `path` opens for reading now and is not a directory. The
// handle is closed again at once. Reading shares the file with programs that
// write it (a log being written reads as far as it has got).
bool CanOpenForReading(const std::filesystem::path& path);

// Opens an existing file for reading. A directory is refused with the
// platform's "is a directory" error. `sizeHint` is the file's size when the
// platform knows it, otherwise 0. A FIFO opens once a writer has it open.
int OpenForReading(const std::filesystem::path& path, FileHandle& file, std::uint64_t& sizeHint);

// Opens an existing regular file for reading, without waiting: a directory
// gives the "is a directory" error, anything else that is not a regular file
// (a FIFO, a socket, a device) NotRegularFileError(). `size` is its length.
int OpenRegularForReading(const std::filesystem::path& path, FileHandle& file, std::uint64_t& size);

// What identifies an open file: two handles with equal device and index refer
// to the same file.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    bool regular = false;     // a regular file (not a pipe, device or terminal)
    std::uint64_t links = 1;  // the names it has in folders (hard links)
};
int Identify(const FileHandle& file, FileIdentity& identity);

// The descriptor that a name of the system's stands for, where it is one:
// /dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N. Writing to the name
// should write through that descriptor (which may be a file opened for
// appending), not replace what it leads to.
std::optional<NativeHandle> DescriptorNamed(const std::filesystem::path& path);

// Reads up to `capacity` bytes; `got` is 0 at the end of the file.
int ReadSome(const FileHandle& file, char* buffer, std::size_t capacity, std::size_t& got);
// The same at `offset`, leaving the file's position alone.
int ReadSomeAt(const FileHandle& file, std::uint64_t offset, char* buffer, std::size_t capacity, std::size_t& got);

// A hint that `size` bytes at `data` are about to be filled at once, so the
// system may back them with large pages. Nothing is done for small buffers.
void AdviseLargeBuffer(void* data, std::size_t size);

// A hint that the bytes of a buffer after its first `used` (of `capacity`)
// hold nothing any more: the system may take back the memory they were
// given, and they read as zero if it does.
void ReleaseBufferTail(void* data, std::size_t used, std::size_t capacity);

// Follows symbolic links until `path` names something that is not one, as
// the system follows them for this user. A link to a missing file resolves
// to that missing file's path. A link that another user made in a sticky
// folder that everyone may write (/tmp) is not followed unless that user
// owns the folder, as Linux refuses it with fs.protected_symlinks: `refused`
// becomes true and the error is the system's "permission denied".
int ResolveLinks(const std::filesystem::path& path, std::filesystem::path& resolved, bool& refused);

// What `path` is, without following a final link.
int Inspect(const std::filesystem::path& path, FileKind& kind);
// What `path` leads to, following every link as opening it would (also the
// system's own, such as /dev/stdout).
int InspectFollowingLinks(const std::filesystem::path& path, FileKind& kind);

using NativeString = std::filesystem::path::string_type;

// A folder held open. Files are made, renamed and removed in it by their
// names alone, so that what is done stays in the folder that was opened,
// whatever happens to its path meanwhile, and no path grows longer than the
// system allows. (On Windows the folder is known by its path.)
struct Folder {
    std::filesystem::path path;
    FileHandle handle;
};
int OpenFolder(const std::filesystem::path& path, Folder& folder);

// Who may read a file that CreateNewIn makes.
enum class NewFileAccess {
    kDefault,    // as any new file of the user's (the umask, the folder's default ACL)
    kOwnerOnly,  // its owner alone, until it is given other rights
};

// Creates the file `name` in `folder` for reading and writing, failing when
// the name exists (also as a link); `exists` then becomes true.
int CreateNewIn(const Folder& folder, const NativeString& name, NewFileAccess access, FileHandle& file, bool& exists);

// Opens the existing regular file `name` of `folder` for writing, and for
// reading too where this process may read it (`readable`), not following a
// link and without truncating it. On Windows no other program may write it
// while it is open.
int OpenForUpdateIn(const Folder& folder, const NativeString& name, FileHandle& file, bool& readable);

// Opens the regular file `name` of `folder` for reading, not following a link.
int OpenExistingIn(const Folder& folder, const NativeString& name, FileHandle& file);

// Renames `from` to `to` within `folder`, replacing a file named `to`.
int RenameIn(const Folder& folder, const NativeString& from, const NativeString& to);

// The same, but failing when `to` exists; `exists` then becomes true.
int RenameNewIn(const Folder& folder, const NativeString& from, const NativeString& to, bool& exists);

int RemoveIn(const Folder& folder, const NativeString& name);

// What `name` in `folder` is: nothing, a regular file of this user's (not a
// link), or anything else.
enum class NameUse { kFree, kOwnFile, kOther };
NameUse UseOfNameIn(const Folder& folder, const NativeString& name);

// Gives `copy` the owner, the group, the permission bits and the extended
// attributes (ACLs among them) of `original`, exactly as they are. Fails
// (changing nothing that matters: `copy` stays no more readable than it
// was) where any of it cannot be given exactly, as when another user owns
// `original`. On Windows: the attributes that a file carries of its own
// (hidden, system, not indexed); its security and streams go with the
// replacement (ReplaceFile).
int CopyMetadata(const FileHandle& original, const FileHandle& copy);

// Takes the lock that one rewrite of a file holds: 0, or an error for which
// IsBusyError is true while another program holds it. Released when the
// handle is closed.
int LockForRewrite(const FileHandle& file);

// The folder for temporary files (TMPDIR, else /tmp; on Windows the user's
// temporary folder), as a path for messages.
std::filesystem::path TemporaryFolderPath();

// Opens this user's own folder for backups inside the folder for temporary
// files, making it when it is missing and `create` asks for it. Refused when
// it is a link, or another user's, or others may enter it.
int OpenBackupFolder(Folder& folder, bool create);

// Creates a file for reading and writing in the folder for temporary files
// (TMPDIR, else /tmp; on Windows the user's temporary folder) that no other
// program can find and that disappears when it is closed, however the program
// ends.
int CreateUnnamedTemp(FileHandle& file);

// Marks a file that this process is writing as in use until it is closed, for
// IsAbandoned() in other processes.
void MarkInUse(const FileHandle& file);

// True when the regular file `name` of `folder` is not in use by any process
// (see MarkInUse) and has not changed for `quietSeconds`.
bool IsAbandoned(const Folder& folder, const NativeString& name, unsigned quietSeconds);

// The names of the entries of `folder` that begin with `prefix` (itself a
// name, in the platform's encoding); nothing when the folder cannot be read.
std::vector<NativeString> NamesStartingWith(const Folder& folder, const NativeString& prefix);

// One entry of a folder, as it is (a link is not followed).
struct FolderEntry {
    enum class Kind { kRegular, kFolder, kLink, kOther };  // kOther: a FIFO, a socket, a device
    NativeString name;
    Kind kind = Kind::kOther;
    FileIdentity identity;   // for kRegular
    std::uint64_t size = 0;  // for kRegular
};

// The entries of `folder` but "." and "..", in no particular order. 0 or the
// error that kept the folder from being read.
int ListFolder(const Folder& folder, std::vector<FolderEntry>& entries);

// What `path` is, as FolderEntry says it, following links (a path named on a
// command line is what it leads to), without opening a FIFO or a device.
int ExamineFollowingLinks(const std::filesystem::path& path, FolderEntry& entry);

// The paths that a name with wildcards (* and ?, in its last part) matches,
// sorted, where the system's shell leaves them to programs (Windows); nothing
// there for a name without a match. Elsewhere the shell has expanded them,
// and the name is taken as it is: {path}.
std::vector<std::filesystem::path> MatchWildcards(const std::filesystem::path& path);

// True when `stream` is a terminal (a console on Windows).
bool IsTerminal(NativeHandle stream);

// Opens an existing file for writing only, without truncating it (for
// devices and pipes, which are written straight through).
int OpenForWriting(const std::filesystem::path& path, FileHandle& file);

// Writes all bytes at the current position / at `offset`, waiting while a
// pipe that another program made non-blocking is full.
int WriteAll(const FileHandle& file, const char* data, std::size_t size);
int WriteAllAt(const FileHandle& file, std::uint64_t offset, const char* data, std::size_t size);

// Sets the file's length.
int SetLength(const FileHandle& file, std::uint64_t length);

// Makes sure the file has disk space for `length` bytes without changing its
// length. Returns an error only when the space is known to be missing; where
// the platform cannot tell, it returns 0.
int ReserveSpace(const FileHandle& file, std::uint64_t length);

// Writes the file's data through to the disk.
int FlushToDisk(const FileHandle& file);

// Makes what was renamed or removed in `folder` durable, as far as the
// platform allows. Best effort: a failure here does not undo a save that has
// already happened.
void FlushFolder(const Folder& folder);

// Removes the file with the NUL-terminated native name `path`. Safe in a
// signal handler: it allocates nothing and takes no lock.
void RemoveFileNow(const std::filesystem::path::value_type* path) noexcept;

// The system's description of an error code, in English, for messages.
std::string ErrorText(int error);

// A path from a name given as UTF-8 (a command-line argument; on Windows
// the entry point gives each argument as WTF-8, see files/wtf8.h), and a
// path as UTF-8 for messages (WTF-8 on Windows; the bytes elsewhere).
std::filesystem::path PathFromUtf8(std::string_view name);
std::string Utf8FromPath(const std::filesystem::path& path);

// Error classes the portable code decides on.
bool IsMissingFolderError(int error);  // a folder on the way does not exist
bool IsBrokenPipeError(int error);     // the reader of a pipe has gone
bool IsBusyError(int error);           // another program holds the file's lock
bool IsMountPointError(int error);     // the target is a mount point of its own (a bind-mounted file)
int IsDirectoryError();                // the code for "is a directory"
int NotRegularFileError();             // the code for a FIFO, socket or device refused
int EndOfFileError();                  // the code for a file that ended early

}  // namespace tornix::fs_os
