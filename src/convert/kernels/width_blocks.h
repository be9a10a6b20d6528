// The block conversions of the 16- and 32-byte kernels, written once for a
// vector type `Simd` that each kernel file supplies (width_sse2.cpp,
// width_ssse3.cpp, width_avx2.cpp). A block is Simd::kWidth bytes that begin
// on a character; where characters begin in it is found from its bytes alone
// (PairStarts), so that the loops never go back to a byte.
//
// A Simd type is an instruction set's vocabulary (simd/sse2.h lists it) with
// the width kernels' own operations:
//   FullForms(block, lead, trail[, specials])   both bytes of every printable
//                                    ASCII byte's full-width form (and U+3000
//                                    for a space), of the classic table or
//                                    by another table's special forms
//   RowsUnderA3(trail)          where a form under 0xA3 with that second
//                               byte has a row
//   A1HalfForms(trail, rowA1, result, counts[, forms])   the rows under 0xA1
//                                    (of kA1Forms, or `forms`): narrows
//                                    `rowA1` to them, writes their forms into
//                                    `result` and adds their extra counts
//   WriteCounted(bytes, counts, out) byte n counts[n] times (0 to 3), in order
//   WritePacked(bytes, keep, out)    the bytes whose bit is set in `keep`
//   kFormsByTable               whether ToFullWidth writes a block byte by
//                               byte from a table (WriteFormsByTable) rather
//                               than with FullForms and WritePairs
//   WritePairs(first, second, keepFirst, keepSecond, onlySeconds, out)
//                                    byte pairs (first n, second n), each byte
//                                    kept where its bit is set; onlySeconds says
//                                    that keepFirst has every byte up to its end
//
// The vocabularies with a byte shuffle (SSSE3, AVX2) provide FullForms,
// RowsUnderA3 and A1HalfForms by the lookups below (the ...ByHalves templates).
//
// Included by the kernel files only, inside no namespace of their own: the
// templates are instantiated in each file with that file's instruction set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "width_steps.h"

