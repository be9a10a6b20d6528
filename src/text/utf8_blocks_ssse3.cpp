// The 16-byte check, for processors with SSSE3 (its byte shuffle does the
// lookups). Compiled with -mssse3.
#include <tmmintrin.h>

#include "text/utf8_blocks_generic.h"

namespace tornix::utf8_blocks {
namespace {

struct Ssse3 {
    using Vector = __m128i;

    static Vector Zero() { return _mm_setzero_si128(); }
    static Vector Splat(int byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
    static Vector Load(const unsigned char* bytes) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)); }
    static Vector Table(const std::uint8_t (&entries)[16]) { return Load(entries); }
    static Vector And(Vector a, Vector b) { return _mm_and_si128(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm_or_si128(a, b); }
    static Vector Xor(Vector a, Vector b) { return _mm_xor_si128(a, b); }
    static Vector SubtractSaturated(Vector a, int byte) { return _mm_subs_epu8(a, Splat(byte)); }
    static Vector HighHalves(Vector a) { return And(_mm_srli_epi16(a, 4), Splat(0x0F)); }
    static Vector LowHalves(Vector a) { return And(a, Splat(0x0F)); }
    static Vector Lookup(Vector table, Vector indexes) { return _mm_shuffle_epi8(table, indexes); }
    static bool AllZero(Vector a) { return _mm_movemask_epi8(_mm_cmpeq_epi8(a, Zero())) == 0xFFFF; }
    // The block's bytes with the last N bytes of the block before in front.
    template <int N>
    static Vector Earlier(Vector block, Vector before) {
        return _mm_alignr_epi8(block, before, 16 - N);
    }
};

}  // namespace

std::size_t ValidBlocksSsse3(const unsigned char* bytes, std::size_t size, bool& sawNonAscii) {
    return ValidBlocks<Ssse3>(bytes, size, sawNonAscii);
}

}  // namespace tornix::utf8_blocks
