#include "convert/width.h"

#include <string>

#include "kernels/width_kernels.h"
#include "kernels/width_tables.h"

namespace tornix {

namespace {

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::size_t CountInRange(std::string_view text, unsigned char low, unsigned char span) {
    return kernels::ActiveKernels().countInRange(Bytes(text), text.size(), low, span);
}

// Runs a kernel into one buffer sized up front from its bound.
GbkString ConvertWhole(std::string_view text, std::size_t bound, char* (*kernel)(std::string_view, char*)) {
    std::string result(bound, '\0');
    char* const end = kernel(text, result.data());
    result.resize(static_cast<std::size_t>(end - result.data()));
    return GbkString(std::move(result));
}

}  // namespace

char* ToFullWidthInto(std::string_view text, char* out) {
    return kernels::ActiveKernels().toFullWidth(Bytes(text), text.size(), out);
}

char* ToHalfWidthInto(std::string_view text, char* out) {
    return kernels::ActiveKernels().toHalfWidth(Bytes(text), text.size(), out);
}

// ToFullWidth output never exceeds the input plus one byte per printable ASCII
// byte (each may become two bytes; three spaces shrink to two). The bounds are
// sized on every call, so the counting goes through the kernels too.
std::size_t ToFullWidthBound(std::string_view text) {
    return text.size() + CountInRange(text, 0x21, 0x5D) + kernels::kSlack;
}

// ToHalfWidth output grows only where U+3000 (two equal bytes) becomes three
// spaces, so half the count of that byte bounds the growth.
std::size_t ToHalfWidthBound(std::string_view text) {
    return text.size() + CountInRange(text, kernels::kFullSpaceLead, 0) / 2 + kernels::kSlack;
}

std::size_t ToFullWidthBoundForSize(std::size_t size) {
    return 2 * size + kernels::kSlack;
}

std::size_t ToHalfWidthBoundForSize(std::size_t size) {
    return size + size / 2 + kernels::kSlack;
}

GbkString ToFullWidth(const GbkString& text) {
    return ConvertWhole(text.view(), ToFullWidthBound(text.view()), ToFullWidthInto);
}

GbkString ToHalfWidth(const GbkString& text) {
    return ConvertWhole(text.view(), ToHalfWidthBound(text.view()), ToHalfWidthInto);
}

}  // namespace tornix
