// Win32: what a file carries besides its bytes. Its security descriptor,
// encryption, streams and creation time go to the file that replaces it with
// ReplaceFileW (folder_win32.cpp); the attributes it has of its own are
// copied here, as Wine's ReplaceFileW does not merge them. No lock is needed
// for a rewrite: the target is open without sharing writes.
#include <windows.h>

#include "files/file_system.h"
#include "files/win32_calls.h"

namespace tornix::fs_os {

using win32::LastError;
using win32::Win;

int CopyMetadata(const FileHandle& original, const FileHandle& copy) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(Win(original), &info)) return LastError();
    const DWORD kept =
        info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept == 0) return 0;
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = kept | FILE_ATTRIBUTE_ARCHIVE;
    return ::SetFileInformationByHandle(Win(copy), FileBasicInfo, &basic, sizeof basic) ? 0 : LastError();
}

int LockForRewrite(const FileHandle&) {
    return 0;
}

}  // namespace tornix::fs_os
