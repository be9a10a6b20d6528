#include "files/line_splitter.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tornix {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

bool IsBareLf(const char* data, std::size_t at, char previous) {
    return data[at] == kLf && (at == 0 ? previous : data[at - 1]) != kCr;
}

#if defined(__SSE2__)
// Sixteen bytes at a time. Each block at `at` is compared with the block one
// byte before it, so the CR test of every LF is one more comparison.
constexpr std::size_t kBlock = 16;

__m128i LoadBlock(const char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// 0xFF in each byte of the block at data + at (at >= 1) that is a bare LF.
__m128i BareLineFeeds(const char* data, std::size_t at) {
    const __m128i lf = _mm_cmpeq_epi8(LoadBlock(data + at), _mm_set1_epi8(kLf));
    const __m128i cr = _mm_cmpeq_epi8(LoadBlock(data + at - 1), _mm_set1_epi8(kCr));
    return _mm_andnot_si128(cr, lf);
}
#endif

}  // namespace

PieceScan ScanPiece(std::string_view piece, char previous) {
    const char* const data = piece.data();
    const std::size_t size = piece.size();
    PieceScan scan;
    if (size == 0) return scan;
    bool nul = data[0] == '\0';
    std::size_t bare = IsBareLf(data, 0, previous);
    std::size_t at = 1;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i nuls = zero;
    while (at + kBlock <= size) {
        // Per-byte counters, added up before any of them can pass 255.
        const std::size_t blocks = std::min<std::size_t>((size - at) / kBlock, 255);
        __m128i counts = zero;
        for (std::size_t i = 0; i < blocks; ++i, at += kBlock) {
            counts = _mm_sub_epi8(counts, BareLineFeeds(data, at));  // 0xFF is -1
            nuls = _mm_or_si128(nuls, _mm_cmpeq_epi8(LoadBlock(data + at), zero));
        }
        const __m128i sums = _mm_sad_epu8(counts, zero);
        bare += static_cast<std::size_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
    }
    nul = nul || _mm_movemask_epi8(nuls) != 0;
#endif
    for (; at < size; ++at) {
        nul = nul || data[at] == '\0';
        bare += IsBareLf(data, at, previous);
    }
    scan.hasNul = nul;
    scan.bareLineFeeds = bare;
    return scan;
}

char* CopyWithCarriageReturns(std::string_view piece, char previous, char* out) {
    const char* const data = piece.data();
    const std::size_t size = piece.size();
    if (size == 0) return out;
    if (IsBareLf(data, 0, previous)) *out++ = kCr;
    *out++ = data[0];
    std::size_t at = 1;
#if defined(__SSE2__)
    // A block at a time. A block with at most one bare LF is laid out without
    // branches: its bytes before the LF, a CR, then the rest moved up by one,
    // and the last byte after that. Without a bare LF the 17th byte is stored
    // too but not kept; the next block overwrites it, and the room asked for
    // covers it as more than a block of the piece is still to come.
    while (at + kBlock < size) {
        const __m128i block = LoadBlock(data + at);
        const __m128i bare = BareLineFeeds(data, at);
        const unsigned marks = static_cast<unsigned>(_mm_movemask_epi8(bare));
        if ((marks & (marks - 1)) != 0) {  // lines shorter than a block
            for (const std::size_t end = at + kBlock; at < end; ++at) {
                if (IsBareLf(data, at, previous)) *out++ = kCr;
                *out++ = data[at];
            }
            continue;
        }
        __m128i fromLf = _mm_or_si128(bare, _mm_slli_si128(bare, 1));  // 0xFF from the LF on
        fromLf = _mm_or_si128(fromLf, _mm_slli_si128(fromLf, 2));
        fromLf = _mm_or_si128(fromLf, _mm_slli_si128(fromLf, 4));
        fromLf = _mm_or_si128(fromLf, _mm_slli_si128(fromLf, 8));
        const __m128i laidOut =
            _mm_or_si128(_mm_or_si128(_mm_andnot_si128(fromLf, block), _mm_and_si128(bare, _mm_set1_epi8(kCr))),
                         _mm_and_si128(_mm_slli_si128(fromLf, 1), _mm_slli_si128(block, 1)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), laidOut);
        out[kBlock] = data[at + kBlock - 1];
        out += kBlock + (marks != 0);
        at += kBlock;
    }
#endif
    for (; at < size; ++at) {
        if (IsBareLf(data, at, previous)) *out++ = kCr;
        *out++ = data[at];
    }
    return out;
}

}  // namespace tornix
