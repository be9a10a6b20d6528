// WriteBehind: a piece goes out while the caller goes on, the bytes reach
// the output in order, and a failed write stops the rest.
#include "cli/write_behind.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

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

TEST(WriteBehind, APieceGoesOutWhileTheCallerGoesOnAndWithoutAnotherCall) {
    HeldOutput output;
    WriteBehind writing(output);
    output.SetOpen(false);
    const std::string first = "first";
    ASSERT_TRUE(writing.Write(first));  // returns while the output still waits
    output.WaitForAWrite();
    output.SetOpen(true);
    EXPECT_EQ(output.WaitFor(5), "first");  // no Write() or Flush() after it
}

TEST(WriteBehind, BytesInOrder) {
    HeldOutput output;
    std::vector<std::string> pieces;  // each kept until the call after it
    std::string expected;
    for (const std::size_t size : {1, 7, 1000, 300000, 1, 900000, 0, 5}) {
        pieces.emplace_back(size, static_cast<char>('a' + pieces.size()));
        expected += pieces.back();
    }
    {
        WriteBehind writing(output);
        for (const std::string& piece : pieces) ASSERT_TRUE(writing.Write(piece));
    }
    EXPECT_TRUE(output.WaitFor(expected.size()) == expected);
}

TEST(WriteBehind, AFailedWriteStopsTheRest) {
    HeldOutput output(/*failAt=*/1);
    WriteBehind writing(output);
    const std::string piece(1000, 'x');
    ASSERT_TRUE(writing.Write(piece));
    ASSERT_TRUE(writing.Flush());       // the first write went through
    EXPECT_TRUE(writing.Write(piece));  // handed over; it fails on the thread
    EXPECT_FALSE(writing.Flush());
    EXPECT_FALSE(writing.Write("more"));
    EXPECT_EQ(output.WaitFor(0), piece);
}

}  // namespace
}  // namespace tornix
