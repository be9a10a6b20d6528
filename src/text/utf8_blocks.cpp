// Picks the width of the UTF-8 check once per process. Compiled with the
// build's own flags: nothing here may need more than the oldest processor the
// build runs on. The build defines TORNIX_UTF8_SSSE3 and TORNIX_UTF8_AVX2 when
// it compiles those widths.
#include "text/utf8_blocks.h"

#include <cstdlib>
#include <cstring>

namespace tornix::utf8_blocks {

std::size_t ValidBlocksSsse3(const unsigned char* bytes, std::size_t size, bool& sawNonAscii);
std::size_t ValidBlocksAvx2(const unsigned char* bytes, std::size_t size, bool& sawNonAscii);

namespace {

// The widest the processor has (__builtin_cpu_supports also checks that the
// system saves the wider registers).
Width Supported() {
#if defined(TORNIX_UTF8_SSSE3)
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("ssse3")) return Width::kNone;
#if defined(TORNIX_UTF8_AVX2)
    if (__builtin_cpu_supports("avx2")) return Width::k32;
#endif
    return Width::k16;
#else
    return Width::kNone;
#endif
}

// TORNIX_SIMD names a tier of the width kernels; the tiers below SSSE3 have
// no vectors for this check, those above AVX2 none wider than it.
Width Capped(Width supported, const char* cap) {
    if (cap == nullptr) return supported;
    Width wanted = supported;
    if (std::strcmp(cap, "scalar") == 0 || std::strcmp(cap, "sse2") == 0) wanted = Width::kNone;
    if (std::strcmp(cap, "ssse3") == 0) wanted = Width::k16;
    return wanted < supported ? wanted : supported;
}

}  // namespace

Width ActiveWidth() {
    static const Width width = Capped(Supported(), std::getenv("TORNIX_SIMD"));
    return width;
}

std::size_t ValidPrefix([[maybe_unused]] const unsigned char* bytes, [[maybe_unused]] std::size_t size,
                        [[maybe_unused]] bool& sawNonAscii, Width width) {
    if (width > Supported()) return 0;
    switch (width) {
#if defined(TORNIX_UTF8_AVX2)
        case Width::k32:
            return ValidBlocksAvx2(bytes, size, sawNonAscii);
#endif
#if defined(TORNIX_UTF8_SSSE3)
        case Width::k16:
            return ValidBlocksSsse3(bytes, size, sawNonAscii);
#endif
        default:
            return 0;
    }
}

}  // namespace tornix::utf8_blocks
