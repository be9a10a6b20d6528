// The 64-byte kernels for processors with AVX-512 VBMI2 (Intel since Ice
// Lake, AMD since Zen 4): byte masks in mask registers, the forms looked up
// from 128-entry tables by two-table permutes, and the bytes that stay packed
// by one compress per 32 pairs (per 16 lanes in UTF-8). The end of a text goes
// to the 32-byte kernels.
// Compiled with -mavx512f -mavx512bw -mavx512vl -mavx512vbmi -mavx512vbmi2
// -mavx2 -mbmi -mbmi2 -mpopcnt.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "avx512_tables.h"
#include "policy_tables.h"
#include "simd/avx512.h"
#include "utf8_steps.h"
#include "width_kernels.h"
#include "width_steps.h"

namespace tornix::kernels {

namespace {

using simd::Avx512;

// ToFullWidth 64 bytes at a time, as FullWidthBlocks (width_blocks.h) does it
// 16 or 32 at a time, the converted characters' byte pairs packed by compress.
std::size_t FullWidthBlocks64(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef) {
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    const __m512i firstPairs = _mm512_loadu_si512(kInterleave.index[0]);
    const __m512i lastPairs = _mm512_loadu_si512(kInterleave.index[1]);
    const __m512i firstLow = _mm512_loadu_si512(kAsciiForms.first);
    const __m512i firstHigh = _mm512_loadu_si512(kAsciiForms.first + 64);
    const __m512i secondLow = _mm512_loadu_si512(kAsciiForms.second);
    const __m512i secondHigh = _mm512_loadu_si512(kAsciiForms.second + 64);
    while (i + 64 < size) {
        PrefetchAhead(in + i, out);
        const __m512i block = Avx512::Load(in + i);
        const std::uint64_t starts = PairStarts(Avx512::InRange(block, 0x81, 0x7D));
        // Any byte after a lead byte is its second byte, even a space.
        const std::uint64_t seconds = starts << 1;
        const std::uint64_t printable = Avx512::InRange(block, 0x21, 0x5D) & ~seconds;
        const std::uint64_t spaces = Avx512::Equal(block, ' ') & ~seconds;
        // A last character that goes on past the block waits for the next
        // one. (Carrying the cut over instead, as the narrower kernels do,
        // makes each block's pairing wait for the one before: slower here.)
        unsigned stop = (starts >> 63) != 0 ? 63 : 64;
        std::uint64_t heads = 0;
        if (spaces != 0) {
            if (stop == 64 && (spaces >> 63) != 0 && in[i + 64] == ' ') stop = RunStart(spaces, 63);
            if (stop == 0) {  // a run of spaces from here past the block
                const std::size_t run = SpaceRunLength(in, i, size);
                out = EmitSpaceRun(out, run);
                i += run;
                continue;
            }
            heads = SpaceTripleHeads(spaces & LowBits(stop));
        }
        const std::uint64_t taken = LowBits(stop);
        const std::uint64_t wide = (printable | heads) & taken;
        if (wide == 0) {  // nothing to convert
            Avx512::Store(out, block);
            out += stop;
            i += stop;
            continue;
        }

        // The forms looked up by the low seven bits of each byte.
        __m512i lead = _mm512_mask_mov_epi8(block, printable, _mm512_permutex2var_epi8(firstLow, block, firstHigh));
        __m512i trail = _mm512_permutex2var_epi8(secondLow, block, secondHigh);
        lead = _mm512_mask_mov_epi8(lead, heads, Avx512::Splat(kFullSpaceLead));
        trail = _mm512_mask_mov_epi8(trail, heads, Avx512::Splat(kFullSpaceTrail));

        // Both bytes of a pair for a converted character, the first alone for
        // any other byte, neither for the spaces a full-width space replaces.
        const std::uint64_t kept = ~((heads << 1) | (heads << 2)) & taken;
        for (unsigned half = 0; half < 2 && 32 * half < stop; ++half) {
            const std::uint64_t halfKept = kept >> (32 * half);
            const std::uint64_t keep =
                _pdep_u64(halfKept, kEvenBits) | _pdep_u64(halfKept & (wide >> (32 * half)), ~kEvenBits);
            const __m512i pairs = _mm512_permutex2var_epi8(lead, half == 0 ? firstPairs : lastPairs, trail);
            Avx512::Store(out, _mm512_maskz_compress_epi8(keep, pairs));
            out += _mm_popcnt_u64(keep);
        }
        i += stop;
    }
    outRef = out;
    return i;
}

// The UTF-8 ToFullWidth 64 bytes at a time, as Utf8FullWidthBlocks
// (utf8_blocks.h) does it 16 or 32 at a time: the forms looked up from
// 128-entry tables, each quarter's lanes laid out four bytes a lane and the
// bytes that stay packed by one compress.
std::size_t Utf8FullWidthBlocks64(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef) {
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    const __m512i firstLow = _mm512_loadu_si512(kUtf8AsciiForms.first);
    const __m512i firstHigh = _mm512_loadu_si512(kUtf8AsciiForms.first + 64);
    const __m512i secondLow = _mm512_loadu_si512(kUtf8AsciiForms.second);
    const __m512i secondHigh = _mm512_loadu_si512(kUtf8AsciiForms.second + 64);
    const __m512i thirdLow = _mm512_loadu_si512(kUtf8AsciiForms.third);
    const __m512i thirdHigh = _mm512_loadu_si512(kUtf8AsciiForms.third + 64);
    constexpr std::uint64_t kLaneFirsts = 0x1111111111111111u;  // byte 4k of a quarter's layout
    // Each quarter stores 64 bytes where its output begins; with 16 more bytes
    // of input after the block, that store ends within the bound (width_utf8.h).
    while (i + 64 + 16 <= size) {
        const __m512i block = Avx512::Load(in + i);
        const std::uint64_t printable = Avx512::InRange(block, 0x21, 0x5D);
        const std::uint64_t spaces = Avx512::Equal(block, ' ');
        unsigned stop = 64;
        std::uint64_t heads = 0;
        if (spaces != 0) {
            if ((spaces >> 63) != 0 && in[i + 64] == ' ') stop = RunStart(spaces, 63);
            if (stop == 0) {  // a run of spaces from here past the block
                const std::size_t run = SpaceRunLength(in, i, size);
                out = EmitUtf8SpaceRun(out, run);
                i += run;
                continue;
            }
            heads = SpaceTripleHeads(spaces & LowBits(stop));
        }
        const std::uint64_t taken = LowBits(stop);
        const std::uint64_t wide = printable & taken;
        __m512i first = block;
        if (heads != 0) {
            first = _mm512_mask_mov_epi8(first, heads, _mm512_set1_epi8(kUtf8FullSpace.bytes[0]));
            first = _mm512_mask_mov_epi8(first, heads << 1, _mm512_set1_epi8(kUtf8FullSpace.bytes[1]));
            first = _mm512_mask_mov_epi8(first, heads << 2, _mm512_set1_epi8(kUtf8FullSpace.bytes[2]));
        }
        if (wide == 0) {  // nothing grows
            Avx512::Store(out, first);
            out += stop;
            i += stop;
            continue;
        }
        first = _mm512_mask_mov_epi8(first, wide, _mm512_permutex2var_epi8(firstLow, block, firstHigh));
        const __m512i second = _mm512_permutex2var_epi8(secondLow, block, secondHigh);
        const __m512i third = _mm512_permutex2var_epi8(thirdLow, block, thirdHigh);
        for (unsigned quarter = 0; quarter < 4 && 16 * quarter < stop; ++quarter) {
            const std::uint64_t lanes = (taken >> (16 * quarter)) & 0xFFFF;
            const std::uint64_t wideLanes = (wide >> (16 * quarter)) & 0xFFFF;
            const std::uint64_t keep = _pdep_u64(lanes, kLaneFirsts) | _pdep_u64(wideLanes, kLaneFirsts << 1) * 3;
            __m512i quad = _mm512_permutex2var_epi8(first, _mm512_loadu_si512(kQuadIndex.first[quarter]), second);
            quad = _mm512_mask_permutexvar_epi8(quad, kLaneFirsts << 2, _mm512_loadu_si512(kQuadIndex.third[quarter]),
                                                third);
            Avx512::Store(out, _mm512_maskz_compress_epi8(keep, quad));
            out += _mm_popcnt_u64(keep);
        }
        i += stop;
    }
    outRef = out;
    return i;
}

// The UTF-8 ToHalfWidth 64 bytes at a time, as Utf8HalfWidthBlocks
// (utf8_blocks.h) does it 16 or 32 at a time, the bytes that go packed out by
// one compress: of the window's table, or of a policy without context.
// `regularConverts(half)`: where the regular form (EF BC or EF BD) whose
// ASCII character that is converts; `irregularRows(third, at, result,
// dropped)` writes the irregular forms (E3 80, at `at`) that convert and
// returns where they are. Without a branch for blocks that hold no form: in
// mixed text it would be mispredicted often enough to cost more than the
// whole block takes (ASCII-only text still converts at over half the speed
// of memcpy).
template <typename RegularConverts, typename IrregularRows>
std::size_t Utf8HalfWidthBlocks64(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef,
                                  bool solidusDoubles, RegularConverts regularConverts, IrregularRows irregularRows) {
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    while (i + 64 + 2 <= size) {
        const __m512i block = Avx512::Load(in + i);
        const std::uint64_t regularFirst = Avx512::Equal(block, kRegularFirst);
        const std::uint64_t irregularFirst = Avx512::Equal(block, kIrregularFirst);
        // Lane n of `second` is byte n + 1.
        const __m512i second = Avx512::Load(in + i + 1);
        const __m512i third = Avx512::Load(in + i + 2);
        const std::uint64_t secondHigh = Avx512::Equal(second, kRegularSecondHigh);
        // A regular form's ASCII byte from its last two bytes (the second
        // byte counts 64 characters).
        __m512i half = _mm512_sub_epi8(third, _mm512_set1_epi8(0x80 - kRegularThirdOffset));
        half = _mm512_mask_add_epi8(half, secondHigh, half, _mm512_set1_epi8(0x40));
        const std::uint64_t regular = regularFirst & Avx512::InRange(second, kRegularSecondLow, 1) &
                                      Avx512::InRange(third, 0x80, 0x3F) & Avx512::InRange(half, 0x21, 0x5D) &
                                      regularConverts(half);
        const std::uint64_t solidus = solidusDoubles ? regular & Avx512::Equal(half, kSolidusAscii) : 0;
        __m512i result = _mm512_mask_mov_epi8(block, regular, half);
        result = _mm512_mask_mov_epi8(result, solidus << 1, Avx512::Splat(kSolidusAscii));
        std::uint64_t dropped = (regular & ~solidus) << 1 | regular << 2;
        const std::uint64_t irregular = irregularFirst & Avx512::Equal(second, kIrregularSecond);
        const std::uint64_t forms = regular | irregularRows(third, irregular, result, dropped);
        unsigned length = 64;
        const std::uint64_t late = forms >> 62;  // forms that go on past the block
        if (late != 0) length = (late & 1) != 0 ? 62 : 63;
        const std::uint64_t keep = LowBits(length) & ~dropped;
        Avx512::Store(out, _mm512_maskz_compress_epi8(keep, result));
        out += _mm_popcnt_u64(keep);
        i += length;
    }
    outRef = out;
    return i;
}

// An irregular form, one byte repeated, written in place of the first bytes
// of the character at `at`; the others dropped.
inline std::uint64_t WriteIrregular(__m512i third, std::uint64_t irregular, unsigned char thirdByte,
                                    unsigned char halfByte, std::size_t length, __m512i& result,
                                    std::uint64_t& dropped) {
    const std::uint64_t at = irregular & Avx512::Equal(third, thirdByte);
    std::uint64_t written = 0;
    for (unsigned n = 0; n < 3; ++n) (n < length ? written : dropped) |= at << n;
    result = _mm512_mask_mov_epi8(result, written, Avx512::Splat(halfByte));
    return at;
}

// The window's table: every regular form but ． (its row is 。's), and both
// irregular rows (see utf8_tables.h).
std::uint64_t WindowUtf8Regular(__m512i half) {
    return ~Avx512::Equal(half, kUtf8IrregularAscii);
}

std::uint64_t WindowUtf8Irregular(__m512i third, std::uint64_t irregular, __m512i& result, std::uint64_t& dropped) {
    std::uint64_t forms = 0;
    for (int k = 0; k < kUtf8IrregularRows; ++k) {
        forms |= WriteIrregular(third, irregular, Byte(kUtf8Irregular.full[k].bytes, 2), kUtf8Irregular.half[k][0],
                                LiteralLength(kUtf8Irregular.half[k]), result, dropped);
    }
    return forms;
}

// An ASCII set of a policy (policy_tables.h), looked up 64 bytes at a time
// by the two halves of each byte, as the narrower kernels' Classify does.
class AsciiSet64 {
public:
    explicit AsciiSet64(const AsciiSet& set) : m_low(Broadcast(set.low)), m_bits(Broadcast(kHighHalfBits)) {}
    // Bit n where byte n is in the set.
    std::uint64_t Holds(__m512i bytes) const {
        const __m512i nibbles = _mm512_set1_epi8(0x0F);
        const __m512i entries = _mm512_shuffle_epi8(m_low, _mm512_and_si512(bytes, nibbles));
        const __m512i bit = _mm512_shuffle_epi8(m_bits, _mm512_and_si512(_mm512_srli_epi16(bytes, 4), nibbles));
        return _mm512_test_epi8_mask(entries, bit);
    }

private:
    // The masked form: GCC 12 warns about the unmasked one.
    static __m512i Broadcast(const std::uint8_t (&table)[16]) {
        return _mm512_maskz_broadcast_i32x4(0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(table)));
    }
    __m512i m_low;
    __m512i m_bits;
};

// What HalfWidthBlocks64 converts: the rows under 0xA1 by the low four
// bits of their second byte (those kept taken out), the full-width space
// when it grows (written on its own, the block stopping before it), and
// whether the solidus doubles; the rows under 0xA3 it is told by a function.
struct HalfRows64 {
    __m512i a1Trails;
    __m512i a1Halves;
    bool spaceGrows;
    unsigned char spaceByte;
    unsigned spaceLength;
    bool solidusDoubles;
};

HalfRows64 HalfRowsOf(const A1FormsByNibble& a1, bool solidusDoubles) {
    // The masked broadcast: GCC 12 warns about the unmasked one.
    const auto lanes = [](const std::uint8_t(&table)[16]) {
        return _mm512_maskz_broadcast_i32x4(0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(table)));
    };
    const unsigned space = kFullSpaceTrail & 0x0F;
    HalfRows64 rows{};
    rows.a1Trails = lanes(a1.trail);
    rows.a1Halves = lanes(a1.half);
    rows.spaceGrows = a1.trail[space] == kFullSpaceTrail && a1.extra[space] != 0;
    rows.spaceByte = a1.half[space];
    rows.spaceLength = 1u + a1.extra[space];
    rows.solidusDoubles = solidusDoubles;
    return rows;
}

