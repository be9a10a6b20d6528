// The steps of the kernels that take a policy (policy_tables.h): punctuation
// by context a block at a time, as bit operations on a block's masks, and
// the plain loops, which convert the end of every text (and all of it in the
// plain tier). In an anonymous namespace for the reason given in
// width_steps.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "convert/width_context.h"
#include "policy_tables.h"
#include "utf8_steps.h"
#include "width_steps.h"

namespace tornix::kernels {
namespace {

// Bit n set where the nearest character before byte n, spaces skipped, is a
// CJK character, given the block's spaces and `seeds` (as in ContextCarry):
// a seed at the start of a run of spaces carries through it to the byte
// after it, one addition for all the runs.
inline std::uint64_t FillThroughSpaces(std::uint64_t spaces, std::uint64_t seeds) {
    return (spaces + seeds) ^ spaces;
}

// The low `width` bits (1 to 64) in reverse order.
inline std::uint64_t ReverseBits(std::uint64_t bits, unsigned width) {
    bits = __builtin_bswap64(bits);
    bits = ((bits >> 4) & 0x0F0F0F0F0F0F0F0Fu) | ((bits & 0x0F0F0F0F0F0F0F0Fu) << 4);
    bits = ((bits >> 2) & 0x3333333333333333u) | ((bits & 0x3333333333333333u) << 2);
    bits = ((bits >> 1) & 0x5555555555555555u) | ((bits & 0x5555555555555555u) << 1);
    return bits >> (64 - width);
}

// Bit n (n below `width`) set where the nearest character after byte n,
// spaces skipped, is a CJK character, from where CJK characters begin
// (`starts`); `top` says it of the byte after the last. The same filling as
// FillThroughSpaces, with the bits reversed.
inline std::uint64_t CjkAfter(std::uint64_t spaces, std::uint64_t starts, unsigned width, bool top) {
    const std::uint64_t mask = LowBits(width);
    const std::uint64_t reversed = ReverseBits(spaces, width);
    const std::uint64_t seeds = ((ReverseBits(starts, width) << 1) | (top ? 1u : 0u)) & mask;
    return ReverseBits(FillThroughSpaces(reversed, seeds) & mask, width);
}

// The bytes n of a block of `width` whose next character lies beyond the
// block: only spaces follow them.
inline std::uint64_t ReachesTheEnd(std::uint64_t spaces, unsigned width) {
    if (((spaces >> (width - 1)) & 1) == 0) return std::uint64_t{1} << (width - 1);
    const unsigned start = RunStart(spaces, width - 1);
    return LowBits(width) & ~(start <= 1 ? 0 : LowBits(start - 1));
}

// Whether the nearest character from byte `at` on (where a character
// begins), spaces skipped, is a CJK character; `after` when the text ends
// first. In code page 936 text, and in UTF-8 text.
inline bool CjkPairFrom(const unsigned char* in, std::size_t at, std::size_t size, bool after) {
    while (at < size && in[at] == ' ') ++at;
    if (at >= size) return after;
    return IsLeadByte(in[at]) && at + 1 < size && IsCjkPair(in[at], in[at + 1]);
}

inline bool CjkUtf8From(const unsigned char* in, std::size_t at, std::size_t size, bool after) {
    while (at < size && in[at] == ' ') ++at;
    if (at >= size) return after;
    return at + 2 < size && IsCjkUtf8(in + at);
}

// Where a plain loop takes over from a block loop: the rest of a character
// that began before `i` (seed bit n > 0: n bytes) is copied as it is; then
// whether the nearest character before, spaces skipped, is CJK.
inline bool TakeSeeds(const unsigned char* in, std::size_t& i, std::size_t size, char*& out, std::uint64_t seeds) {
    if (seeds <= 1) return seeds == 1;
    for (unsigned rest = static_cast<unsigned>(__builtin_ctzll(seeds & ~std::uint64_t{1})); rest > 0 && i < size;
         --rest) {
        *out++ = static_cast<char>(in[i++]);
    }
    return true;
}

// Whether a character of `rule` converts to half width, given what stands
// next to it: by context, only next to no CJK character. The character after
// is asked for only when it decides.
template <typename After>
bool ConvertsToHalf(Rule rule, bool cjkBefore, After cjkAfter) {
    return rule == Rule::kConvert || (rule == Rule::kByContext && !cjkBefore && !cjkAfter());
}

inline char* EmitPolicySpaces(char* out, std::size_t count, SpaceRule rule, const char* fullSpace,
                              std::size_t fullSpaceLength) {
    const std::size_t wide = rule == SpaceRule::kTriples ? count / 3 : rule == SpaceRule::kSingles ? count : 0;
    for (std::size_t i = 0; i < wide; ++i, out += fullSpaceLength) std::memcpy(out, fullSpace, fullSpaceLength);
    const std::size_t kept = count - (rule == SpaceRule::kTriples ? 3 * wide : wide);
    std::memset(out, ' ', kept);
    return out + kept;
}

}  // namespace
}  // namespace tornix::kernels
