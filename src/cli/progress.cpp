#include "cli/progress.h"

#include <cstdio>

#include "cli/messages.h"

namespace tornix {
namespace {

constexpr auto kFirstAfter = std::chrono::seconds(1);
constexpr auto kEvery = std::chrono::milliseconds(100);
constexpr std::size_t kLongestName = 40;  // characters of the current file's name shown, its end

std::string Mebibytes(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024.0));
    return text;
}

// The end of a name, cut at a character's start, so that the line fits.
std::string_view NameEnd(std::string_view name) {
    if (name.size() <= kLongestName) return name;
    std::size_t cut = name.size() - kLongestName;
    while (cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) ++cut;
    return name.substr(cut);
}

}  // namespace

Progress::Progress(fs_os::NativeHandle errors, bool wanted, std::size_t files)
    : m_errors(errors), m_shown(wanted && fs_os::IsTerminal(errors)), m_files(files) {}

void Progress::Update(std::size_t filesDone, std::uint64_t bytesDone, std::string_view current) {
    const Clock::time_point now = Clock::now();
    if (!m_shown || now - m_start < kFirstAfter || (m_onScreen && now - m_drawn < kEvery)) return;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const std::string line = "\rtornix-convert: " + std::to_string(filesDone) + "/" + std::to_string(m_files) +
                             " files, " + Mebibytes(static_cast<double>(bytesDone)) + ", " +
                             Mebibytes(static_cast<double>(bytesDone) / seconds) +
                             "/s: " + std::string(NameEnd(current)) + "\x1B[K";
    (void)WriteTo(m_errors, line);
    m_drawn = now;
    m_onScreen = true;
}

void Progress::Clear() {
    if (!m_onScreen) return;
    (void)WriteTo(m_errors, "\r\x1B[K");
    m_onScreen = false;
}

}  // namespace tornix
