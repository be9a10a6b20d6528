// A sink that writes on a thread of its own, so that the conversion has a
// core to itself: each piece goes to `output` on the thread while the next
// one converts (the caller keeps a piece as it is until its next call has
// returned, as ByteSink says), so nothing is copied, and a slow input's
// output still goes out at once. The bytes reach the output in order and
// unchanged; a write that fails stops the rest, and Write() returns false
// from then on. Where no thread can be had (a limit on memory or on
// processes), the bytes go straight to the output.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

#include "cli/pipeline.h"

namespace tornix {

class WriteBehind : public ByteSink {
public:
    explicit WriteBehind(ByteSink& output);
    // Writes what was handed over, then ends the thread.
    ~WriteBehind() override;
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Hands `bytes` to the thread once it has written the last piece.
    bool Write(std::string_view bytes) override;
    // Waits until everything handed over is written (before the caller lets
    // go of the last piece): false when a write failed (the output has its
    // reason).
    bool Flush();

private:
    void Run();

    ByteSink& m_output;
    std::string_view m_pending;  // handed over, while m_busy
    bool m_busy = false;
    bool m_failed = false;  // a write failed
    bool m_ending = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
};

}  // namespace tornix
