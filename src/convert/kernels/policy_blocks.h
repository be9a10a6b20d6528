// The block conversions of code page 936 text under a policy
// (policy_tables.h), for the 16- and 32-byte kernels: the loops of
// width_blocks.h, which they follow step by step, with what converts taken
// from the policy's sets instead of the table's shape, and punctuation by
// context worked out on the block's masks (policy_steps.h). A Simd type
// needs, besides what width_blocks.h lists:
//   Classify(bytes, candidates, sets, context)   which candidate bytes
//                                     convert (Converting)
//   FullForms(block, lead, trail, specials), A1HalfForms(..., forms) and
//   WriteFormsByTable(..., kind)      by the forms of the policy's table
// Included by the kernel files only (see width_blocks.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "policy_steps.h"
#include "width_blocks.h"
#include "width_kernels.h"

namespace tornix::kernels {
namespace {

// Of a block's candidate bytes, those that convert always and those that
// convert by context, by the policy's sets (policy_tables.h).
struct Converting {
    std::uint64_t always = 0;
    std::uint64_t byContext = 0;
};

// Classify by lookups of each byte's two halves, for the vector types with a
// byte shuffle.
template <typename Simd, typename Vec>
Converting ClassifyByHalves(Vec bytes, std::uint64_t candidates, const ConvertSets& sets, bool context) {
    const Vec low = Simd::LowHalves(bytes);
    const Vec bit = Simd::Lookup(kHighHalfBits, Simd::HighHalves(bytes));
    const auto in = [&](const AsciiSet& set) {
        return ~Simd::Bits(Simd::Equal(Simd::And(Simd::Lookup(set.low, low), bit), Simd::Zero())) & candidates;
    };
    return {in(sets.always), context ? in(sets.byContext) : 0};
}

// Of a block's character starts, those of CJK characters (width_context.h),
// from each byte and the byte after it.
template <typename Simd, typename Vec>
std::uint64_t CjkPairs(Vec lead, Vec trail, std::uint64_t starts) {
    const Vec anyTrail = Simd::AndNot(Simd::Equal(trail, Simd::Splat(0x7F)), Simd::InRange(trail, 0x40, 0xBE));
    const Vec gbk3 = Simd::And(Simd::InRange(lead, 0x81, 0x1F), anyTrail);
    const Vec gb2312 = Simd::AndNot(Simd::And(Simd::Equal(lead, Simd::Splat(0xD7)), Simd::InRange(trail, 0xFA, 4)),
                                    Simd::And(Simd::InRange(lead, 0xB0, 0x47), Simd::InRange(trail, 0xA1, 0x5D)));
    const Vec gbk4 = Simd::AndNot(Simd::And(Simd::Equal(lead, Simd::Splat(0xFD)), Simd::InRange(trail, 0x9C, 4)),
                                  Simd::And(Simd::InRange(lead, 0xAA, 0x53), Simd::InRange(trail, 0x40, 0x60)));
    return Simd::Bits(Simd::Or(gbk3, Simd::Or(gb2312, Simd::And(gbk4, anyTrail)))) & starts;
}

// Bit n set where the nearest character before byte n, spaces skipped, is a
// CJK character (`ends`: the last bytes of those in the block); the carry
// moves on by `advance` bytes.
inline std::uint64_t CjkBefore(std::uint64_t spaces, std::uint64_t ends, unsigned advance, ContextCarry& carry) {
    const std::uint64_t before = FillThroughSpaces(spaces, (ends << 1) | carry.seeds);
    carry.seeds = before >> advance;
    return before;
}

// Of `ends` (the last bytes of marks), those after which the nearest
// character, spaces skipped, is a CJK character (`cjk`: where they begin in
// the block's first `width` bytes); `beyond()` tells it of the byte after
// them, asked only when a mark needs it.
template <typename Beyond>
std::uint64_t CjkAfterEnds(std::uint64_t ends, std::uint64_t spaces, std::uint64_t cjk, unsigned width, Beyond beyond) {
    if (ends == 0) return 0;
    const bool top = (ends & ReachesTheEnd(spaces, width)) != 0 && beyond();
    return CjkAfter(spaces, cjk, width, top) & ends;
}

// The two-byte characters of a block of them alone: the seeds for the next
// block, from the last one (cut by the block's end when `cut` says the block
// began with a second byte).
inline std::uint64_t LastPairSeeds(const unsigned char* block, unsigned width, std::uint64_t cut) {
    const unsigned last = cut != 0 ? width - 1 : width - 2;
    return IsCjkPair(block[last], block[last + 1]) ? (cut != 0 ? 2 : 1) : 0;
}

// To full width: of the marks that convert by context, those that have a CJK
// character next to them.
template <typename Simd, typename Vec>
std::uint64_t FullMarksNextToCjk(Vec block, const unsigned char* in, std::size_t i, std::size_t size,
                                 std::uint64_t starts, std::uint64_t spaces, std::uint64_t marks, unsigned stop,
                                 ContextCarry& carry) {
    const std::uint64_t cjk = CjkPairs<Simd>(block, Simd::Load(in + i + 1), starts);
    const std::uint64_t before = CjkBefore(spaces, cjk << 1, stop, carry);
    const auto beyond = [&] { return CjkPairFrom(in, i + stop, size, carry.after); };
    return (marks & before) | CjkAfterEnds(marks & ~before, spaces, cjk, stop, beyond);
}

// Writes a block's bytes to full width: `wide` its converted characters,
// `asIs` its printable bytes that stay, `heads` where a full-width space is
// written, `kept` the bytes written at all (see FullWidthBlocks).
template <typename Simd, typename Vec>
void WritePolicyFullForms(Vec block, const unsigned char* at, std::uint64_t asIs, std::uint64_t heads,
                          std::uint64_t seconds, std::uint64_t kept, std::uint64_t wide, std::uint64_t taken,
                          WidthTableKind table, char*& out) {
    if constexpr (Simd::kFormsByTable) {
        const bool asciiText = (Simd::Bits(block) | heads | seconds | asIs) == 0;
        Simd::WriteFormsByTable(at, heads, seconds | asIs, kept, asciiText, out, table);
    } else {
        Vec lead, trail;
        Simd::FullForms(block, lead, trail, FullSpecialsOf(table));
        lead = Simd::Select(Simd::FromBits(wide), lead, block);
        Simd::WritePairs(lead, trail, kept, wide, kept == taken, out);
    }
}

// FullWidthBlocks under a policy: the printable bytes of its sets, the
// spaces by its rule (three at a time as there, one at a time, or none).
template <typename Simd>
std::size_t PolicyFullWidthBlocks(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef,
                                  const PolicyTables& policy, ContextCarry& carry) {
    constexpr unsigned kWidth = Simd::kWidth;
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    const bool triples = policy.fullSpaces == SpaceRule::kTriples;
    const std::uint64_t singles = policy.fullSpaces == SpaceRule::kSingles ? ~std::uint64_t{0} : 0;
    std::uint64_t cut = 0;
    while (i + kWidth < size) {
        PrefetchAhead(in + i, out);
        const auto block = Simd::Load(in + i);
        const std::uint64_t leads = Simd::Bits(Simd::InRange(block, 0x81, 0x7D));
        if (leads == LowBits(kWidth)) {  // two-byte characters only
            if (policy.context) carry.seeds = LastPairSeeds(in + i, kWidth, cut);
            Simd::Store(out, block);
            out += kWidth;
            i += kWidth;
            continue;
        }
        const std::uint64_t starts = PairStarts(leads & ~cut);
        const std::uint64_t seconds = (starts << 1) | cut;
        const std::uint64_t printable = Simd::Bits(Simd::InRange(block, 0x21, 0x5D)) & ~seconds;
        const std::uint64_t spaces = Simd::Bits(Simd::Equal(block, Simd::Splat(' '))) & ~seconds;
        const unsigned stop = triples ? StopBeforeLongRun(spaces, kWidth, in[i + kWidth]) : kWidth;
        if (stop == 0) {  // a run of spaces from here past the block
            const std::size_t run = SpaceRunLength(in, i, size);
            out = EmitSpaceRun(out, run);
            i += run;
            cut = 0;
            continue;
        }
        const std::uint64_t taken = LowBits(stop);
        const Converting found = (printable & taken) != 0
                                     ? Simd::Classify(block, printable & taken, policy.full, policy.context)
                                     : Converting{};
        std::uint64_t wide = found.always;
        if (policy.context) {
            wide |= FullMarksNextToCjk<Simd>(block, in, i, size, starts & taken, spaces & taken, found.byContext, stop,
                                             carry);
        }
        const std::uint64_t heads = triples ? SpaceTripleHeads(spaces & taken) : spaces & taken & singles;
        wide |= heads;
        const std::uint64_t asIs = printable & taken & ~wide;
        cut = (starts & taken) >> (kWidth - 1);
        if (wide == 0) {  // nothing to convert
            Simd::Store(out, block);
            out += stop;
            i += stop;
            continue;
        }
        const std::uint64_t kept = triples ? taken & ~((heads << 1) | (heads << 2)) : taken;
        WritePolicyFullForms<Simd>(block, in + i, asIs, heads, seconds, kept, wide, taken, policy.table, out);
        i += stop;
    }
    if (cut != 0) {  // the rest of the cut character
        *out++ = static_cast<char>(in[i++]);
        carry.seeds >>= 1;
    }
    outRef = out;
    return i;
}

// The marks under 0xA1 that convert by context.
template <typename Simd, typename Vec>
std::uint64_t A1Marks(Vec trail, std::uint64_t underA1, const PolicyTables& policy) {
    std::uint64_t marks = 0;
    for (int k = 0; k < policy.a1ByContextCount; ++k) {
        marks |= Simd::Bits(Simd::Equal(trail, Simd::Splat(policy.a1ByContext[k])));
    }
    return marks & underA1;
}

// To half width: of the forms that convert by context (`marks`, at their
// first bytes), those with a CJK character next to them. A form cut by the
// end of the block has its second byte there, and the next character after.
template <typename Simd, typename Vec>
std::uint64_t HalfMarksNextToCjk(Vec block, Vec trail, const unsigned char* in, std::size_t i, std::size_t size,
                                 std::uint64_t starts, std::uint64_t seconds, std::uint64_t marks,
                                 ContextCarry& carry) {
    constexpr unsigned kWidth = Simd::kWidth;
    const std::uint64_t cjk = CjkPairs<Simd>(block, trail, starts);
    const std::uint64_t spaces = Simd::Bits(Simd::Equal(block, Simd::Splat(' '))) & ~seconds;
    const std::uint64_t before = CjkBefore(spaces, cjk << 1, kWidth, carry);
    const unsigned cutOut = static_cast<unsigned>(starts >> (kWidth - 1));
    const auto beyond = [&] { return CjkPairFrom(in, i + kWidth + cutOut, size, carry.after); };
    const std::uint64_t open = marks & ~before;
    return (marks & before) | (CjkAfterEnds(open << 1, spaces, cjk, kWidth + cutOut, beyond) >> 1);
}

// HalfWidthBlocks under a policy: the forms under 0xA3 of its sets instead
// of the table's rows, those under 0xA1 of its nibble table, the solidus
// doubled in the classic table only.
template <typename Simd>
std::size_t PolicyHalfWidthBlocks(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef,
                                  const PolicyTables& policy, ContextCarry& carry) {
    using Vec = typename Simd::Vec;
    constexpr unsigned kWidth = Simd::kWidth;
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    const Vec solidusExtra = Simd::Splat(policy.solidusExtra);
    std::uint64_t cut = 0;
    Vec converted = Simd::Zero();
    while (i + kWidth < size) {
        PrefetchAhead(in + i, out);
        const Vec block = Simd::Load(in + i);
        if (Simd::Bits(block) == 0) {  // ASCII only
            if (policy.context) CjkBefore(Simd::Bits(Simd::Equal(block, Simd::Splat(' '))) & ~cut, 0, kWidth, carry);
            Simd::Store(out, block);
            out += kWidth;
            i += kWidth;
            cut = 0;
            converted = Simd::Zero();
            continue;
        }
        const std::uint64_t starts = PairStarts(Simd::Bits(Simd::InRange(block, 0x81, 0x7D)) & ~cut);
        const Vec trail = Simd::Load(in + i + 1);  // byte n: the byte after byte n
        const std::uint64_t underA1 = Simd::Bits(Simd::Equal(block, Simd::Splat(kFullFormLeads[0]))) & starts;
        const std::uint64_t underA3 = Simd::Bits(Simd::Equal(block, Simd::Splat(kFullFormLeads[1]))) & starts;
        const Vec key = Simd::Xor(trail, Simd::Splat(0x80));  // under 0xA3: the ASCII character of the form
        const Converting found = Simd::Classify(key, underA3, policy.halfUnderA3, policy.context);
        std::uint64_t rowA3 = found.always;
        std::uint64_t stays = 0;  // marks that stay by context
        if (policy.context) {
            const std::uint64_t marks = found.byContext | A1Marks<Simd>(trail, underA1, policy);
            stays = HalfMarksNextToCjk<Simd>(block, trail, in, i, size, starts, (starts << 1) | cut, marks, carry);
            rowA3 |= marks & underA3 & ~stays;
        }
        const Vec rowA3Mask = Simd::FromBits(rowA3);
        Vec result = Simd::Select(rowA3Mask, Simd::Sub(trail, Simd::Splat(0x80)), block);
        Vec counts = Simd::And(Simd::And(rowA3Mask, Simd::Equal(trail, Simd::Splat(kSolidusTrail))), solidusExtra);
        Vec rowA1 = Simd::FromBits(underA1 & ~stays);
        Simd::A1HalfForms(trail, rowA1, result, counts, policy.a1);
        const Vec before = converted;
        converted = Simd::Or(rowA3Mask, rowA1);
        WriteHalfBlock<Simd>(result, counts, converted, before, out);
        cut = starts >> (kWidth - 1);
        i += kWidth;
    }
    if (cut != 0) {  // the rest of the cut character, unless its form is written
        if ((Simd::Bits(converted) >> (kWidth - 1)) == 0) *out++ = static_cast<char>(in[i]);
        ++i;
        carry.seeds >>= 1;
    }
    outRef = out;
    return i;
}

// A kernel under a policy: the block loop `Blocks`, then the plain loop
// `Tail` from where it stopped, with what the blocks carry.
using PolicyBlocks = std::size_t (*)(const unsigned char* in, std::size_t i, std::size_t size, char*& out,
                                     const PolicyTables& policy, ContextCarry& carry);
using PolicyTail = char* (*)(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                             ContextCarry carry);

template <PolicyBlocks Blocks, PolicyTail Tail>
char* BlocksThenTail(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                     ContextEdges edges) {
    ContextCarry carry{edges.cjkBefore ? 1u : 0u, edges.cjkAfter};
    const std::size_t i = Blocks(in, 0, size, out, policy, carry);
    return Tail(in + i, size - i, out, policy, carry);
}

}  // namespace
}  // namespace tornix::kernels
