// The UTF-8 check's table per tier. The build defines TORNIX_X86_TIERS and
// TORNIX_WIDE_TIERS when it compiles the 16- and 32-byte checks.
#include "simd/utf8_check.h"

namespace tornix::simd {

extern const Utf8CheckKernels kSsse3Utf8Check;
extern const Utf8CheckKernels kAvx2Utf8Check;
extern const Utf8CheckKernels kAvx512Utf8Check;

namespace {

std::size_t NoVectorCheck(const unsigned char*, std::size_t, bool&) {
    return 0;
}

constexpr Utf8CheckKernels kScalarUtf8Check = {NoVectorCheck};

constexpr TierTables<Utf8CheckKernels> kTables = {
    &kScalarUtf8Check,
    nullptr,  // SSE2 has no byte shuffle for the lookups
#if defined(TORNIX_X86_TIERS)
    &kSsse3Utf8Check,
#else
    nullptr,
#endif
#if defined(TORNIX_WIDE_TIERS)
    &kAvx2Utf8Check,    // 32 bytes at a time
    &kAvx512Utf8Check,  // 64 bytes at a time
#else
    nullptr,  // AVX2
    nullptr,  // AVX-512
#endif
};

}  // namespace

const Utf8CheckKernels& Utf8CheckFor(SimdTier tier) {
    return TableFor(kTables, tier);
}

std::size_t ValidUtf8Prefix(const unsigned char* bytes, std::size_t size, bool& sawNonAscii) {
    static const Utf8CheckKernels& active = Utf8CheckFor(ActiveTier());
    return active.validPrefix(bytes, size, sawNonAscii);
}

}  // namespace tornix::simd
