// Picks the width kernels of the process's vector tier. The build defines
// TORNIX_X86_TIERS when it compiles the 16-byte tiers and TORNIX_WIDE_TIERS
// when it compiles the 32- and 64-byte ones (src/CMakeLists.txt).
#include "width_kernels.h"

namespace tornix::kernels {

namespace {

constexpr simd::TierTables<KernelTable> kTables = {
    &kScalarKernels,
#if defined(TORNIX_X86_TIERS)
    &kSse2Kernels,   // SSE2
    &kSsse3Kernels,  // SSSE3
#else
    nullptr,  // SSE2
    nullptr,  // SSSE3
#endif
#if defined(TORNIX_WIDE_TIERS)
    &kAvx2Kernels,    // AVX2
    &kAvx512Kernels,  // AVX-512
#else
    nullptr,  // AVX2
    nullptr,  // AVX-512
#endif
};

}  // namespace

const KernelTable& ActiveKernels() {
    static const KernelTable& table = simd::TableFor(kTables, simd::ActiveTier());
    return table;
}

}  // namespace tornix::kernels
