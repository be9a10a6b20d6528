// Compiled with the build's own flags: nothing here may need more than the
// oldest processor the build runs on. The build defines TORNIX_X86_TIERS when
// it compiles the 16-byte tiers and TORNIX_WIDE_TIERS when it compiles the 32-
// and 64-byte ones (src/CMakeLists.txt).
#include "simd/tier.h"

#include <cstdlib>
#include <cstring>

namespace tornix::simd {

namespace {

constexpr const char* kTierNames[kSimdTiers] = {"scalar", "sse2", "ssse3", "avx2", "avx512"};

}  // namespace

SimdTier SupportedTier() {
#if defined(TORNIX_X86_TIERS)
    // __builtin_cpu_supports also checks that the system saves the wider
    // registers (XGETBV), not only that the processor has them.
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("ssse3")) return SimdTier::kSse2;
#if defined(TORNIX_WIDE_TIERS)
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("bmi") || !__builtin_cpu_supports("bmi2") ||
        !__builtin_cpu_supports("popcnt")) {
        return SimdTier::kSsse3;
    }
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2")) {
        return SimdTier::kAvx512;
    }
    return SimdTier::kAvx2;
#else
    return SimdTier::kSsse3;
#endif
#else
    return SimdTier::kScalar;
#endif
}

SimdTier ChooseTier(SimdTier supported, const char* cap) {
    if (cap == nullptr) return supported;
    for (int tier = 0; tier < kSimdTiers; ++tier) {
        if (std::strcmp(cap, kTierNames[tier]) == 0 && tier < static_cast<int>(supported)) {
            return static_cast<SimdTier>(tier);
        }
    }
    return supported;
}

SimdTier ActiveTier() {
    static const SimdTier tier = ChooseTier(SupportedTier(), std::getenv("TORNIX_SIMD"));
    return tier;
}

}  // namespace tornix::simd
