// POSIX: what a file is besides its bytes (owner, group, permission bits,
// extended attributes with the ACLs), copied exactly to the file that
// replaces it; and the lock that one rewrite of a file holds.
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "files/file_system.h"

namespace tornix::fs_os {
namespace {

int Fd(const FileHandle& file) {
    return static_cast<int>(file.Get());
}

// Reads a list or a value of a file's extended attributes with `get(buffer,
// size)`, which gives the size it needs when asked with none. 0 or errno;
// a file system without extended attributes has none to give.
template <typename Get>
int ReadAttribute(std::string& bytes, Get get) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0) return errno;
        bytes.assign(static_cast<std::size_t>(size), '\0');
        const ssize_t got = size == 0 ? 0 : get(bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.resize(static_cast<std::size_t>(got));
            return 0;
        }
        if (errno != ERANGE) return errno;  // ERANGE: it grew meanwhile
    }
}

// The names of the extended attributes of `fd` that this process can see.
int AttributeNames(int fd, std::vector<std::string>& names) {
    std::string list;
    const int code =
        ReadAttribute(list, [fd](char* buffer, std::size_t size) { return ::flistxattr(fd, buffer, size); });
    if (code == ENOTSUP) return 0;
    if (code != 0) return code;
    for (std::size_t at = 0; at < list.size(); at += names.back().size() + 1) names.emplace_back(list.c_str() + at);
    return 0;
}

int AttributeValue(int fd, const std::string& name, std::string& value) {
    return ReadAttribute(
        value, [fd, &name](char* buffer, std::size_t size) { return ::fgetxattr(fd, name.c_str(), buffer, size); });
}

// Makes the extended attributes of `copy` those of `original`: the ones it
// lacks removed (such as an ACL inherited from the folder), the others set
// to the original's values (an ACL with its mask as it is).
int CopyAttributes(int original, int copy) {
    std::vector<std::string> wanted;
    std::vector<std::string> have;
    if (int code = AttributeNames(original, wanted)) return code;
    if (int code = AttributeNames(copy, have)) return code;
    for (const std::string& name : have) {
        if (std::find(wanted.begin(), wanted.end(), name) != wanted.end()) continue;
        if (::fremovexattr(copy, name.c_str()) != 0) return errno;
    }
    std::string value;
    std::string present;
    for (const std::string& name : wanted) {
        if (int code = AttributeValue(original, name, value)) return code;
        if (AttributeValue(copy, name, present) == 0 && present == value) continue;
        if (::fsetxattr(copy, name.c_str(), value.data(), value.size(), 0) != 0) return errno;
    }
    return 0;
}

}  // namespace

int CopyMetadata(const FileHandle& original, const FileHandle& copy) {
    struct stat wanted {};
    if (::fstat(Fd(original), &wanted) != 0) return errno;
    // The owner first: changing it clears the set-id bits that fchmod sets.
    if (::fchown(Fd(copy), wanted.st_uid, wanted.st_gid) != 0) return errno;
    if (::fchmod(Fd(copy), wanted.st_mode & 07777) != 0) return errno;
    // After the mode: an ACL sets the group bits to its mask.
    if (int code = CopyAttributes(Fd(original), Fd(copy))) return code;
    struct stat have {};
    if (::fstat(Fd(copy), &have) != 0) return errno;
    // The system may quietly drop a set-group-id bit that it does not allow.
    const bool same = have.st_uid == wanted.st_uid && have.st_gid == wanted.st_gid &&
                      (have.st_mode & 07777) == (wanted.st_mode & 07777);
    return same ? 0 : EPERM;
}

int LockForRewrite(const FileHandle& file) {
    while (::flock(Fd(file), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) return errno == ENOLCK || errno == EOPNOTSUPP ? 0 : errno;  // no locks here: none to keep
    }
    return 0;
}

}  // namespace tornix::fs_os
