// Picks the width kernels of the process's vector tier. The build defines
// TORNIX_X86_TIERS when it compiles the 16-byte tiers and TORNIX_WIDE_TIERS
// when it compiles the 32- and 64-byte ones (src/CMakeLists.txt).
#include "width_kernels.h"

namespace tornix::kernels {

namespace {

const KernelTable& TableOf(SimdTier tier) {
    switch (tier) {
#if defined(TORNIX_WIDE_TIERS)
        case SimdTier::kAvx512:
            return kAvx512Kernels;
        case SimdTier::kAvx2:
            return kAvx2Kernels;
#endif
#if defined(TORNIX_X86_TIERS)
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

const KernelTable& ActiveKernels() {
    static const KernelTable& table = TableOf(ActiveTier());
    return table;
}

}  // namespace tornix::kernels
