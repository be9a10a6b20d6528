// UTF-8 validity a block at a time, for the tiers with byte shuffles (the
// method of simdjson and simdutf, "lookup" by Keiser and Lemire): each byte is
// checked against the one, two and three bytes before it with three table
// look-ups of their halves and two saturating subtractions, so a block of
// valid text costs a handful of instructions. Only a yes or no comes out of
// the blocks; where the answer is no, the plain scan finds the exact place.
//
// `V` gives the tier's vector operations: Vec, kWidth, Load, And, Or, Xor,
// Set, Lookup16 (of a 16-entry table), HighNibbles, Prev<N> (the block
// shifted by N bytes, the first from the block before), SubSaturated,
// IsZero, IsAscii, and IncompleteAtEnd (a lead byte whose character the
// block's end cuts short). Included only by the tiers' own files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/encoding.h"

namespace tornix::kernels {

namespace {

// The kinds of error a pair of bytes can show, one bit each.
constexpr std::uint8_t kTooShort = 1 << 0;      // a lead byte followed by ASCII or another lead
constexpr std::uint8_t kTooLong = 1 << 1;       // ASCII followed by a continuation byte
constexpr std::uint8_t kOverlong3 = 1 << 2;     // E0 100_____
constexpr std::uint8_t kTooLarge = 1 << 3;      // F4 1001____ and above
constexpr std::uint8_t kSurrogate = 1 << 4;     // ED 101_____
constexpr std::uint8_t kOverlong2 = 1 << 5;     // C0 or C1 as a lead byte
constexpr std::uint8_t kTooLarge1000 = 1 << 6;  // F5 and above followed by 1000____
constexpr std::uint8_t kOverlong4 = 1 << 6;     // F0 1000____
constexpr std::uint8_t kTwoContinuations = 1 << 7;
constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoContinuations;

// By the high half of the byte before.
alignas(16) constexpr std::uint8_t kFirstHigh[16] = {
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,  // ASCII
    kTwoContinuations,
    kTwoContinuations,
    kTwoContinuations,
    kTwoContinuations,                                   // continuation
    kTooShort | kOverlong2,                              // 1100____
    kTooShort,                                           // 1101____
    kTooShort | kOverlong3 | kSurrogate,                 // 1110____
    kTooShort | kTooLarge | kTooLarge1000 | kOverlong4,  // 1111____
};
// By the low half of the byte before.
alignas(16) constexpr std::uint8_t kFirstLow[16] = {
    kCarry | kOverlong3 | kOverlong2 | kOverlong4,  // ____0000
    kCarry | kOverlong2,                            // ____0001
    kCarry,
    kCarry,
    kCarry | kTooLarge,  // ____0100
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000 | kSurrogate,  // ____1101
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
};
// By the high half of the byte itself.
alignas(16) constexpr std::uint8_t kSecondHigh[16] = {
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,                                                                            // ASCII
    kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge1000 | kOverlong4,  // 1000____
    kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge,                   // 1001____
    kTooLong | kOverlong2 | kTwoContinuations | kSurrogate | kTooLarge,                   // 101_____
    kTooLong | kOverlong2 | kTwoContinuations | kSurrogate | kTooLarge,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,  // 11______
};

// The errors of a block `input`, `previous` being the block before it.
template <typename V>
typename V::Vec BlockErrors(typename V::Vec input, typename V::Vec previous) {
    const typename V::Vec prev1 = V::template Prev<1>(input, previous);
    const typename V::Vec special = V::And(
        V::And(V::Lookup16(kFirstHigh, V::HighNibbles(prev1)), V::Lookup16(kFirstLow, V::And(prev1, V::Set(0x0F)))),
        V::Lookup16(kSecondHigh, V::HighNibbles(input)));
    // A third byte must follow 111_____ two bytes back, a fourth 1111____
    // three bytes back: there, and only there, two continuations are right.
    const typename V::Vec third = V::SubSaturated(V::template Prev<2>(input, previous), V::Set(0xE0 - 0x80));
    const typename V::Vec fourth = V::SubSaturated(V::template Prev<3>(input, previous), V::Set(0xF0 - 0x80));
    const typename V::Vec mustContinue = V::And(V::Or(third, fourth), V::Set(0x80));
    return V::Xor(mustContinue, special);
}

// How far `in` is valid UTF-8 (as ScanUtf8 with `complete` false): the blocks
// by the method above, a character that the last block cuts short and the
// rest of the text by the plain scan.
template <typename V>
Utf8Scan CheckUtf8Blocks(const unsigned char* in, std::size_t size) {
    const auto text = [&](std::size_t from) {
        return std::string_view(reinterpret_cast<const char*>(in) + from, size - from);
    };
    typename V::Vec previous = V::Set(0);
    typename V::Vec errors = V::Set(0);
    bool incomplete = false;  // the block before ends inside a character
    std::size_t at = 0;
    for (; at + V::kWidth <= size; at += V::kWidth) {
        const typename V::Vec input = V::Load(in + at);
        if (V::IsAscii(input)) {
            if (incomplete) break;
        } else {
            errors = V::Or(errors, BlockErrors<V>(input, previous));
            incomplete = V::IncompleteAtEnd(input);
        }
        previous = input;
    }
    if (!V::IsZero(errors) || (incomplete && at + V::kWidth <= size)) return ScanUtf8(text(0), false);
    // Back to the start of a character that the last block may have cut.
    std::size_t from = at;
    for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
        const unsigned char byte = in[at - back];
        if ((byte & 0xC0) == 0x80) continue;
        if (byte >= 0xC0) from = at - back;
        break;
    }
    Utf8Scan rest = ScanUtf8(text(from), false);
    rest.validLength += from;
    return rest;
}

}  // namespace

}  // namespace tornix::kernels