// ToHalfWidth 64 bytes at a time, as HalfWidthBlocks (width_blocks.h) does it
// 16 or 32 at a time, the bytes that go packed out by one compress: of the
// window's table, or of a policy without context (policy_blocks.h).
// `underA3Converts(trail)`: where the form under 0xA3 with that second byte
// converts.
template <typename UnderA3Converts>
std::size_t HalfWidthBlocks64(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef,
                              const HalfRows64& rows, UnderA3Converts underA3Converts) {
    char* out = outRef;             // a local copy: stores through `outRef` could alias it
    const HalfRows64 local = rows;  // nor may they make the loop read the rows again
    std::uint64_t cut = 0;          // whether the block begins with the second byte of a character
    while (i + 64 < size) {
        PrefetchAhead(in + i, out);
        const __m512i block = Avx512::Load(in + i);
        if (Avx512::Bits(block) == 0) {  // ASCII only: nothing to convert
            Avx512::Store(out, block);
            out += 64;
            i += 64;
            cut = 0;
            continue;
        }
        const std::uint64_t starts = PairStarts(Avx512::InRange(block, 0x81, 0x7D) & ~cut);
        std::uint64_t underA1 = starts & Avx512::Equal(block, kFullFormLeads[0]);
        std::uint64_t underA3 = starts & Avx512::Equal(block, kFullFormLeads[1]);
        unsigned length = 64;
        if (((underA1 | underA3) >> 63) != 0) length = 63;  // a form cut at the end waits
        std::uint64_t taken = LowBits(length);
        underA1 &= taken;
        underA3 &= taken;
        cut = (starts & taken) >> 63;
        if ((underA1 | underA3) == 0) {
            Avx512::Store(out, block);
            out += length;
            i += length;
            continue;
        }
        const __m512i trail = Avx512::Load(in + i + 1);  // byte n: the byte after byte n
        const std::uint64_t grows = local.spaceGrows ? underA1 & Avx512::Equal(trail, kFullSpaceTrail) : 0;
        if (grows != 0) {
            length = static_cast<unsigned>(__builtin_ctzll(grows));
            cut = 0;                                   // the block stops before a character
            if (length == 0) {                         // the full-width space, then on from after it
                std::memset(out, local.spaceByte, 4);  // at most three, in one store: the stores pass the end anyway
                out += local.spaceLength;
                i += 2;
                continue;
            }
            taken = LowBits(length);
            underA1 &= taken;
            underA3 &= taken;
        }
        const __m512i nibble = _mm512_and_si512(trail, _mm512_set1_epi8(0x0F));
        const std::uint64_t rowA1 =
            _mm512_mask_cmpeq_epi8_mask(underA1, trail, _mm512_shuffle_epi8(local.a1Trails, nibble));
        const std::uint64_t rowA3 = underA3 & underA3Converts(trail);
        const std::uint64_t solidus = local.solidusDoubles ? rowA3 & Avx512::Equal(trail, kSolidusTrail) : 0;
        __m512i result = _mm512_mask_sub_epi8(block, rowA3, trail, Avx512::Splat(0x80));
        result = _mm512_mask_shuffle_epi8(result, rowA1, local.a1Halves, nibble);
        // The solidus keeps both bytes: '/' '/'.
        result = _mm512_mask_mov_epi8(result, solidus | (solidus << 1), _mm512_set1_epi8('/'));
        const std::uint64_t keep = ~(((rowA3 & ~solidus) | rowA1) << 1) & taken;
        Avx512::Store(out, _mm512_maskz_compress_epi8(keep, result));
        out += _mm_popcnt_u64(keep);
        i += length;
    }
    if (cut != 0) *out++ = static_cast<char>(in[i++]);  // the rest of the cut character
    outRef = out;
    return i;
}

