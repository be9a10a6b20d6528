// Picks the width kernels once per process. Compiled with the build's own
// flags: nothing here may need more than the oldest processor the build runs
// on. The build (src/convert/CMakeLists.txt) defines TORNIX_WIDTH_X86_KERNELS when it
// compiles the 16-byte tiers, TORNIX_WIDTH_AVX2_KERNELS and
// TORNIX_WIDTH_AVX512_KERNELS when it compiles the 32- and 64-byte ones.
#include <cstdlib>
#include <cstring>

#include "width_kernels.h"

namespace tornix::kernels {

namespace {

constexpr const char* kTierNames[kSimdTiers] = {"scalar", "sse2", "ssse3", "avx2", "avx512"};

const KernelTable& TableOf(SimdTier tier) {
    switch (tier) {
#if defined(TORNIX_WIDTH_AVX512_KERNELS)
        case SimdTier::kAvx512:
            return kAvx512Kernels;
#endif
#if defined(TORNIX_WIDTH_AVX2_KERNELS)
        case SimdTier::kAvx2:
            return kAvx2Kernels;
#endif
#if defined(TORNIX_WIDTH_X86_KERNELS)
        case SimdTier::kSsse3:
            return kSsse3Kernels;
        case SimdTier::kSse2:
            return kSse2Kernels;
#endif
        default:
            return kScalarKernels;
    }
}

}  // namespace

SimdTier SupportedTier() {
#if defined(TORNIX_WIDTH_X86_KERNELS)
    // __builtin_cpu_supports also checks that the system saves the wider
    // registers (XGETBV), not only that the processor has them.
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("ssse3")) return SimdTier::kSse2;
#if defined(TORNIX_WIDTH_AVX2_KERNELS)
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("bmi") || !__builtin_cpu_supports("bmi2") ||
        !__builtin_cpu_supports("popcnt")) {
        return SimdTier::kSsse3;
    }
#if defined(TORNIX_WIDTH_AVX512_KERNELS)
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2")) {
        return SimdTier::kAvx512;
    }
#endif
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

const KernelTable& ActiveKernels() {
    static const KernelTable& table = TableOf(ActiveTier());
    return table;
}

}  // namespace tornix::kernels
