#include "cli/write_behind.h"

#include <algorithm>
#include <exception>

namespace tornix {

namespace {

// What may gather while the thread writes: enough that a write costs little
// beside its copy, little enough to stay in the processor's cache between
// the two threads. Beyond it Write() waits for the thread.
constexpr std::size_t kBlock = std::size_t{256} << 10;
// Room for a block and a piece more: the buffers never grow, so no copy
// and no new pages.
constexpr std::size_t kCapacity = 3 * kBlock;

}  // namespace

WriteBehind::WriteBehind(ByteSink& output) : m_output(output) {
    // Where the memory or the threads a process may have are short, the
    // bytes go straight to the output instead.
    try {
        m_filling.reserve(kCapacity);
        m_writing.reserve(kCapacity);
        m_thread = std::thread([this] { Run(); });
    } catch (const std::exception&) {
        m_filling = std::string();
        m_writing = std::string();
    }
}

WriteBehind::~WriteBehind() {
    if (!m_thread.joinable()) return;
    Flush();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool WriteBehind::Write(std::string_view bytes) {
    if (!m_thread.joinable()) {
        if (!m_failed && !m_output.Write(bytes)) m_failed = true;
        return !m_failed;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!bytes.empty()) {
        // A block gathered while the thread writes is enough to wait for it.
        m_changed.wait(lock, [this] { return m_failed || m_filling.size() < kBlock; });
        if (m_failed) return false;
        const std::size_t taken = std::min(bytes.size(), kCapacity - m_filling.size());
        m_filling.append(bytes.substr(0, taken));
        bytes.remove_prefix(taken);
        m_changed.notify_all();
    }
    return !m_failed;
}

bool WriteBehind::Flush() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_failed || (m_filling.empty() && !m_busy); });
    return !m_failed;
}

void WriteBehind::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_ending || (!m_failed && !m_filling.empty()); });
        if (m_failed || m_filling.empty()) return;  // ending
        m_filling.swap(m_writing);
        m_busy = true;
        m_changed.notify_all();
        lock.unlock();
        const bool written = m_output.Write(m_writing);
        m_writing.clear();
        lock.lock();
        m_busy = false;
        if (!written) m_failed = true;  // nothing more reaches the output
        m_changed.notify_all();
    }
}

}  // namespace tornix
