// The 16-byte kernels for processors with SSE2 only (every x86-64 processor).
// Compiled with the build's flags for x86-64, which include SSE2.
#include "simd_sse2.h"
#include "utf8_blocks.h"
#include "width_blocks.h"
#include "width_kernels.h"

namespace tornix::kernels {

namespace {

char* ToFullWidthSse2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = FullWidthBlocks<Sse2>(in, 0, size, out);
    return ToFullWidthScalar(in + i, size - i, out);
}

char* ToHalfWidthSse2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = HalfWidthBlocks<Sse2>(in, 0, size, out);
    return ToHalfWidthScalar(in + i, size - i, out);
}

char* ToFullWidthUtf8Sse2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8FullWidthBlocks<Sse2>(in, 0, size, out);
    return ToFullWidthUtf8Scalar(in + i, size - i, out);
}

char* ToHalfWidthUtf8Sse2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8HalfWidthBlocks<Sse2>(in, 0, size, out);
    return ToHalfWidthUtf8Scalar(in + i, size - i, out);
}

}  // namespace

std::size_t CountInRangeSse2(const unsigned char* in, std::size_t size, unsigned char low, unsigned char span) {
    std::size_t count = 0;
    std::size_t i = 0;
    const __m128i lowBytes = Sse2::Set(low);
    const __m128i spanBytes = Sse2::Set(span);
    while (i + 16 <= size) {
        // Up to 255 blocks per round, so that no byte lane overflows.
        __m128i lanes = _mm_setzero_si128();
        for (int block = 0; block < 255 && i + 16 <= size; ++block, i += 16) {
            const __m128i offset = _mm_sub_epi8(Sse2::Load(in + i), lowBytes);
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(_mm_min_epu8(offset, spanBytes), offset));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
    return count + CountInRangeScalar(in + i, size - i, low, span);
}

extern const KernelTable kSse2Kernels = {
    "sse2", ToFullWidthSse2, ToHalfWidthSse2, ToFullWidthUtf8Sse2, ToHalfWidthUtf8Sse2, CountInRangeSse2,
};

}  // namespace tornix::kernels
