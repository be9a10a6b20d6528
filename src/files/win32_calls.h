// What the Win32 halves of the files layer share (only they include this):
// the HANDLE behind a FileHandle, error codes, and paths in the form that
// lets the system take them at any length.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "files/file_system.h"

namespace tornix::fs_os::win32 {

inline HANDLE Win(const FileHandle& file) {
    return reinterpret_cast<HANDLE>(file.Get());
}

inline NativeHandle Native(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<NativeHandle>(handle);
}

inline int LastError() {
    return static_cast<int>(::GetLastError());
}

// `path` as the system takes it beyond MAX_PATH: a full path longer than the
// old limit allows (with room for a temporary name beside it) is given the
// \\?\ prefix, after the system has made it whole (no . or .., backslashes),
// as that form is taken as it is.
inline std::wstring LongPath(const std::filesystem::path& path) {
    constexpr std::size_t kRoomForANameBeside = 48;
    const std::wstring& name = path.native();
    if (name.size() + kRoomForANameBeside < MAX_PATH || name.rfind(L"\\\\?\\", 0) == 0) return name;
    const DWORD size = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0) return name;
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return name;
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);  // \\server\share
    return L"\\\\?\\" + full;
}

inline HANDLE Open(const std::filesystem::path& path, DWORD access, DWORD share, DWORD disposition, DWORD flags = 0) {
    return ::CreateFileW(LongPath(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
}

// Reading lets other programs go on writing (a log being written) and
// renaming or removing the file.
inline constexpr DWORD kShareWithEveryone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace tornix::fs_os::win32
