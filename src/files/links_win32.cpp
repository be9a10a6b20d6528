// Win32: what a name leads to. Links and junctions are followed by the system
// itself (the file's final path, as opening it finds it: mingw-w64's
// std::filesystem cannot read a link); devices have names but no attributes.
#include <windows.h>

#include <string>

#include "files/file_system.h"
#include "files/win32_calls.h"

namespace tornix::fs_os {

using win32::LastError;
using win32::LongPath;
using win32::Native;
using win32::Win;

namespace {

// The \\?\ form that the system gives back, made plain again where the path
// is short enough to be read that way (it is shown in messages).
std::wstring Plain(std::wstring path) {
    const std::wstring prefix = L"\\\\?\\";
    if (path.rfind(prefix, 0) != 0 || path.size() >= MAX_PATH + prefix.size()) return path;
    if (path.rfind(prefix + L"UNC\\", 0) == 0) return L"\\\\" + path.substr(prefix.size() + 4);
    return path.substr(prefix.size());
}

}  // namespace

int ResolveLinks(const std::filesystem::path& path, std::filesystem::path& resolved, bool& refused) {
    refused = false;
    const std::wstring name = LongPath(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {  // a new file
        resolved = path;
        return 0;
    }
    // What opening the name reaches, through symbolic links and junctions
    // (and, under Wine, the Unix links that it shows as plain files).
    FileHandle followed(Native(::CreateFileW(name.c_str(), 0, win32::kShareWithEveryone, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    if (!followed.IsOpen()) return LastError();  // a link whose target is missing
    // The longest path there is; Wine tells no size for a buffer that is too small.
    std::wstring final(32768, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(Win(followed), final.data(), static_cast<DWORD>(final.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= final.size()) {
        // Wine gives no final path beyond MAX_PATH; a file that is no link
        // of Windows' own is then taken as it is named.
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            resolved = path;
            return 0;
        }
        return LastError();
    }
    final.resize(length);
    resolved = Plain(final);
    return 0;
}

int Inspect(const std::filesystem::path& path, FileKind& kind) {
    const DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::kDirectory : FileKind::kRegular;
        return 0;
    }
    const int code = LastError();
    // Devices (NUL, CON, pipes) have no attributes but open.
    FileHandle device(Native(win32::Open(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING)));
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

}  // namespace tornix::fs_os
