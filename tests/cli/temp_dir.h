// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test, and small file helpers for it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tornix::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Creates (or replaces) the file `name` with `bytes`; returns its path.
    std::string Put(const std::string& name, std::string_view bytes) const;
    // The names of the entries in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path m_path;
};

// The whole content of a file ("" when it cannot be read).
std::string ReadFile(const std::filesystem::path& path);

}  // namespace tornix::testing
