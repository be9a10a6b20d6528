// The operating-system calls that the text file layer is built on. This header
// is portable; file_system_posix.cpp implements it with POSIX calls and a
// Windows implementation provides the same functions with Win32 calls.
//
// Error codes are the platform's own (errno, GetLastError()); 0 means success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
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
// handle is closed again at once.
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
    bool regular = false;  // a regular file (not a pipe, device or terminal)
};
int Identify(const FileHandle& file, FileIdentity& identity);

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

// Follows symbolic links until `path` names something that is not one. A
// link to a missing file resolves to that missing file's path.
int ResolveLinks(const std::filesystem::path& path, std::filesystem::path& resolved);

// What `path` is, without following a final link.
int Inspect(const std::filesystem::path& path, FileKind& kind);
// What `path` leads to, following every link as opening it would (also the
// system's own, such as /dev/stdout).
int InspectFollowingLinks(const std::filesystem::path& path, FileKind& kind);

// Creates a new file for writing, failing when `path` exists; `exists` then
// becomes true. The file gets the platform's default permissions.
int CreateNew(const std::filesystem::path& path, FileHandle& file, bool& exists);

// Gives `file` the permission bits (and, where allowed, the owner) of the
// existing file `model`.
int CopyPermissions(const std::filesystem::path& model, const FileHandle& file);

// Creates a file for reading and writing in the folder for temporary files
// (TMPDIR, else /tmp; on Windows the user's temporary folder) that no other
// program can find and that disappears when it is closed, however the program
// ends.
int CreateUnnamedTemp(FileHandle& file);

// Marks a file that this process is writing as in use until it is closed, for
// IsAbandoned() in other processes.
void MarkInUse(const FileHandle& file);

// True when the regular file `path` is not in use by any process (see
// MarkInUse) and has not changed for `quietSeconds`.
bool IsAbandoned(const std::filesystem::path& path, unsigned quietSeconds);

// The names of the entries of `folder` that begin with `prefix` (itself a
// name, in the platform's encoding); nothing when the folder cannot be read.
std::vector<std::filesystem::path::string_type> NamesStartingWith(const std::filesystem::path& folder,
                                                                  const std::filesystem::path::string_type& prefix);

// Opens an existing file for reading and writing, without truncating it.
int OpenForUpdate(const std::filesystem::path& path, FileHandle& file);

// Opens an existing file for writing only, without truncating it (for
// devices and pipes, which are written straight through).
int OpenForWriting(const std::filesystem::path& path, FileHandle& file);

// Writes all bytes at the current position / at `offset`, waiting while a
// pipe that another program made non-blocking is full.
int WriteAll(const FileHandle& file, const char* data, std::size_t size);
int WriteAllAt(const FileHandle& file, std::uint64_t offset, const char* data, std::size_t size);

// Reads the whole file from its start.
int ReadAllFromStart(const FileHandle& file, std::string& bytes);

// Sets the file's length.
int SetLength(const FileHandle& file, std::uint64_t length);

// Makes sure the file has disk space for `length` bytes without changing its
// length. Returns an error only when the space is known to be missing; where
// the platform cannot tell, it returns 0.
int ReserveSpace(const FileHandle& file, std::uint64_t length);

// Writes the file's data through to the disk.
int FlushToDisk(const FileHandle& file);

// Renames `from` over `to` in one step; both are in the same folder.
int ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes a rename in `folder` durable, as far as the platform allows. Best
// effort: a failure here does not undo a save that has already happened.
void FlushFolder(const std::filesystem::path& folder);

int RemoveFile(const std::filesystem::path& path);

// Removes the file with the NUL-terminated native name `path`. Safe in a
// signal handler: it allocates nothing and takes no lock.
void RemoveFileNow(const std::filesystem::path::value_type* path) noexcept;

// The system's description of an error code, in English, for messages.
std::string ErrorText(int error);

// Error classes the portable code decides on.
bool IsMissingFolderError(int error);  // a folder on the way does not exist
bool IsBrokenPipeError(int error);     // the reader of a pipe has gone
int IsDirectoryError();                // the code for "is a directory"
int NotRegularFileError();             // the code for a FIFO, socket or device refused
int EndOfFileError();                  // the code for a file that ended early
int TooManyLinksError();               // the code for a link loop

}  // namespace tornix::fs_os
