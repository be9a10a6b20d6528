// The line layout, whole and in two pieces, against the naive model. The
// first byte chooses where the rest is cut.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/line_pieces.h"
#include "support/naive_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tornix::testing;
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto expected = NaiveSplitLines(bytes);
    if (LayOutLines(bytes) != expected) std::abort();
    if (LayOutLines(bytes, data[0] % (bytes.size() + 1)) != expected) std::abort();
    return 0;
}