namespace tornix::kernels {
namespace {

// FullForms, RowsUnderA3 and A1HalfForms by lookups of a byte's two halves,
// for the vector types with a byte shuffle.
template <typename Simd, typename Vec>
void FullFormsByHalves(Vec block, Vec& lead, Vec& trail, const FullSpecials& specials) {
    const Vec special = Simd::And(Simd::Lookup(specials.lowClass, Simd::LowHalves(block)),
                                  Simd::Lookup(specials.highClass, Simd::HighHalves(block)));
    lead = Simd::Lookup(specials.leadByClass, special);
    trail = Simd::Add(block, Simd::Lookup(specials.trailOffsetByClass, special));
}

template <typename Simd, typename Vec>
Vec RowsUnderA3ByHalves(Vec trail) {
    const Vec noRow = Simd::And(Simd::Lookup(kNoRowUnderA3.low, Simd::LowHalves(trail)),
                                Simd::Lookup(kNoRowUnderA3.high, Simd::HighHalves(trail)));
    return Simd::Equal(noRow, Simd::Zero());
}

template <typename Simd, typename Vec>
void A1HalfFormsByHalves(Vec trail, Vec& rowA1, Vec& result, Vec& counts, const A1FormsByNibble& forms) {
    const Vec nibble = Simd::LowHalves(trail);
    rowA1 = Simd::And(rowA1, Simd::Equal(trail, Simd::Lookup(forms.trail, nibble)));
    result = Simd::Select(rowA1, Simd::Lookup(forms.half, nibble), result);
    counts = Simd::Add(counts, Simd::And(rowA1, Simd::Lookup(forms.extra, nibble)));
}

// ToFullWidth of any text, a block at a time: every printable ASCII character
// becomes its two-byte form and every three spaces in a row a full-width
// space, written as byte pairs of which the bytes not needed are packed out;
// other bytes stay as they are. A character cut by the end of a block is
// copied in two parts (`cut` says that the next block begins with a second
// byte), so that where the next block begins does not wait for this one's
// bytes. A run of spaces that goes on past a block is left to the next
// round, or converted on its own when it fills the block. Stops near the end
// of the text, on a character boundary outside any run of spaces, and
// returns where.
template <typename Simd>
std::size_t FullWidthBlocks(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef) {
    constexpr unsigned kWidth = Simd::kWidth;
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    std::uint64_t cut = 0;
    while (i + kWidth < size) {
        PrefetchAhead(in + i, out);
        const auto block = Simd::Load(in + i);
        const std::uint64_t leads = Simd::Bits(Simd::InRange(block, 0x81, 0x7D));
        if (leads == LowBits(kWidth)) {  // two-byte characters only: the cut stays as it was
            Simd::Store(out, block);
            out += kWidth;
            i += kWidth;
            continue;
        }
        const std::uint64_t starts = PairStarts(leads & ~cut);
        // Any byte after a lead byte is its second byte, even a space.
        const std::uint64_t seconds = (starts << 1) | cut;
        const std::uint64_t printable = Simd::Bits(Simd::InRange(block, 0x21, 0x5D)) & ~seconds;
        const std::uint64_t spaces = Simd::Bits(Simd::Equal(block, Simd::Splat(' '))) & ~seconds;
        const unsigned stop = StopBeforeLongRun(spaces, kWidth, in[i + kWidth]);
        if (stop == 0) {  // a run of spaces from here past the block
            const std::size_t run = SpaceRunLength(in, i, size);
            out = EmitSpaceRun(out, run);
            i += run;
            cut = 0;
            continue;
        }
        const std::uint64_t taken = LowBits(stop);
        cut = (starts & taken) >> (kWidth - 1);
        const std::uint64_t heads = SpaceTripleHeads(spaces & taken);
        const std::uint64_t wide = (printable | heads) & taken;
        if (wide == 0) {  // nothing to convert
            Simd::Store(out, block);
            out += stop;
            i += stop;
            continue;
        }
        // Both bytes of a pair for a converted character, the first alone for
        // any other byte, neither for the spaces a full-width space replaces.
        const std::uint64_t kept = taken & ~((heads << 1) | (heads << 2));
        if constexpr (Simd::kFormsByTable) {
            Simd::WriteFormsByTable(in + i, heads, seconds, kept, (Simd::Bits(block) | heads | seconds) == 0, out);
        } else {
            typename Simd::Vec lead, trail;
            Simd::FullForms(block, lead, trail);
            lead = Simd::Select(Simd::FromBits(wide), lead, block);
            Simd::WritePairs(lead, trail, kept, wide, kept == taken, out);
        }
        i += stop;
    }
    if (cut != 0) *out++ = static_cast<char>(in[i++]);  // the rest of the cut character
    outRef = out;
    return i;
}

// Writes a block converted to half width: byte n of `result` 1 + counts[n]
// times (twice for a solidus, three times for a full-width space), and not
// at all where it is the second byte of a converted form (`converted` marks
// their first bytes, `before` those of the block before).
template <typename Simd, typename Vec>
void WriteHalfBlock(Vec result, Vec counts, Vec converted, Vec before, char*& out) {
    counts = Simd::Add(counts, Simd::AndNot(Simd::template Earlier<1>(converted, before), Simd::Splat(1)));
    // Counts of 2 and 3 (a solidus, a full-width space) are rare: without
    // them the block is packed, half the writes of WriteCounted.
    if (Simd::Bits(Simd::InRange(counts, 2, 1)) == 0) {
        Simd::WritePacked(result, ~Simd::Bits(Simd::Equal(counts, Simd::Zero())) & LowBits(Simd::kWidth), out);
    } else {
        Simd::WriteCounted(result, counts, out);
    }
}

// ToHalfWidth of any text, a block at a time, without a branch on where its
// forms are (only on whether it has any byte outside ASCII, and any of the
// rare forms that grow): each full-width
// form with a row becomes its half-width form in place of its first byte,
// which is written once, twice for the solidus ('/' '/') or three times for
// the full-width space; its second byte is not written. Every block moves on
// by its whole width: a form cut by the end of a block is converted there
// (its second byte is loaded with the block's second bytes), and the next
// block leaves that byte out. Stops near the end of the text, on a character
// boundary, and returns where.
template <typename Simd>
std::size_t HalfWidthBlocks(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef) {
    using Vec = typename Simd::Vec;
    constexpr unsigned kWidth = Simd::kWidth;
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    const Vec a1 = Simd::Splat(kFullFormLeads[0]);
    const Vec a3 = Simd::Splat(kFullFormLeads[1]);
    const Vec one = Simd::Splat(1);
    std::uint64_t cut = 0;         // whether the block begins with the second byte of a character
    Vec converted = Simd::Zero();  // the block before's converted forms, by their first bytes
    while (i + kWidth < size) {
        PrefetchAhead(in + i, out);
        const Vec block = Simd::Load(in + i);
        // ASCII only: nothing to convert, and no second byte of a form (those
        // are 0xA1 or more) begins the block.
        if (Simd::Bits(block) == 0) {
            Simd::Store(out, block);
            out += kWidth;
            i += kWidth;
            cut = 0;
            converted = Simd::Zero();
            continue;
        }
        const std::uint64_t starts = PairStarts(Simd::Bits(Simd::InRange(block, 0x81, 0x7D)) & ~cut);
        const Vec trail = Simd::Load(in + i + 1);  // byte n: the byte after byte n
        const Vec underA1 = Simd::Equal(block, a1);
        const Vec underA3 = Simd::Equal(block, a3);
        const Vec atForm = Simd::FromBits(Simd::Bits(Simd::Or(underA1, underA3)) & starts);
        const Vec rowA3 = Simd::And(Simd::And(atForm, underA3), Simd::RowsUnderA3(trail));
        Vec result = Simd::Select(rowA3, Simd::Sub(trail, Simd::Splat(0x80)), block);
        Vec counts = Simd::And(Simd::And(rowA3, Simd::Equal(trail, Simd::Splat(kSolidusTrail))), one);
        Vec rowA1 = Simd::And(atForm, underA1);
        Simd::A1HalfForms(trail, rowA1, result, counts);
        const Vec before = converted;
        converted = Simd::Or(rowA3, rowA1);
        WriteHalfBlock<Simd>(result, counts, converted, before, out);
        cut = starts >> (kWidth - 1);
        i += kWidth;
    }
    if (cut != 0) {  // the rest of the cut character, unless its form is written
        if ((Simd::Bits(converted) >> (kWidth - 1)) == 0) *out++ = static_cast<char>(in[i]);
        ++i;
    }
    outRef = out;
    return i;
}

}  // namespace
}  // namespace tornix::kernels
