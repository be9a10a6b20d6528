// The choice of vector tier: TORNIX_SIMD caps the tier the processor allows
// and never raises it, so that each capped test run checks the tier it names.
#include <gtest/gtest.h>

#include "simd/tier.h"

namespace tornix::simd {
namespace {

struct TierCase {
    SimdTier supported;
    const char* cap;
    SimdTier chosen;
};

TEST(SimdTier, TornixSimdCapsTheSupportedTier) {
    const TierCase cases[] = {
        {SimdTier::kAvx512, nullptr, SimdTier::kAvx512},  {SimdTier::kAvx512, "avx512", SimdTier::kAvx512},
        {SimdTier::kAvx512, "avx2", SimdTier::kAvx2},     {SimdTier::kAvx512, "ssse3", SimdTier::kSsse3},
        {SimdTier::kAvx512, "sse2", SimdTier::kSse2},     {SimdTier::kAvx512, "scalar", SimdTier::kScalar},
        {SimdTier::kSsse3, "avx2", SimdTier::kSsse3},      // a cap never raises the tier
        {SimdTier::kScalar, "avx512", SimdTier::kScalar},  //
        {SimdTier::kAvx2, "AVX2", SimdTier::kAvx2},        // no such tier: no cap
        {SimdTier::kAvx2, "", SimdTier::kAvx2},
    };
    for (const TierCase& c : cases) {
        EXPECT_EQ(ChooseTier(c.supported, c.cap), c.chosen)
            << "supported " << static_cast<int>(c.supported) << ", TORNIX_SIMD=" << (c.cap ? c.cap : "(unset)");
    }
}

}  // namespace
}  // namespace tornix::simd
