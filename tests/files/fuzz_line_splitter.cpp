// The line splitter, copying and in place, against the naive model.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/line_splitter.h"
#include "naive_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto expected = tornix::testing::NaiveSplitLines(bytes);
    const auto copied = tornix::SplitLines(bytes);
    std::string inPlace = bytes;
    const bool split = tornix::SplitLinesInPlace(inPlace);
    if (copied != expected) std::abort();
    if (split != expected.has_value()) std::abort();
    if (split ? inPlace != *expected : inPlace != bytes) std::abort();
    if (!split && tornix::ScanLines(bytes).firstNul != bytes.find('\0')) std::abort();
    return 0;
}
