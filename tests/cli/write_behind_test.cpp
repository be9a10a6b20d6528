// WriteBehind: the bytes reach the output in order, a slow output does not
// hold back what gathered meanwhile, and a failed write stops the rest.
#include "cli/write_behind.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <iterator>
#include <string>

namespace tornix {
namespace {

// An output whose writes wait while it is closed, and fail from the
// `failAt`-th on (counted from 0).
class HeldOutput : public ByteSink {
public:
    explicit HeldOutput(int failAt = -1) : m_failAt(failAt) {}

    bool Write(std::string_view bytes) override {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_writing = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
        m_writing = false;
        if (m_failAt >= 0 && m_writes++ >= m_failAt) return false;
        m_bytes.append(bytes);
        m_changed.notify_all();
        return true;
    }
    void SetOpen(bool open) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_open = open;
        m_changed.notify_all();
    }
    // Once a write has begun.
    void WaitForAWrite() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_writing; });
    }
    // What has come, once it is `size` bytes (or after ten seconds).
    std::string WaitFor(std::size_t size) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_bytes.size() >= size; });
        return m_bytes;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = true;
    bool m_writing = false;
    int m_failAt;
    int m_writes = 0;
    std::string m_bytes;
};

TEST(WriteBehind, WhatGathersWhileTheOutputIsSlowGoesOutWithoutAnotherWrite) {
    HeldOutput output;
    WriteBehind writing(output);
    output.SetOpen(false);
    ASSERT_TRUE(writing.Write("first "));
    output.WaitForAWrite();                // the thread took it and waits in the output
    ASSERT_TRUE(writing.Write("second"));  // gathers meanwhile
    output.SetOpen(true);
    EXPECT_EQ(output.WaitFor(12), "first second");  // no Write() or Flush() after the output went on
}

TEST(WriteBehind, BytesInOrderAndLargePiecesWhole) {
    HeldOutput output;
    std::string expected;
    {
        WriteBehind writing(output);
        // Small ones that gather, and some larger than all that may gather.
        const std::size_t sizes[] = {1, 7, 1000, 300000, 1, 900000, 2000000, 5, 262144, 786432, 3};
        for (std::size_t k = 0; k < std::size(sizes); ++k) {
            const std::string piece(sizes[k], static_cast<char>('a' + k));
            ASSERT_TRUE(writing.Write(piece));
            expected += piece;
        }
        ASSERT_TRUE(writing.Flush());
        EXPECT_EQ(output.WaitFor(expected.size()).size(), expected.size());
    }
    EXPECT_TRUE(output.WaitFor(expected.size()) == expected);
}

TEST(WriteBehind, AFailedWriteStopsTheRest) {
    HeldOutput output(/*failAt=*/1);
    WriteBehind writing(output);
    bool failed = false;
    for (int k = 0; k < 100 && !failed; ++k) {
        failed = !writing.Write(std::string(300000, 'x'));
        if (k == 0) {
            ASSERT_TRUE(writing.Flush());  // the first write went through
        }
    }
    EXPECT_TRUE(failed);
    EXPECT_FALSE(writing.Write("more"));
    EXPECT_FALSE(writing.Flush());
    EXPECT_EQ(output.WaitFor(0), std::string(300000, 'x'));
}

}  // namespace
}  // namespace tornix
