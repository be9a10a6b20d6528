// Win32 implementation of the file system calls of the text file layer. Paths
// are wide throughout (std::filesystem::path holds UTF-16 on Windows), so any
// file name the chooser returns can be opened. Error codes are GetLastError().
#include <climits>
#include <string>

#include "files/file_system.h"
#include "files/win32_calls.h"
#include "files/wtf8.h"

namespace tornix::fs_os {

using win32::LastError;
using win32::Native;
using win32::Open;
using win32::Win;

namespace {

// Largest single ReadFile / WriteFile.
constexpr DWORD kMaxTransfer = DWORD{1} << 30;

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

}  // namespace

int FileHandle::CloseNative(NativeHandle handle) noexcept {
    return ::CloseHandle(reinterpret_cast<HANDLE>(handle)) ? 0 : LastError();
}

NativeHandle StandardInput() {
    return Native(::GetStdHandle(STD_INPUT_HANDLE));
}
NativeHandle StandardOutput() {
    return Native(::GetStdHandle(STD_OUTPUT_HANDLE));
}
NativeHandle StandardError() {
    return Native(::GetStdHandle(STD_ERROR_HANDLE));
}

bool CanOpenForReading(const std::filesystem::path& path) {
    // A directory fails: it opens only with backup semantics.
    const HANDLE handle = Open(path, GENERIC_READ, win32::kShareWithEveryone, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(handle);
    return true;
}

int OpenForReading(const std::filesystem::path& path, FileHandle& file, std::uint64_t& sizeHint) {
    sizeHint = 0;
    const DWORD attributes = ::GetFileAttributesW(win32::LongPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return IsDirectoryError();
    FileHandle opened(
        Native(Open(path, GENERIC_READ, win32::kShareWithEveryone, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN)));
    if (!opened.IsOpen()) return LastError();
    LARGE_INTEGER size{};
    if (::GetFileType(Win(opened)) == FILE_TYPE_DISK && ::GetFileSizeEx(Win(opened), &size) && size.QuadPart > 0) {
        sizeHint = static_cast<std::uint64_t>(size.QuadPart);
    }
    file = std::move(opened);
    return 0;
}

int OpenRegularForReading(const std::filesystem::path& path, FileHandle& file, std::uint64_t& size) {
    size = 0;
    const DWORD attributes = ::GetFileAttributesW(win32::LongPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return IsDirectoryError();
    // Opening a pipe or a device does not wait; reading it might.
    FileHandle opened(
        Native(Open(path, GENERIC_READ, win32::kShareWithEveryone, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN)));
    if (!opened.IsOpen()) return LastError();
    if (::GetFileType(Win(opened)) != FILE_TYPE_DISK) return NotRegularFileError();
    LARGE_INTEGER length{};
    if (::GetFileSizeEx(Win(opened), &length) && length.QuadPart > 0)
        size = static_cast<std::uint64_t>(length.QuadPart);
    file = std::move(opened);
    return 0;
}

int Identify(const FileHandle& file, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(Win(file), &info)) return LastError();
    identity.device = info.dwVolumeSerialNumber;
    identity.index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    identity.regular =
        ::GetFileType(Win(file)) == FILE_TYPE_DISK && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    identity.links = info.nNumberOfLinks;
    return 0;
}

std::optional<NativeHandle> DescriptorNamed(const std::filesystem::path&) {
    return std::nullopt;  // the system has no names for a process's handles
}

int ReadSomeAt(const FileHandle& file, std::uint64_t offset, char* buffer, std::size_t capacity, std::size_t& got) {
    got = 0;
    const DWORD asked = capacity > kMaxTransfer ? kMaxTransfer : static_cast<DWORD>(capacity);
    OVERLAPPED at = At(offset);
    DWORD read = 0;
    if (!::ReadFile(Win(file), buffer, asked, &read, &at)) {
        const int code = LastError();
        return code == ERROR_HANDLE_EOF ? 0 : code;
    }
    got = read;
    return 0;
}

int ReadSome(const FileHandle& file, char* buffer, std::size_t capacity, std::size_t& got) {
    got = 0;
    const DWORD asked = capacity > kMaxTransfer ? kMaxTransfer : static_cast<DWORD>(capacity);
    DWORD read = 0;
    if (!::ReadFile(Win(file), buffer, asked, &read, nullptr)) {
        const int code = LastError();
        return code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF ? 0 : code;  // the end of a pipe
    }
    got = read;
    return 0;
}

void AdviseLargeBuffer(void*, std::size_t) {
    // Large pages need a privilege that ordinary users lack; nothing to do.
}

void ReleaseBufferTail(void*, std::size_t, std::size_t) {
    // The heap's blocks are not the program's to decommit; nothing to do.
}

int OpenForWriting(const std::filesystem::path& path, FileHandle& file) {
    // A read-only file is refused even where the account could write it
    // anyway (an administrator's), as Explorer and the shell do.
    const DWORD attributes = ::GetFileAttributesW(win32::LongPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    // A file that another program holds open without letting others write
    // refuses this, and the save with it.
    FileHandle opened(Native(Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING)));
    if (!opened.IsOpen()) return LastError();
    file = std::move(opened);
    return 0;
}

int WriteAll(const FileHandle& file, const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD step = size > kMaxTransfer ? kMaxTransfer : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(Win(file), data, step, &written, nullptr)) return LastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        data += written;
        size -= written;
    }
    return 0;
}

int WriteAllAt(const FileHandle& file, std::uint64_t offset, const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD step = size > kMaxTransfer ? kMaxTransfer : static_cast<DWORD>(size);
        OVERLAPPED at = At(offset);
        DWORD written = 0;
        if (!::WriteFile(Win(file), data, step, &written, &at)) return LastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        data += written;
        size -= written;
        offset += written;
    }
    return 0;
}