// The window's rows under 0xA3: the second bytes A1..FE but for those with
// no row.
std::uint64_t WindowUnderA3(__m512i trail) {
    std::uint64_t regular = Avx512::InRange(trail, 0xA1, 0x5D);
    for (unsigned char noRow : kNoRowTrails) regular &= ~Avx512::Equal(trail, noRow);
    return regular;
}

// The conversions to half width under a policy: without context, 64 bytes
// at a time, then the 32-byte kernels; by context, the 32-byte kernels.
char* ToHalfWidthPolicyAvx512(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                              ContextEdges edges) {
    std::size_t i = 0;
    if (!policy.context) {
        const AsciiSet64 underA3(policy.halfUnderA3.always);
        const auto converts = [&underA3](__m512i trail) {  // by the ASCII character of the form
            return underA3.Holds(_mm512_xor_si512(trail, _mm512_set1_epi8(static_cast<char>(0x80))));
        };
        i = HalfWidthBlocks64(in, 0, size, out, HalfRowsOf(policy.a1, policy.solidusExtra != 0), converts);
    }
    return ToHalfWidthPolicyAvx2(in + i, size - i, out, policy, edges);
}

char* ToHalfWidthUtf8PolicyAvx512(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                  ContextEdges edges) {
    std::size_t i = 0;
    if (!policy.context) {
        const AsciiSet64 regular(policy.halfUtf8Regular.always);
        Utf8IrregularForm rows[kUtf8IrregularRows];  // those that convert
        int count = 0;
        for (int k = 0; k < policy.utf8IrregularCount; ++k) {
            if (RuleOf(policy.half, policy.utf8Irregular[k].half) == Rule::kConvert)
                rows[count++] = policy.utf8Irregular[k];
        }
        const auto irregular = [&rows, count](__m512i third, std::uint64_t at, __m512i& result,
                                              std::uint64_t& dropped) {
            std::uint64_t forms = 0;
            for (int k = 0; k < count; ++k) {
                forms |= WriteIrregular(third, at, rows[k].third, rows[k].half, rows[k].length, result, dropped);
            }
            return forms;
        };
        i = Utf8HalfWidthBlocks64(
            in, 0, size, out, policy.table == WidthTableKind::kClassic,
            [&regular](__m512i half) { return regular.Holds(half); }, irregular);
    }
    return ToHalfWidthUtf8PolicyAvx2(in + i, size - i, out, policy, edges);
}

