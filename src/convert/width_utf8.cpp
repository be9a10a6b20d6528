#include "convert/width_utf8.h"

#include "kernels/utf8_tables.h"
#include "kernels/width_kernels.h"

namespace tornix {

namespace {

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::string ConvertWhole(std::string_view text, std::size_t bound, char* (*kernel)(std::string_view, char*)) {
    std::string result(bound, '\0');
    char* const end = kernel(text, result.data());
    result.resize(static_cast<std::size_t>(end - result.data()));
    return result;
}

// A printable ASCII byte grows by two bytes; three spaces stay three bytes.
constexpr std::size_t kFullGrowth = 2;
static_assert(kernels::kUtf8FullSpace.length == 3, "three spaces become three bytes");

}  // namespace

char* ToFullWidthUtf8Into(std::string_view text, char* out) {
    return kernels::ActiveKernels().toFullWidthUtf8(Bytes(text), text.size(), out);
}

char* ToHalfWidthUtf8Into(std::string_view text, char* out) {
    return kernels::ActiveKernels().toHalfWidthUtf8(Bytes(text), text.size(), out);
}

std::size_t ToFullWidthUtf8Bound(std::string_view text) {
    const std::size_t printable = kernels::ActiveKernels().countInRange(Bytes(text), text.size(), 0x21, 0x5D);
    return text.size() + kFullGrowth * printable + kernels::kSlack;
}

// No half-width form is longer than its full-width form.
std::size_t ToHalfWidthUtf8Bound(std::string_view text) {
    return ToHalfWidthUtf8BoundForSize(text.size());
}

std::size_t ToFullWidthUtf8BoundForSize(std::size_t size) {
    return (1 + kFullGrowth) * size + kernels::kSlack;
}

std::size_t ToHalfWidthUtf8BoundForSize(std::size_t size) {
    return size + kernels::kSlack;
}

std::string ToFullWidthUtf8(std::string_view text) {
    return ConvertWhole(text, ToFullWidthUtf8Bound(text), ToFullWidthUtf8Into);
}

std::string ToHalfWidthUtf8(std::string_view text) {
    return ConvertWhole(text, ToHalfWidthUtf8Bound(text), ToHalfWidthUtf8Into);
}

}  // namespace tornix
