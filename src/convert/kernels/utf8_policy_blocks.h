// The block conversions of UTF-8 text under a policy, for the 16- and
// 32-byte kernels: the loops of utf8_blocks.h, step by step, with what
// converts taken from the policy's sets and punctuation by context worked
// out on the block's masks, as policy_blocks.h does for code page 936 text.
// Included by the kernel files only (see width_blocks.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "policy_blocks.h"
#include "utf8_blocks.h"

namespace tornix::kernels {
namespace {

// Where the UTF-8 of CJK characters begins (E4 B8 80 .. E9 BE A5), from each
// byte and the two after it.
template <typename Simd, typename Vec>
std::uint64_t Utf8CjkStarts(Vec first, Vec second, Vec third) {
    const Vec trailing = Simd::And(Simd::InRange(second, 0x80, 0x3F), Simd::InRange(third, 0x80, 0x3F));
    const Vec low = Simd::And(Simd::Equal(first, Simd::Splat(0xE4)), Simd::InRange(second, 0xB8, 0x07));
    const Vec last = Simd::Or(Simd::InRange(second, 0x80, 0x3D),
                              Simd::And(Simd::Equal(second, Simd::Splat(0xBE)), Simd::InRange(third, 0x80, 0x25)));
    const Vec high = Simd::And(Simd::Equal(first, Simd::Splat(0xE9)), last);
    return Simd::Bits(Simd::And(trailing, Simd::Or(Simd::Or(low, high), Simd::InRange(first, 0xE5, 3))));
}

// The context of a block's first `width` bytes: of `marks` (forms `length`
// bytes long, at their first bytes), those with a CJK character next to them.
template <typename Simd, typename Vec>
std::uint64_t Utf8MarksNextToCjk(Vec block, const unsigned char* in, std::size_t i, std::size_t size,
                                 std::uint64_t spaces, std::uint64_t marks, unsigned length, unsigned width,
                                 ContextCarry& carry) {
    const std::uint64_t cjk =
        Utf8CjkStarts<Simd>(block, Simd::Load(in + i + 1), Simd::Load(in + i + 2)) & LowBits(width);
    const std::uint64_t before = CjkBefore(spaces, cjk << 2, width, carry);
    const auto beyond = [&] { return CjkUtf8From(in, i + width, size, carry.after); };
    const std::uint64_t ends = (marks & ~before) << (length - 1);
    return (marks & before) | (CjkAfterEnds(ends, spaces, cjk, width, beyond) >> (length - 1));
}

// Utf8FullWidthBlocks under a policy. The two bytes after each block are
// read for the CJK characters that it cuts.
template <typename Simd>
std::size_t PolicyUtf8FullWidthBlocks(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef,
                                      const PolicyTables& policy, ContextCarry& carry) {
    using Vec = typename Simd::Vec;
    constexpr unsigned kWidth = Simd::kWidth;
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    const bool triples = policy.fullSpaces == SpaceRule::kTriples;
    const std::uint64_t singles = policy.fullSpaces == SpaceRule::kSingles ? ~std::uint64_t{0} : 0;
    const bool irregularStop = policy.table == WidthTableKind::kClassic;
    while (i + kWidth + 2 <= size) {
        const Vec block = Simd::Load(in + i);
        const std::uint64_t printable = Simd::Bits(Simd::InRange(block, 0x21, 0x5D));
        const std::uint64_t spaces = Simd::Bits(Simd::Equal(block, Simd::Splat(' ')));
        const unsigned stop = triples ? StopBeforeLongRun(spaces, kWidth, in[i + kWidth]) : kWidth;
        if (stop == 0) {  // a run of spaces from here past the block
            const std::size_t run = SpaceRunLength(in, i, size);
            out = EmitUtf8SpaceRun(out, run);
            i += run;
            continue;
        }
        const std::uint64_t taken = LowBits(stop);
        const Converting found = (printable & taken) != 0
                                     ? Simd::Classify(block, printable & taken, policy.full, policy.context)
                                     : Converting{};
        std::uint64_t wide = found.always;
        if (policy.context)
            wide |= Utf8MarksNextToCjk<Simd>(block, in, i, size, spaces & taken, found.byContext, 1, stop, carry);
        const std::uint64_t heads = triples ? SpaceTripleHeads(spaces & taken) : 0;
        const std::uint64_t spaceForms = spaces & taken & singles;
        Vec first = block;
        if (heads != 0) {
            first = Simd::Select(Simd::FromBits(heads), Simd::Splat(Byte(kUtf8FullSpace.bytes, 0)), first);
            first = Simd::Select(Simd::FromBits(heads << 1), Simd::Splat(Byte(kUtf8FullSpace.bytes, 1)), first);
            first = Simd::Select(Simd::FromBits(heads << 2), Simd::Splat(Byte(kUtf8FullSpace.bytes, 2)), first);
        }
        if ((wide | spaceForms) == 0) {  // nothing grows
            Simd::Store(out, first);
            out += stop;
            i += stop;
            continue;
        }
        const Vec forms = Simd::FromBits(wide);
        first = Simd::Select(forms, Simd::Splat(kRegularFirst), first);
        Vec second = Simd::Select(Simd::InRange(block, kRegularSecondStep, 0x7E - kRegularSecondStep),
                                  Simd::Splat(kRegularSecondHigh), Simd::Splat(kRegularSecondLow));
        Vec third = Simd::Or(Simd::And(Simd::Add(block, Simd::Splat(kRegularThirdOffset)), Simd::Splat(0x3F)),
                             Simd::Splat(0x80));
        // The irregular forms: the classic table's full stop, a space alone.
        const Vec irregular = irregularStop ? Simd::And(forms, Simd::Equal(block, Simd::Splat(kUtf8IrregularAscii)))
                                            : Simd::FromBits(spaceForms);
        const Utf8Form& form = irregularStop ? kUtf8IrregularForm : kUtf8FullSpace;
        first = Simd::Select(irregular, Simd::Splat(Byte(form.bytes, 0)), first);
        second = Simd::Select(irregular, Simd::Splat(Byte(form.bytes, 1)), second);
        third = Simd::Select(irregular, Simd::Splat(Byte(form.bytes, 2)), third);
        Simd::WriteTriples(first, second, third, taken, wide | spaceForms, out);
        i += stop;
    }
    outRef = out;
    return i;
}

// Where each of a block's rows' forms converts: `converts` those that do,
// `marks` those that do by context, `forms` all of them; and the result.
struct Utf8HalfBlock {
    std::uint64_t forms = 0;
    std::uint64_t converts = 0;
    std::uint64_t marks = 0;
    std::uint64_t irregular[kUtf8IrregularRows]{};
};

// Finds the forms of the policy's rows in a block, by their three bytes.
template <typename Simd, typename Vec>
Utf8HalfBlock FindUtf8HalfForms(Vec block, Vec second, Vec third, Vec half, const PolicyTables& policy) {
    Utf8HalfBlock found;
    Vec forms = Simd::And(Simd::Equal(block, Simd::Splat(kRegularFirst)), Simd::InRange(second, kRegularSecondLow, 1));
    forms = Simd::And(forms, Simd::And(Simd::InRange(third, 0x80, 0x3F), Simd::InRange(half, 0x21, 0x5D)));
    const std::uint64_t regulars = Simd::Bits(forms);
    const Converting regular = Simd::Classify(half, regulars, policy.halfUtf8Regular, policy.context);
    found.converts = regular.always;
    found.marks = regular.byContext;
    found.forms = regulars;
    const Vec irregular =
        Simd::And(Simd::Equal(block, Simd::Splat(kIrregularFirst)), Simd::Equal(second, Simd::Splat(kIrregularSecond)));
    for (int k = 0; k < policy.utf8IrregularCount; ++k) {
        const Utf8IrregularForm& row = policy.utf8Irregular[k];
        const std::uint64_t at = Simd::Bits(Simd::And(irregular, Simd::Equal(third, Simd::Splat(row.third))));
        const Rule rule = RuleOf(policy.half, row.half);
        found.irregular[k] = at;
        found.forms |= at;
        if (rule == Rule::kConvert) found.converts |= at;
        if (rule == Rule::kByContext) found.marks |= at;
    }
    return found;
}

// Utf8HalfWidthBlocks under a policy.
template <typename Simd>
std::size_t PolicyUtf8HalfWidthBlocks(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef,
                                      const PolicyTables& policy, ContextCarry& carry) {
    using Vec = typename Simd::Vec;
    constexpr unsigned kWidth = Simd::kWidth;
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    const bool solidusDoubles = policy.table == WidthTableKind::kClassic;
    while (i + kWidth + 2 <= size) {
        const Vec block = Simd::Load(in + i);
        // No form begins here (without context), or ASCII only: nothing
        // converts, and no CJK character begins or ends.
        const Vec firsts =
            Simd::Or(Simd::Equal(block, Simd::Splat(kRegularFirst)), Simd::Equal(block, Simd::Splat(kIrregularFirst)));
        if (Simd::Bits(policy.context ? block : firsts) == 0) {
            if (policy.context) CjkBefore(Simd::Bits(Simd::Equal(block, Simd::Splat(' '))), 0, kWidth, carry);
            Simd::Store(out, block);
            out += kWidth;
            i += kWidth;
            continue;
        }
        const Vec second = Simd::Load(in + i + 1);  // lane n: byte n + 1
        const Vec third = Simd::Load(in + i + 2);
        const Vec half = Simd::Add(Simd::Sub(third, Simd::Splat(0x80 - kRegularThirdOffset)),
                                   Simd::And(Simd::Equal(second, Simd::Splat(kRegularSecondHigh)), Simd::Splat(0x40)));
        Utf8HalfBlock found = FindUtf8HalfForms<Simd>(block, second, third, half, policy);
        unsigned length = kWidth;
        const std::uint64_t late = found.forms >> (kWidth - 2);  // forms that go on past the block
        if (late != 0) length = (late & 1) != 0 ? kWidth - 2 : kWidth - 1;
        const std::uint64_t taken = LowBits(length);
        if (policy.context) {
            const std::uint64_t spaces = Simd::Bits(Simd::Equal(block, Simd::Splat(' '))) & taken;
            const std::uint64_t marks = found.marks & taken;
            found.converts |= marks & ~Utf8MarksNextToCjk<Simd>(block, in, i, size, spaces, marks, 3, length, carry);
        }
        const std::uint64_t converts = found.converts & taken;
        if (converts == 0) {  // forms, but only of kept characters: the bytes as they are
            Simd::Store(out, block);
            out += length;
            i += length;
            continue;
        }
        Vec result = Simd::Select(Simd::FromBits(converts), half, block);
        std::uint64_t dropped = converts << 1 | converts << 2;
        const std::uint64_t solidus =
            solidusDoubles ? converts & Simd::Bits(Simd::Equal(half, Simd::Splat(kSolidusAscii))) : 0;
        if (solidus != 0) {  // '/' '/' in place of its first two bytes
            result = Simd::Select(Simd::FromBits(solidus << 1), Simd::Splat(kSolidusAscii), result);
            dropped &= ~(solidus << 1);
        }
        for (int k = 0; k < policy.utf8IrregularCount; ++k) {
            const std::uint64_t at = found.irregular[k] & converts;
            if (at == 0) continue;
            // The form is one byte repeated, written in place of the first
            // bytes of the character.
            std::uint64_t written = 0;
            for (unsigned n = 0; n < 3; ++n) (n < policy.utf8Irregular[k].length ? written : dropped) |= at << n;
            dropped &= ~written;
            result = Simd::Select(Simd::FromBits(written), Simd::Splat(policy.utf8Irregular[k].half), result);
        }
        Simd::WritePacked(result, taken & ~dropped, out);
        i += length;
    }
    outRef = out;
    return i;
}

}  // namespace
}  // namespace tornix::kernels
