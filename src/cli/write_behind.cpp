#include "cli/write_behind.h"

#include <exception>

namespace tornix {

WriteBehind::WriteBehind(ByteSink& output) : m_output(output) {
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::exception&) {  // the bytes go straight to the output
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
    m_changed.wait(lock, [this] { return !m_busy; });
    if (m_failed) return false;
    if (bytes.empty()) return true;
    m_pending = bytes;
    m_busy = true;
    m_changed.notify_all();
    return true;
}

bool WriteBehind::Flush() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
    return !m_failed;
}

void WriteBehind::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_busy || m_ending; });
        if (!m_busy) return;
        lock.unlock();
        const bool written = m_output.Write(m_pending);
        lock.lock();
        if (!written) m_failed = true;  // nothing more reaches the output
        m_busy = false;
        m_changed.notify_all();
    }
}

}  // namespace tornix
