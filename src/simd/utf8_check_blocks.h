// The UTF-8 check of utf8_check.h written once over a vocabulary with a byte
// shuffle (ssse3.h, avx2.h): each instruction set's file instantiates
// ValidUtf8Blocks with its own and is compiled with that set's flags. In an
// anonymous namespace for the reason given in sse2.h.
//
// Which pairs of bytes are wrong is told by three lookups of sixteen entries,
// one for each of: the high half of the earlier byte, its low half, the high
// half of the later byte. Each bit of an entry stands for one kind of error,
// and a pair is wrong when all three lookups have that bit:
//   0  a lead byte followed by ASCII or by another lead (too short)
//   1  ASCII followed by a continuation byte (too long)
//   2  C0 or C1 followed by a continuation (overlong two-byte form)
//   3  E0 followed by 80..9F (overlong three-byte form)
//   4  ED followed by A0..BF (a surrogate)
//   5  F0 followed by 80..8F (overlong four-byte form); F5..FF followed by 80..8F
//   6  F4..FF followed by 90..BF (beyond U+10FFFF)
//   7  two continuation bytes: right only where a three- or four-byte
//      character's third or fourth byte is due, which the byte two or three
//      places earlier tells (a lead of E0 or more, or of F0 or more)
// C0, C1 and F5..FF are wrong before anything: before a continuation by the
// bits above, before anything else as too short.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tornix::simd {
namespace {

inline constexpr std::uint8_t kTooShort = 1 << 0;
inline constexpr std::uint8_t kTooLong = 1 << 1;
inline constexpr std::uint8_t kOverlong2 = 1 << 2;
inline constexpr std::uint8_t kOverlong3 = 1 << 3;
inline constexpr std::uint8_t kSurrogate = 1 << 4;
inline constexpr std::uint8_t kOverlong4 = 1 << 5;
inline constexpr std::uint8_t kTooLarge = 1 << 6;
inline constexpr std::uint8_t kTwoContinuations = 1 << 7;
inline constexpr std::uint8_t kAnyLow = kTooShort | kTooLong | kTwoContinuations;

// By the high half of the earlier byte.
inline constexpr std::uint8_t kFirstHigh[16] = {
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,  // 0_______ ASCII
    kTwoContinuations,
    kTwoContinuations,
    kTwoContinuations,
    kTwoContinuations,                    // 10______
    kTooShort | kOverlong2,               // 1100____
    kTooShort,                            // 1101____
    kTooShort | kOverlong3 | kSurrogate,  // 1110____
    kTooShort | kOverlong4 | kTooLarge,   // 1111____
};

// By the low half of the earlier byte.
inline constexpr std::uint8_t kFirstLow[16] = {
    kAnyLow | kOverlong2 | kOverlong3 | kOverlong4,  // ____0000: C0, E0, F0
    kAnyLow | kOverlong2,                            // ____0001: C1
    kAnyLow,
    kAnyLow,
    kAnyLow | kTooLarge,               // ____0100: F4
    kAnyLow | kOverlong4 | kTooLarge,  // ____0101 and up: F5..FF
    kAnyLow | kOverlong4 | kTooLarge,
    kAnyLow | kOverlong4 | kTooLarge,
    kAnyLow | kOverlong4 | kTooLarge,
    kAnyLow | kOverlong4 | kTooLarge,
    kAnyLow | kOverlong4 | kTooLarge,
    kAnyLow | kOverlong4 | kTooLarge,
    kAnyLow | kOverlong4 | kTooLarge,
    kAnyLow | kOverlong4 | kTooLarge | kSurrogate,  // ____1101: ED
    kAnyLow | kOverlong4 | kTooLarge,
    kAnyLow | kOverlong4 | kTooLarge,
};

// By the high half of the later byte.
inline constexpr std::uint8_t kSecondHigh[16] = {
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,                                                            // ASCII
    kTooLong | kOverlong2 | kOverlong3 | kOverlong4 | kTwoContinuations,  // 1000____
    kTooLong | kOverlong2 | kOverlong3 | kTooLarge | kTwoContinuations,   // 1001____
    kTooLong | kOverlong2 | kSurrogate | kTooLarge | kTwoContinuations,   // 1010____
    kTooLong | kOverlong2 | kSurrogate | kTooLarge | kTwoContinuations,   // 1011____
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,  // a lead
};

// Where a prefix that is valid up to `at` may end: before the character that
// begins in its last three bytes and runs past `at`, if there is one.
inline std::size_t LastBoundary(const unsigned char* bytes, std::size_t at) {
    for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
        const unsigned char byte = bytes[at - back];
        if ((byte & 0xC0) == 0x80) continue;
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? at - back : at;
    }
    return at;
}

template <class Simd>
std::size_t ValidUtf8Blocks(const unsigned char* bytes, std::size_t size, bool& sawNonAscii) {
    using Vec = typename Simd::Vec;
    constexpr std::size_t kWidth = Simd::kWidth;
    const Vec firstHigh = Simd::Table(kFirstHigh);
    const Vec firstLow = Simd::Table(kFirstLow);
    const Vec secondHigh = Simd::Table(kSecondHigh);
    Vec before = Simd::Zero();
    Vec highBits = Simd::Zero();
    std::size_t at = 0;
    for (; at + kWidth <= size; at += kWidth) {
        const Vec block = Simd::Load(bytes + at);
        const Vec previous = Simd::template Earlier<1>(block, before);
        const Vec pairs = Simd::And(Simd::And(Simd::Lookup(firstHigh, Simd::HighHalves(previous)),
                                              Simd::Lookup(firstLow, Simd::LowHalves(previous))),
                                    Simd::Lookup(secondHigh, Simd::HighHalves(block)));
        // 0x80 where a third or fourth byte is due.
        const Vec due =
            Simd::And(Simd::Or(Simd::SubtractSaturated(Simd::template Earlier<2>(block, before), 0xE0 - 0x80),
                               Simd::SubtractSaturated(Simd::template Earlier<3>(block, before), 0xF0 - 0x80)),
                      Simd::Splat(0x80));
        if (!Simd::AllZero(Simd::Xor(pairs, due))) break;
        highBits = Simd::Or(highBits, before);
        before = block;
    }
    // Everything before `at` is valid but for the characters that begin in its
    // last three bytes, whose ends were not checked yet.
    const std::size_t end = LastBoundary(bytes, at);
    bool high = !Simd::AllZero(Simd::And(highBits, Simd::Splat(0x80)));
    for (std::size_t k = at >= kWidth ? at - kWidth : 0; k < end && !high; ++k) high = bytes[k] >= 0x80;
    sawNonAscii = sawNonAscii || high;
    return end;
}

}  // namespace
}  // namespace tornix::simd