int SetLength(const FileHandle& file, std::uint64_t length) {
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    return ::SetFileInformationByHandle(Win(file), FileEndOfFileInfo, &info, sizeof info) ? 0 : LastError();
}

int ReserveSpace(const FileHandle& file, std::uint64_t length) {
    if (length == 0 || length > static_cast<std::uint64_t>(LLONG_MAX)) return 0;
    FILE_ALLOCATION_INFO info{};
    info.AllocationSize.QuadPart = static_cast<LONGLONG>(length);
    if (!::SetFileInformationByHandle(Win(file), FileAllocationInfo, &info, sizeof info)) {
        const int code = LastError();
        if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) return code;
    }
    return 0;  // unknown; the write itself will tell
}

int FlushToDisk(const FileHandle& file) {
    return ::FlushFileBuffers(Win(file)) ? 0 : LastError();
}

void RemoveFileNow(const wchar_t* path) noexcept {
    // An open file is gone once its last handle closes.
    (void)::DeleteFileW(path);
}

std::string ErrorText(int error) {
    char* text = nullptr;
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(error), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                         reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

bool IsBrokenPipeError(int error) {
    // ERROR_PIPE_NOT_CONNECTED: a pipe to a program that has ended, as Wine
    // reports a POSIX pipe whose reader has gone.
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED;
}

bool IsBusyError(int error) {
    return error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION;
}

bool IsMountPointError(int) {
    return false;  // a file is not mounted on its own here
}

std::filesystem::path PathFromUtf8(std::string_view name) {
    const std::u16string wide = Utf16FromWtf8(name);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return Wtf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

bool IsMissingFolderError(int error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_DRIVE ||
           error == ERROR_BAD_NETPATH;
}
int IsDirectoryError() {
    return ERROR_DIRECTORY;
}  // "the directory name is invalid"
int NotRegularFileError() {
    return ERROR_BAD_FILE_TYPE;
}
int EndOfFileError() {
    return ERROR_HANDLE_EOF;
}

}  // namespace tornix::fs_os
