// A scratch folder for tests that touch files, and small helpers for the
// files in it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tornix::testing {

// The names of the entries of `folder` other than `keep`, sorted.
std::vector<std::string> NamesIn(const std::filesystem::path& folder, const std::vector<std::string>& keep = {});

// A fresh folder under the system's temporary folder, readable by every user
// (the permission tests run helpers as another user). It is removed with all
// it holds, permissions restored first, when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

    // Creates (or replaces) the file `name` with `bytes`; returns its path.
    std::filesystem::path Put(std::string_view name, std::string_view bytes) const;
    // The names of the folder's entries other than `keep`, sorted: what a
    // writer left behind.
    std::vector<std::string> Names(const std::vector<std::string>& keep = {}) const { return NamesIn(m_path, keep); }

private:
    std::filesystem::path m_path;
};

void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
// The whole content of a file ("" when it cannot be read).
std::string ReadBytes(const std::filesystem::path& path);
// The permission bits of `path` itself (not of a link's target); 0 if missing.
unsigned ModeOf(const std::filesystem::path& path);

}  // namespace tornix::testing
