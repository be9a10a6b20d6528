// Win32 implementation of the file system calls of the text file layer. Paths
// are wide throughout (std::filesystem::path holds UTF-16 on Windows), so any
// file name the chooser returns can be opened. Error codes are GetLastError().
#include <windows.h>

#include <atomic>
#include <climits>
#include <string>

#include "files/file_system.h"

// <windows.h> maps ReplaceFile to ReplaceFileW; the layer has its own.
#undef ReplaceFile

namespace tornix::fs_os {
namespace {

HANDLE Win(const FileHandle& file) {
    return reinterpret_cast<HANDLE>(file.Get());
}

NativeHandle Native(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<NativeHandle>(handle);
}

int LastError() {
    return static_cast<int>(::GetLastError());
}

// Largest single ReadFile / WriteFile.
constexpr DWORD kMaxTransfer = DWORD{1} << 30;

constexpr int kMaxLinkHops = 31;  // as the system's own reparse limit

HANDLE Open(const std::filesystem::path& path, DWORD access, DWORD share, DWORD disposition, DWORD flags = 0) {
    return ::CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
}

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
    // Sharing with readers only: a file that another process holds open for
    // writing fails, and so does a directory (it needs backup semantics).
    const HANDLE handle = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(handle);
    return true;
}

int OpenForReading(const std::filesystem::path& path, FileHandle& file, std::uint64_t& sizeHint) {
    sizeHint = 0;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return IsDirectoryError();
    FileHandle opened(Native(Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN)));
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
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return IsDirectoryError();
    // Opening a pipe or a device does not wait; reading it might.
    FileHandle opened(Native(Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN)));
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
    return 0;
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

int ResolveLinks(const std::filesystem::path& path, std::filesystem::path& resolved) {
    std::filesystem::path current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        const DWORD attributes = ::GetFileAttributesW(current.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) break;
        std::error_code error;
        const std::filesystem::path next = std::filesystem::read_symlink(current, error);
        if (error) break;  // a junction or another kind of reparse point: not a link to follow
        current = next.is_absolute() ? next : current.parent_path() / next;
        if (hop == kMaxLinkHops) return TooManyLinksError();
    }
    resolved = current;
    return 0;
}

int Inspect(const std::filesystem::path& path, FileKind& kind) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::kDirectory : FileKind::kRegular;
        return 0;
    }
    const int code = LastError();
    // Devices (NUL, CON, pipes) have no attributes but open.
    FileHandle device(Native(Open(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING)));
    if (device.IsOpen() && ::GetFileType(Win(device)) != FILE_TYPE_DISK) {
        kind = FileKind::kOther;
        return 0;
    }
    if (IsMissingFolderError(code)) {
        kind = FileKind::kMissing;
        return 0;
    }
    return code;
}

int InspectFollowingLinks(const std::filesystem::path& path, FileKind& kind) {
    return Inspect(path, kind);  // devices are names, not links, here
}

int CreateNew(const std::filesystem::path& path, FileHandle& file, bool& exists) {
    // No other program may read or write it meanwhile (which IsAbandoned
    // relies on), but it may be deleted while open: RemoveFileNow does that.
    FileHandle created(
        Native(Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL)));
    if (!created.IsOpen()) {
        const int code = LastError();
        exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
        return code;
    }
    exists = false;
    file = std::move(created);
    return 0;
}

int CopyPermissions(const std::filesystem::path& model, const FileHandle& file) {
    // The new file inherits its folder's access rights like the old one did;
    // what the old file carries of its own are the hidden, system and
    // indexing attributes.
    const DWORD attributes = ::GetFileAttributesW(model.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
    const DWORD kept =
        attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept == 0) return 0;
    FILE_BASIC_INFO info{};
    info.FileAttributes = kept | FILE_ATTRIBUTE_ARCHIVE;
    return ::SetFileInformationByHandle(Win(file), FileBasicInfo, &info, sizeof info) ? 0 : LastError();
}

int CreateUnnamedTemp(FileHandle& file) {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return LastError();
    static std::atomic<unsigned> counter{0};
    int code = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && code == ERROR_FILE_EXISTS; ++attempt) {
        const std::wstring name = std::wstring(folder) + L"tornix-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(counter.fetch_add(1)) + L"-" + std::to_wstring(::GetTickCount()) +
                                  L".tmp";
        // Deleted by the system when its last handle closes, also when the
        // process is ended from outside.
        FileHandle created(Native(Open(name, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW,
                                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE)));
        if (created.IsOpen()) {
            file = std::move(created);
            return 0;
        }
        code = LastError();
    }
    return code;
}

void MarkInUse(const FileHandle&) {
    // CreateNew's share mode already keeps other programs from opening it.
}

bool IsAbandoned(const std::filesystem::path& path, unsigned quietSeconds) {
    // Fails while the writer still has it open (see CreateNew).
    FileHandle probe(Native(Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT)));
    if (!probe.IsOpen()) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(Win(probe), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    };
    constexpr std::uint64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns
    return ticks(now) >= ticks(info.ftLastWriteTime) + std::uint64_t{quietSeconds} * kTicksPerSecond;
}

std::vector<std::wstring> NamesStartingWith(const std::filesystem::path& folder, const std::wstring& prefix) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW((folder / (prefix + L"*")).c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);  // not a short name's match
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

int OpenForUpdate(const std::filesystem::path& path, FileHandle& file) {
    FileHandle opened(Native(Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING)));
    if (!opened.IsOpen()) return LastError();
    file = std::move(opened);
    return 0;
}

int OpenForWriting(const std::filesystem::path& path, FileHandle& file) {
    // A read-only file is refused even where the account could write it
    // anyway (an administrator's), as Explorer and the shell do.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
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

int ReadAllFromStart(const FileHandle& file, std::string& bytes) {
    bytes.clear();
    std::uint64_t offset = 0;
    constexpr DWORD kStep = DWORD{1} << 20;
    for (;;) {
        bytes.resize(offset + kStep);
        OVERLAPPED at = At(offset);
        DWORD read = 0;
        if (!::ReadFile(Win(file), bytes.data() + offset, kStep, &read, &at)) {
            const int code = LastError();
            if (code == ERROR_HANDLE_EOF) break;
            bytes.clear();
            return code;
        }
        offset += read;
        if (read == 0) break;
    }
    bytes.resize(offset);
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

int ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    // One rename within the folder: the target has either its old or its new
    // content, never a part of either.
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                                       : LastError();
}

void FlushFolder(const std::filesystem::path&) {
    // MOVEFILE_WRITE_THROUGH has already made the rename durable.
}

int RemoveFile(const std::filesystem::path& path) {
    return ::DeleteFileW(path.c_str()) ? 0 : LastError();
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

bool IsMissingFolderError(int error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_DRIVE ||
           error == ERROR_BAD_NETPATH;
}
int IsDirectoryError() {
    return ERROR_DIRECTORY;
}  // "the directory name is invalid"
int TooManyLinksError() {
    return ERROR_CANT_RESOLVE_FILENAME;
}
int NotRegularFileError() {
    return ERROR_BAD_FILE_TYPE;
}
int EndOfFileError() {
    return ERROR_HANDLE_EOF;
}

}  // namespace tornix::fs_os
