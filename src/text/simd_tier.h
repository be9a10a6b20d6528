// The tiers of vector instructions that the vector code of every layer is
// written for, and the one this process uses: the widest that this build and
// processor run, capped by the environment variable TORNIX_SIMD ("scalar",
// "sse2", "ssse3", "avx2" or "avx512") so that the narrower ones can be
// compared and checked on the same machine. The UTF-8 check of this layer and
// the width kernels follow the same choice.
#pragma once

namespace tornix {

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

}  // namespace tornix