char* ToFullWidthAvx512(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = FullWidthBlocks64(in, 0, size, out);
    return ToFullWidthAvx2(in + i, size - i, out);
}

char* ToHalfWidthAvx512(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = HalfWidthBlocks64(in, 0, size, out, HalfRowsOf(kA1Forms, true), WindowUnderA3);
    return ToHalfWidthAvx2(in + i, size - i, out);
}

char* ToFullWidthUtf8Avx512(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8FullWidthBlocks64(in, 0, size, out);
    return ToFullWidthUtf8Avx2(in + i, size - i, out);
}

char* ToHalfWidthUtf8Avx512(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8HalfWidthBlocks64(in, 0, size, out, true, WindowUtf8Regular, WindowUtf8Irregular);
    return ToHalfWidthUtf8Avx2(in + i, size - i, out);
}

}  // namespace

// The conversions to full width under a policy are the 32-byte kernels'.
extern const KernelTable kAvx512Kernels = {
    ToFullWidthAvx512,       ToHalfWidthAvx512,         ToFullWidthUtf8Avx512,
    ToHalfWidthUtf8Avx512,   CountInRangeAvx2,          ToFullWidthPolicyAvx2,
    ToHalfWidthPolicyAvx512, ToFullWidthUtf8PolicyAvx2, ToHalfWidthUtf8PolicyAvx512,
};

}  // namespace tornix::kernels
