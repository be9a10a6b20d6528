// The single-pass conversions against the 95-pass reference and the
// rule-based model, on any byte string.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "convert/width.h"
#include "support/width_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tornix;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const GbkString text(bytes);
    const GbkString full = ToFullWidth(text);
    const GbkString half = ToHalfWidth(text);
    if (full != testing::ReferenceToFullWidth(text)) std::abort();
    if (half != testing::ReferenceToHalfWidth(text)) std::abort();
    if (full.view() != testing::ModelToFullWidth(bytes)) std::abort();
    if (half.view() != testing::ModelToHalfWidth(bytes)) std::abort();
    return 0;
}
