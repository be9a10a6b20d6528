// The steps every width kernel shares: finding where characters begin in a
// block, planning its runs of spaces, and converting one character at a time.
//
// Each kernel file is compiled for its own instruction set, so these functions
// live in an anonymous namespace: every file gets its own copy, built with its
// own flags. (Inline functions with external linkage would be merged by the
// linker, and a copy built for AVX2 could end up in the plain loop.) For the
// same reason the kernel files use nothing from the standard library that the
// compiler might emit out of line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "text/gbk_string.h"
#include "width_tables.h"

namespace tornix::kernels {
namespace {

// The low `count` bits set, for counts from 1 to 64. One shift, no branch: a
// block's length is 63 or 64 about as often as not in Chinese text.
inline std::uint64_t LowBits(unsigned count) {
    return ~std::uint64_t{0} >> (64 - count);
}

inline unsigned CountBits8(std::uint64_t bits) {
    return kPack.kept[bits & 0xFF];
}

// Bit n set where byte n of a block begins a two-byte character, given the
// lead bytes (bit n set where byte n is one) of a block that begins on a
// character: lead bytes pair up from the start of each run of them, so a run
// that starts at an even position begins characters at even positions.
inline constexpr std::uint64_t kEvenBits = 0x5555555555555555u;

inline std::uint64_t PairStarts(std::uint64_t leads) {
    const std::uint64_t runStarts = leads & ~(leads << 1);
    const std::uint64_t evenRuns = leads & ~(leads + (runStarts & kEvenBits));
    return (evenRuns & kEvenBits) | (leads & ~evenRuns & ~kEvenBits);
}

// Asks for the input and the output some way ahead of a block loop, at every
// block: slower loops get too little from the processor's own prefetching on
// some machines (a third of their speed on the one the figures come from).
inline constexpr std::size_t kPrefetchDistance = 2048;

inline void PrefetchAhead(const unsigned char* in, char* out) {
    __builtin_prefetch(in + kPrefetchDistance, 0);
    __builtin_prefetch(out + kPrefetchDistance, 1);
}

// Where the run of set bits that holds bit `position` begins.
inline unsigned RunStart(std::uint64_t bits, unsigned position) {
    const std::uint64_t before = ~bits & LowBits(position);
    return before == 0 ? 0 : 64 - static_cast<unsigned>(__builtin_clzll(before));
}

// Bit n of the low 32 bits of `bits` spread to bit 2n.
inline std::uint64_t SpreadBits(std::uint64_t bits) {
    bits &= 0xFFFFFFFFu;
    bits = (bits | bits << 16) & 0x0000FFFF0000FFFFu;
    bits = (bits | bits << 8) & 0x00FF00FF00FF00FFu;
    bits = (bits | bits << 4) & 0x0F0F0F0F0F0F0F0Fu;
    bits = (bits | bits << 2) & 0x3333333333333333u;
    return (bits | bits << 1) & 0x5555555555555555u;
}

// Where a block of `width` bytes stops to full width: before a run of spaces
// that goes on past its end (`next` is the byte after it), so that the run
// is converted whole; else at its end.
inline unsigned StopBeforeLongRun(std::uint64_t spaces, unsigned width, unsigned char next) {
    return ((spaces >> (width - 1)) & 1) != 0 && next == ' ' ? RunStart(spaces, width - 1) : width;
}

// Where ToFullWidth writes a full-width space for the spaces of a block (bit
// n set where byte n is a space that is a character of its own, none of them
// part of a run that goes on past the block): at the first of each three in
// a row, counted from the start of each run; the two spaces after such a
// first one are dropped. Without a branch per run: the runs of "three spaces
// from here" are told apart by the start position modulo 3, and the additions
// carry each run's start through the run.
inline std::uint64_t SpaceTripleHeads(std::uint64_t spaces) {
    constexpr std::uint64_t kEveryThird = 0x9249249249249249u;  // bits 0, 3, 6, ..., 63
    const std::uint64_t triples = spaces & (spaces >> 1) & (spaces >> 2);
    if (triples == 0) return 0;  // prose: single spaces only
    const std::uint64_t runStarts = triples & ~(triples << 1);
    std::uint64_t heads = 0;
    for (unsigned phase = 0; phase < 3; ++phase) {
        const std::uint64_t third = kEveryThird << phase;
        const std::uint64_t runs = triples & ~(triples + (runStarts & third));
        heads |= runs & third;
    }
    return heads;
}

// Emits a run of `count` spaces: one full-width space per three, the rest kept.
inline char* EmitSpaceRun(char* out, std::size_t count) {
    for (std::size_t i = 0; i < count / 3; ++i) {
        out[0] = static_cast<char>(kFullSpaceLead);
        out[1] = static_cast<char>(kFullSpaceTrail);
        out += 2;
    }
    for (std::size_t i = 0; i < count % 3; ++i) *out++ = ' ';
    return out;
}

// The length of the run of spaces from `i` on.
inline std::size_t SpaceRunLength(const unsigned char* in, std::size_t i, std::size_t size) {
    std::size_t end = i;
    while (end < size && in[end] == ' ') ++end;
    return end - i;
}

// Converts the printable ASCII and spaces from boundary `i` on and returns the
// position after them. Single spaces between words take the same branch-free
// path as letters; only two or more spaces in a row leave it. Stops at a byte
// of 0x80 or more, once past `limit`, or right after a run of spaces.
inline std::size_t ConvertAsciiRun(const unsigned char* in, std::size_t i, std::size_t limit, std::size_t size,
                                   char*& out) {
    while (i < limit) {
        const unsigned char byte = in[i];
        const unsigned length = kFull.length[byte];
        if (length == 0) break;
        const unsigned next = i + 1 < size ? in[i + 1] : 0;
        // One comparison of both bytes: a branch taken only for two spaces
        // (two tests would be two branches, mispredicted in prose).
        if ((byte | next << 8) == (' ' | ' ' << 8)) {
            const std::size_t run = SpaceRunLength(in, i, size);
            out = EmitSpaceRun(out, run);
            return i + run;
        }
        std::memcpy(out, kFull.full[byte], 2);
        out += length;
        ++i;
    }
    return i;
}

// Writes the character at boundary `i` (a lead byte with a byte after it),
// converted when the table has it.
inline void CopyOrConvertPair(const unsigned char* in, std::size_t i, char*& out) {
    const std::uint8_t slot = kHalf.leadSlot[in[i]];
    if (slot == 0) {
        std::memcpy(out, in + i, 2);
        out += 2;
        return;
    }
    const HalfForm& form = kHalf.forms[slot - 1][in[i + 1]];
    std::memcpy(out, form.bytes, sizeof form.bytes);
    out += form.length;
}

}  // namespace
}  // namespace tornix::kernels
