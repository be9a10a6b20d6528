// The bulk of the UTF-8 check (ScanUtf8, text/encoding.h), a vector of 16 or
// 32 bytes at a time: the tiers with a byte shuffle have it (SSSE3, AVX2;
// AVX-512 runs the AVX2 check), the others none, and ScanUtf8 checks byte by
// byte from wherever this stops.
#pragma once

#include <cstddef>

#include "simd/tier.h"

namespace tornix::simd {

// The length of a prefix of `bytes` that is strictly valid UTF-8 and ends on a
// character boundary. It may stop short of the longest such prefix (at the
// vector before an invalid byte, or before a character that the end cuts),
// never beyond it. `sawNonAscii` is set when the prefix holds a byte of 0x80
// or more. A tier without the check scans nothing and returns 0.
using Utf8PrefixKernel = std::size_t (*)(const unsigned char* bytes, std::size_t size, bool& sawNonAscii);

struct Utf8CheckKernels {
    Utf8PrefixKernel validPrefix;
};

// The check of `tier` (a tier this processor runs: SupportedTier() or lower).
const Utf8CheckKernels& Utf8CheckFor(SimdTier tier);

// The check of the process's tier.
std::size_t ValidUtf8Prefix(const unsigned char* bytes, std::size_t size, bool& sawNonAscii);

}  // namespace tornix::simd
