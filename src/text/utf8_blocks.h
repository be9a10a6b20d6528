// The bulk of ScanUtf8's check (encoding.h), a vector of 16 or 32 bytes at a
// time. Internal to the text layer.
//
// The widths: SSSE3 (16 bytes) and AVX2 (32 bytes) on x86-64, AVX2 not in the
// Windows build (whose compiler does not align the stack for it). The width
// follows the process's vector tier (simd_tier.h): none below SSSE3, 16 bytes
// for SSSE3, 32 for AVX2 and AVX-512.
#pragma once

#include <cstddef>

namespace tornix::utf8_blocks {

enum class Width { kNone, k16, k32 };

// The width for the process's vector tier.
Width ActiveWidth();

// The length of a prefix of `bytes` that is strictly valid UTF-8 and ends on a
// character boundary. It may stop short of the longest such prefix (at the
// vector before an invalid byte, or before a character that the end cuts),
// never beyond it; ScanUtf8 goes on from there byte by byte. `sawNonAscii`
// is set when the prefix holds a byte of 0x80 or more. With kNone, or a width
// the processor lacks, nothing is scanned and 0 is returned.
std::size_t ValidPrefix(const unsigned char* bytes, std::size_t size, bool& sawNonAscii, Width width = ActiveWidth());

}  // namespace tornix::utf8_blocks
