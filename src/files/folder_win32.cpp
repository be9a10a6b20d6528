// Win32: files made, opened, renamed and removed by name in a folder (known
// by its path here), the temporary files and the backup folder.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "files/file_system.h"
#include "files/win32_calls.h"

namespace tornix::fs_os {

using win32::LastError;
using win32::LongPath;
using win32::Native;
using win32::Open;
using win32::Win;

namespace {

std::wstring In(const Folder& folder, const std::wstring& name) {
    return LongPath(folder.path / name);
}

bool IsFolder(const std::wstring& path, bool allowLink) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (allowLink || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0);
}

}  // namespace

int OpenFolder(const std::filesystem::path& path, Folder& folder) {
    const DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return ERROR_DIRECTORY;
    // Long paths in the form the system takes at any length, also for the
    // pending files' removal.
    folder.path = LongPath(path);
    return 0;
}

int CreateNewIn(const Folder& folder, const std::wstring& name, NewFileAccess, FileHandle& file, bool& exists) {
    // No other program may open it meanwhile (which keeps its content to its
    // owner and IsAbandoned relies on), but it may be deleted while open:
    // RemoveFileNow does that.
    FileHandle created(Native(::CreateFileW(In(folder, name).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE,
                                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!created.IsOpen()) {
        const int code = LastError();
        exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
        return code;
    }
    exists = false;
    file = std::move(created);
    return 0;
}

int OpenForUpdateIn(const Folder& folder, const std::wstring& name, FileHandle& file, bool& readable) {
    const std::wstring path = In(folder, name);
    // A read-only file is refused even where the account could write it
    // anyway (an administrator's), as Explorer and the shell do.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    // Other programs may go on reading it, not writing: one writer at a time.
    FileHandle opened(Native(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    readable = opened.IsOpen();
    if (!opened.IsOpen() && ::GetLastError() == ERROR_ACCESS_DENIED) {
        opened = FileHandle(Native(::CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    }
    if (!opened.IsOpen()) return LastError();
    if (::GetFileType(Win(opened)) != FILE_TYPE_DISK) return NotRegularFileError();
    file = std::move(opened);
    return 0;
}

int OpenExistingIn(const Folder& folder, const std::wstring& name, FileHandle& file) {
    FileHandle opened(Native(::CreateFileW(In(folder, name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    if (!opened.IsOpen()) return LastError();
    file = std::move(opened);
    return 0;
}

int RenameIn(const Folder& folder, const std::wstring& from, const std::wstring& to) {
    const std::wstring source = In(folder, from);
    const std::wstring target = In(folder, to);
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // The old file must let itself be moved away; asked first, as Wine's
        // ReplaceFileW leaves a file of its own behind when it cannot.
        const HANDLE movable = ::CreateFileW(target.c_str(), DELETE, win32::kShareWithEveryone, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (movable == INVALID_HANDLE_VALUE) return LastError();
        ::CloseHandle(movable);
        // The new file takes the old one's place and keeps what the old one
        // was: its security descriptor, encryption, streams, creation time.
        if (::ReplaceFileW(target.c_str(), source.c_str(), nullptr,
                           REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
            return 0;
        }
        const int code = LastError();
        // Only this failure has already taken the old file away; any other
        // leaves it where it was.
        if (code != ERROR_UNABLE_TO_MOVE_REPLACEMENT) return code;
    }
    return ::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : LastError();
}

int RenameNewIn(const Folder& folder, const std::wstring& from, const std::wstring& to, bool& exists) {
    if (::MoveFileExW(In(folder, from).c_str(), In(folder, to).c_str(), MOVEFILE_WRITE_THROUGH)) {
        exists = false;
        return 0;
    }
    const int code = LastError();
    exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
    return code;
}

int RemoveIn(const Folder& folder, const std::wstring& name) {
    return ::DeleteFileW(In(folder, name).c_str()) ? 0 : LastError();
}

NameUse UseOfNameIn(const Folder& folder, const std::wstring& name) {
    const DWORD attributes = ::GetFileAttributesW(In(folder, name).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return IsMissingFolderError(LastError()) ? NameUse::kFree : NameUse::kOther;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ? NameUse::kOther
                                                                                    : NameUse::kOwnFile;
}

namespace {

// The identity and size of the file at `path`, opened for its attributes only.
bool DescribeFile(const std::wstring& path, DWORD followFlag, FolderEntry& entry) {
    FileHandle opened(Native(::CreateFileW(path.c_str(), 0, win32::kShareWithEveryone, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_BACKUP_SEMANTICS | followFlag, nullptr)));
    if (!opened.IsOpen()) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(Win(opened), &info)) return false;
    entry.identity.device = info.dwVolumeSerialNumber;
    entry.identity.index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    entry.identity.regular = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    entry.identity.links = info.nNumberOfLinks;
    entry.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    return true;
}

FolderEntry::Kind KindOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FolderEntry::Kind::kLink;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FolderEntry::Kind::kFolder : FolderEntry::Kind::kRegular;
}

}  // namespace

int ListFolder(const Folder& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW(In(folder, L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return LastError();
    do {
        FolderEntry entry;
        entry.name = found.cFileName;
        if (entry.name == L"." || entry.name == L"..") continue;
        entry.kind = KindOf(found.dwFileAttributes);
        if (entry.kind == FolderEntry::Kind::kRegular) {
            DescribeFile(In(folder, entry.name), FILE_FLAG_OPEN_REPARSE_POINT, entry);
        }
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(search, &found));
    const int code = ::GetLastError() == ERROR_NO_MORE_FILES ? 0 : LastError();
    ::FindClose(search);
    return code;
}

int ExamineFollowingLinks(const std::filesystem::path& path, FolderEntry& entry) {
    entry.name = path.filename().native();
    const std::wstring name = LongPath(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        FileKind kind = FileKind::kMissing;
        if (const int code = Inspect(path, kind)) return code;
        if (kind == FileKind::kMissing) return ERROR_FILE_NOT_FOUND;
        entry.kind = FolderEntry::Kind::kOther;  // a device
        return 0;
    }
    entry.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FolderEntry::Kind::kFolder : FolderEntry::Kind::kRegular;
    if (entry.kind == FolderEntry::Kind::kRegular && !DescribeFile(name, 0, entry)) return LastError();
    return 0;
}

std::vector<std::filesystem::path> MatchWildcards(const std::filesystem::path& path) {
    const std::wstring pattern = path.filename().native();
    if (pattern.find_first_of(L"*?") == std::wstring::npos) return {path};
    std::vector<std::filesystem::path> matches;
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW(LongPath(path).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return matches;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") matches.push_back(path.parent_path() / name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(matches.begin(), matches.end());
    return matches;
}

bool IsTerminal(NativeHandle stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(reinterpret_cast<HANDLE>(stream), &mode) != 0;
}

void FlushFolder(const Folder&) {
    // MOVEFILE_WRITE_THROUGH has already made a rename durable.
}

std::filesystem::path TemporaryFolderPath() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return {};
    return std::filesystem::path(std::wstring(folder, length)).parent_path();
}

int OpenBackupFolder(Folder& folder, bool create) {
    // The temporary folder is the user's own on Windows.
    const std::filesystem::path temporary = TemporaryFolderPath();
    if (temporary.empty()) return LastError();
    const std::filesystem::path path = temporary / L"tornix-backups";
    if (create && !::CreateDirectoryW(LongPath(path).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        return LastError();
    }
    if (!IsFolder(LongPath(path), false)) return create ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND;
    folder.path = path;
    return 0;
}

int CreateUnnamedTemp(FileHandle& file) {
    const std::filesystem::path folder = TemporaryFolderPath();
    if (folder.empty()) return LastError();
    static std::atomic<unsigned> counter{0};
    int code = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && code == ERROR_FILE_EXISTS; ++attempt) {
        const std::wstring name = L"tornix-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(counter.fetch_add(1)) + L"-" + std::to_wstring(::GetTickCount()) +
                                  L".tmp";
        // Deleted by the system when its last handle closes, also when the
        // process is ended from outside.
        FileHandle created(Native(Open(folder / name, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW,
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
    // CreateNewIn's share mode already keeps other programs from opening it.
}

bool IsAbandoned(const Folder& folder, const std::wstring& name, unsigned quietSeconds) {
    // Fails while the writer still has it open (see CreateNewIn).
    FileHandle probe(Native(::CreateFileW(In(folder, name).c_str(), GENERIC_READ, win32::kShareWithEveryone, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
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

std::vector<std::wstring> NamesStartingWith(const Folder& folder, const std::wstring& prefix) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(In(folder, prefix + L"*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);  // not a short name's match
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

}  // namespace tornix::fs_os
