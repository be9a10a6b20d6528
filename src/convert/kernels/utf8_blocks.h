// The block conversions of UTF-8 text in the 16- and 32-byte kernels, written
// once for a vector type `Simd` as in width_blocks.h, which lists what such a
// type provides. The UTF-8 conversions need one more member:
//   WriteTriples(first, second, third, keep, wide, out)
//                     for each lane whose bit is set in `keep`, its byte of
//                     `first`, followed by those of `second` and `third`
//                     where its bit is set in `wide`
// Included by the kernel files only (see width_blocks.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "utf8_steps.h"

namespace tornix::kernels {
namespace {

// The UTF-8 ToFullWidth of any text, a block at a time: each printable ASCII
// byte becomes the three bytes of its form, and each three spaces in a row
// the three bytes of U+3000 in their place; every other byte stays as it
// is. A run of spaces that goes on past a block is left to the next round,
// or converted on its own when it fills the block. Stops near the end of the
// text, outside any run of spaces, and returns where.
template <typename Simd>
std::size_t Utf8FullWidthBlocks(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef) {
    using Vec = typename Simd::Vec;
    constexpr unsigned kWidth = Simd::kWidth;
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    while (i + kWidth < size) {
        const Vec block = Simd::Load(in + i);
        const Vec printable = Simd::InRange(block, 0x21, 0x5D);
        const std::uint64_t spaces = Simd::Bits(Simd::Equal(block, Simd::Splat(' ')));
        const unsigned stop = StopBeforeLongRun(spaces, kWidth, in[i + kWidth]);
        if (stop == 0) {  // a run of spaces from here past the block
            const std::size_t run = SpaceRunLength(in, i, size);
            out = EmitUtf8SpaceRun(out, run);
            i += run;
            continue;
        }
        const std::uint64_t taken = LowBits(stop);
        const std::uint64_t heads = SpaceTripleHeads(spaces & taken);
        const std::uint64_t wide = Simd::Bits(printable) & taken;
        Vec first = block;
        if (heads != 0) {
            first = Simd::Select(Simd::FromBits(heads), Simd::Splat(Byte(kUtf8FullSpace.bytes, 0)), first);
            first = Simd::Select(Simd::FromBits(heads << 1), Simd::Splat(Byte(kUtf8FullSpace.bytes, 1)), first);
            first = Simd::Select(Simd::FromBits(heads << 2), Simd::Splat(Byte(kUtf8FullSpace.bytes, 2)), first);
        }
        if (wide == 0) {  // nothing grows
            Simd::Store(out, first);
            out += stop;
            i += stop;
            continue;
        }
        // The regular forms, then the one irregular printable row.
        first = Simd::Select(printable, Simd::Splat(kRegularFirst), first);
        Vec second = Simd::Select(Simd::InRange(block, kRegularSecondStep, 0x7E - kRegularSecondStep),
                                  Simd::Splat(kRegularSecondHigh), Simd::Splat(kRegularSecondLow));
        Vec third = Simd::Or(Simd::And(Simd::Add(block, Simd::Splat(kRegularThirdOffset)), Simd::Splat(0x3F)),
                             Simd::Splat(0x80));
        const Vec irregular = Simd::Equal(block, Simd::Splat(kUtf8IrregularAscii));
        first = Simd::Select(irregular, Simd::Splat(Byte(kUtf8IrregularForm.bytes, 0)), first);
        second = Simd::Select(irregular, Simd::Splat(Byte(kUtf8IrregularForm.bytes, 1)), second);
        third = Simd::Select(irregular, Simd::Splat(Byte(kUtf8IrregularForm.bytes, 2)), third);
        Simd::WriteTriples(first, second, third, taken, wide, out);
        i += stop;
    }
    outRef = out;
    return i;
}

// The UTF-8 ToHalfWidth of any text, a block at a time: each row's form
// becomes its half-width form in place of its first byte (the solidus two
// solidi, U+3000 three spaces in place of its three bytes), and the bytes
// that go are packed out. A form cut by the end of a block waits for the
// next one. Stops near the end of the text, outside any form, and returns
// where.
template <typename Simd>
std::size_t Utf8HalfWidthBlocks(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef) {
    using Vec = typename Simd::Vec;
    constexpr unsigned kWidth = Simd::kWidth;
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    while (i + kWidth + 2 <= size) {
        const Vec block = Simd::Load(in + i);
        const Vec regularFirst = Simd::Equal(block, Simd::Splat(kRegularFirst));
        const Vec irregularFirst = Simd::Equal(block, Simd::Splat(kIrregularFirst));
        if (Simd::Bits(Simd::Or(regularFirst, irregularFirst)) == 0) {  // no form begins here
            Simd::Store(out, block);
            out += kWidth;
            i += kWidth;
            continue;
        }
        // Vectors of the bytes after each byte: lane n of `second` is byte n + 1.
        const Vec second = Simd::Load(in + i + 1);
        const Vec third = Simd::Load(in + i + 2);
        // A regular form's ASCII byte from its last two bytes; any other
        // bytes give something outside the range or a mismatch above.
        // (The second byte counts 64 characters.)
        const Vec half = Simd::Add(Simd::Sub(third, Simd::Splat(0x80 - kRegularThirdOffset)),
                                   Simd::And(Simd::Equal(second, Simd::Splat(kRegularSecondHigh)), Simd::Splat(0x40)));
        Vec regular = Simd::And(regularFirst, Simd::InRange(second, kRegularSecondLow, 1));
        regular = Simd::And(regular, Simd::And(Simd::InRange(third, 0x80, 0x3F), Simd::InRange(half, 0x21, 0x5D)));
        regular = Simd::AndNot(Simd::Equal(half, Simd::Splat(kUtf8IrregularAscii)), regular);
        std::uint64_t forms = Simd::Bits(regular);
        Vec result = Simd::Select(regular, half, block);
        std::uint64_t dropped = forms << 1 | forms << 2;
        const std::uint64_t solidus = Simd::Bits(Simd::And(regular, Simd::Equal(half, Simd::Splat(kSolidusAscii))));
        if (solidus != 0) {  // '/' '/' in place of its first two bytes
            result = Simd::Select(Simd::FromBits(solidus << 1), Simd::Splat(kSolidusAscii), result);
            dropped &= ~(solidus << 1);
        }
        const Vec irregular = Simd::And(irregularFirst, Simd::Equal(second, Simd::Splat(kIrregularSecond)));
        if (Simd::Bits(irregular) != 0) {
            for (int k = 0; k < kUtf8IrregularRows; ++k) {
                const std::uint64_t at = Simd::Bits(
                    Simd::And(irregular, Simd::Equal(third, Simd::Splat(Byte(kUtf8Irregular.full[k].bytes, 2)))));
                // The form is one byte repeated (see utf8_tables.h), written
                // in place of the first bytes of the character.
                const std::size_t length = LiteralLength(kUtf8Irregular.half[k]);
                std::uint64_t written = 0;
                for (unsigned n = 0; n < 3; ++n) (n < length ? written : dropped) |= at << n;
                result = Simd::Select(Simd::FromBits(written), Simd::Splat(Byte(kUtf8Irregular.half[k], 0)), result);
                forms |= at;
            }
        }
        unsigned length = kWidth;
        const std::uint64_t late = forms >> (kWidth - 2);  // forms that go on past the block
        if (late != 0) length = (late & 1) != 0 ? kWidth - 2 : kWidth - 1;
        const std::uint64_t taken = LowBits(length);
        Simd::WritePacked(result, taken & ~dropped, out);
        i += length;
    }
    outRef = out;
    return i;
}

}  // namespace
}  // namespace tornix::kernels
