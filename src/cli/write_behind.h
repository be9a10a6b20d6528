// A sink that writes on a thread of its own, so that the conversion has a
// core to itself: the thread writes what has been gathered to `output`
// while the next bytes gather, and takes them as soon as it is done, so
// that a slow input's output still goes out at once. The bytes reach the
// output in order and unchanged; a write that fails stops the rest, and
// Write() returns false from then on. Where no thread can be had (a limit on
// memory or on processes), the bytes go straight to the output.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
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

    bool Write(std::string_view bytes) override;
    // Writes everything gathered so far and waits until it is written: false
    // when a write failed (the output has its reason).
    bool Flush();

private:
    void Run();

    ByteSink& m_output;
    std::string m_filling;  // gathered, for the thread's next write
    std::string m_writing;  // what the thread writes, while m_busy
    bool m_busy = false;
    bool m_failed = false;  // a write failed
    bool m_ending = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
};

}  // namespace tornix
