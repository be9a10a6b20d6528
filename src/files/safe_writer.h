// SafeFileWriter: replaces a file only once its new content is complete and on
// disk. The bytes go to a temporary file in the target's folder, which is
// flushed and then renamed over the target, so a failed or abandoned save
// leaves the previous file as it was.
//
// The target keeps its permission bits (a new file gets the platform's
// default ones). A symbolic link is followed: the file it points to is
// replaced, the link stays. Where the folder does not allow a new file but the
// target itself is writable, the content is written in place instead; the old
// content is then put back if the write fails. An existing file that this
// process may not write is refused (kCannotCreate), and a device or a pipe is
// written straight through, since neither can be replaced by a rename.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace tornix {

enum class WriteStatus { kOk, kCannotCreate, kWriteFailed };

// Replaces `target` only when Commit() succeeds; otherwise it is left as it was and
// the temporary file is removed (also by the destructor).
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::filesystem::path target);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    WriteStatus Open();                  // kCannotCreate on failure
    bool Write(std::string_view bytes);  // false on an I/O error
    WriteStatus Commit();                // flush, fsync, rename; kWriteFailed on failure
    int LastError() const;               // errno of the last failure, 0 if none

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tornix
