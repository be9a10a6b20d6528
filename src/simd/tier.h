// The tiers of vector instructions that the program's kernels are written
// for, and the one this process uses: the widest that this build and
// processor run, capped by the environment variable TORNIX_SIMD ("scalar",
// "sse2", "ssse3", "avx2" or "avx512") so that the narrower ones can be
// compared and checked on the same machine. Every kernel of the program, the
// UTF-8 check of this layer and the width kernels of convert/kernels/ alike,
// follows the same choice.
#pragma once

#include <array>

namespace tornix::simd {

// Lowest first; TORNIX_SIMD takes their names. The x86 tiers exist in builds
// for x86-64 only, the AVX ones not in the Windows build (see
// src/CMakeLists.txt).
enum class SimdTier { kScalar, kSse2, kSsse3, kAvx2, kAvx512 };
inline constexpr int kSimdTiers = 5;

// The widest tier this build and this processor can run.
SimdTier SupportedTier();

// `supported`, or the tier that `cap` names when that is lower; a cap that
// names no tier changes nothing.
SimdTier ChooseTier(SimdTier supported, const char* cap);

// The tier chosen for this process, from the processor and TORNIX_SIMD, once.
SimdTier ActiveTier();

// A kind of kernel's tables, one per tier, lowest first: null for a tier that
// this build does not compile or that gains nothing over the one below it.
// The plain loops' table (kScalar) is never null.
template <typename Table>
using TierTables = std::array<const Table*, kSimdTiers>;

// The table that `tier` runs: its own, else the widest one below it.
template <typename Table>
const Table& TableFor(const TierTables<Table>& tables, SimdTier tier) {
    int at = static_cast<int>(tier);
    while (at > 0 && tables[static_cast<std::size_t>(at)] == nullptr) --at;
    return *tables[static_cast<std::size_t>(at)];
}

}  // namespace tornix::simd
