// The one line on a terminal that tells how far a long batch has got:
//   tornix-convert: 120/10000 files, 35.2 MiB, 118.0 MiB/s: docs/a.txt
// drawn again at most ten times a second, from its first second on; never
// where standard error is no terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace tornix {

class Progress {
public:
    Progress(fs_os::NativeHandle errors, bool wanted, std::size_t files);

    void Update(std::size_t filesDone, std::uint64_t bytesDone, std::string_view current);
    // Takes the line away, before other text goes to standard error.
    void Clear();

private:
    using Clock = std::chrono::steady_clock;
    fs_os::NativeHandle m_errors;
    bool m_shown;  // standard error is a terminal and the line is wanted
    std::size_t m_files;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_drawn;
    bool m_onScreen = false;
};

}  // namespace tornix
