// TemporaryFile: bytes kept on disk instead of in memory, in a file of the
// folder for temporary files (TMPDIR, else /tmp; on Windows the user's
// temporary folder) that has no name: nothing of it outlives the object,
// however the program ends. Only its owner may read it. The file is made by
// Create() or the first Append().
//
// Example: Append("abc"), Append("de"), then ReadBack() hands "abcde" to its
// function, in one or more pieces.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "files/file_system.h"

namespace tornix {

class TemporaryFile {
public:
    // Receives the bytes read back, in order; returns 0 to go on or an error
    // code that ends the reading.
    using Take = std::function<int(std::string_view)>;

    // Makes the file now, should it not exist yet (the first Append() would).
    [[nodiscard]] int Create();

    // Adds bytes at the end. 0 or the system's error code; after a failure
    // the content is unknown.
    [[nodiscard]] int Append(std::string_view bytes);

    // Hands everything appended since the last Clear() to `take`, in pieces
    // of at most 1 MiB. 0, the system's error code or what `take` returned.
    [[nodiscard]] int ReadBack(const Take& take) const;

    // Forgets the content and gives its space back.
    void Clear() noexcept;

    std::uint64_t size() const noexcept { return m_size; }
    // The file itself, once made: its bytes are the content.
    const fs_os::FileHandle& handle() const noexcept { return m_file; }

private:
    fs_os::FileHandle m_file;
    std::uint64_t m_size = 0;
};

}  // namespace tornix
