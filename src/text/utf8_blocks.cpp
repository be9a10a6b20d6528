// Picks the width of the UTF-8 check from the process's vector tier
// (simd_tier.h). The build defines TORNIX_X86_TIERS and TORNIX_WIDE_TIERS
// when it compiles the 16- and 32-byte checks.
#include "text/utf8_blocks.h"

#include "text/simd_tier.h"

namespace tornix::utf8_blocks {

std::size_t ValidBlocksSsse3(const unsigned char* bytes, std::size_t size, bool& sawNonAscii);
std::size_t ValidBlocksAvx2(const unsigned char* bytes, std::size_t size, bool& sawNonAscii);

namespace {

// The tiers below SSSE3 have no vectors for this check, those above AVX2
// none wider than it.
Width WidthOf(SimdTier tier) {
    if (tier >= SimdTier::kAvx2) return Width::k32;
    if (tier == SimdTier::kSsse3) return Width::k16;
    return Width::kNone;
}

Width SupportedWidth() {
    static const Width width = WidthOf(SupportedTier());
    return width;
}

}  // namespace

Width ActiveWidth() {
    static const Width width = WidthOf(ActiveTier());
    return width;
}

std::size_t ValidPrefix([[maybe_unused]] const unsigned char* bytes, [[maybe_unused]] std::size_t size,
                        [[maybe_unused]] bool& sawNonAscii, Width width) {
    if (width > SupportedWidth()) return 0;
    switch (width) {
#if defined(TORNIX_WIDE_TIERS)
        case Width::k32:
            return ValidBlocksAvx2(bytes, size, sawNonAscii);
#endif
#if defined(TORNIX_X86_TIERS)
        case Width::k16:
            return ValidBlocksSsse3(bytes, size, sawNonAscii);
#endif
        default:
            return 0;
    }
}

}  // namespace tornix::utf8_blocks
