// The 32-byte check, for processors with AVX2. Compiled with -mavx2.
#include <immintrin.h>

#include "text/utf8_blocks_generic.h"

namespace tornix::utf8_blocks {
namespace {

struct Avx2 {
    using Vector = __m256i;

    static Vector Zero() { return _mm256_setzero_si256(); }
    static Vector Splat(int byte) { return _mm256_set1_epi8(static_cast<char>(byte)); }
    static Vector Load(const unsigned char* bytes) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
    }
    // The shuffle looks up within each 16-byte half: the table in both.
    static Vector Table(const std::uint8_t (&entries)[16]) {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(entries)));
    }
    static Vector And(Vector a, Vector b) { return _mm256_and_si256(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm256_or_si256(a, b); }
    static Vector Xor(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
    static Vector SubtractSaturated(Vector a, int byte) { return _mm256_subs_epu8(a, Splat(byte)); }
    static Vector HighHalves(Vector a) { return And(_mm256_srli_epi16(a, 4), Splat(0x0F)); }
    static Vector LowHalves(Vector a) { return And(a, Splat(0x0F)); }
    static Vector Lookup(Vector table, Vector indexes) { return _mm256_shuffle_epi8(table, indexes); }
    static bool AllZero(Vector a) { return _mm256_testz_si256(a, a) != 0; }
    // The block's bytes with the last N bytes of the block before in front;
    // the byte shift works within each half, so the halves are joined first.
    template <int N>
    static Vector Earlier(Vector block, Vector before) {
        return _mm256_alignr_epi8(block, _mm256_permute2x128_si256(before, block, 0x21), 16 - N);
    }
};

}  // namespace

std::size_t ValidBlocksAvx2(const unsigned char* bytes, std::size_t size, bool& sawNonAscii) {
    return ValidBlocks<Avx2>(bytes, size, sawNonAscii);
}

}  // namespace tornix::utf8_blocks
