// The width kernels of each instruction set, and the one place that picks
// them: the table of the process's vector tier (simd/tier.h, which the
// environment variable TORNIX_SIMD may cap), through which every conversion
// then goes. The UTF-8 check follows the same tier (simd/utf8_check.h).
//
// A tier's kernels are compiled in a file of their own with that instruction
// set's flags (width_<tier>.cpp) and are reached only through its table, so
// that no code for a wider set runs on a processor without it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "convert/width_context.h"
#include "simd/tier.h"

namespace tornix::kernels {

// Converts the whole of `in` (`size` bytes) into `out`, which has room for the
// bound of width.h (or width_utf8.h), and returns the end of the bytes written.
using ConvertKernel = char* (*)(const unsigned char* in, std::size_t size, char* out);
// How many of the `size` bytes from `in` lie in [low, low + span].
using CountKernel = std::size_t (*)(const unsigned char* in, std::size_t size, unsigned char low, unsigned char span);

struct PolicyTables;
// The same conversion under a policy (policy_tables.h), told what stands
// beyond the text's ends (width_context.h).
using PolicyKernel = char* (*)(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                               ContextEdges edges);

// One tier's kernels. Another kind of kernel is one more member here and one
// more entry in each tier's table (a tier may name a lower tier's kernel).
struct KernelTable {
    ConvertKernel toFullWidth;
    ConvertKernel toHalfWidth;
    ConvertKernel toFullWidthUtf8;
    ConvertKernel toHalfWidthUtf8;
    CountKernel countInRange;
    PolicyKernel toFullWidthPolicy;
    PolicyKernel toHalfWidthPolicy;
    PolicyKernel toFullWidthUtf8Policy;
    PolicyKernel toHalfWidthUtf8Policy;
};

// The kernels of the process's tier (simd::ActiveTier()).
const KernelTable& ActiveKernels();

// The tiers' tables, in the order of simd::SimdTier. The x86 ones exist in
// builds for x86-64 only, the AVX ones not in the Windows build (see
// src/CMakeLists.txt).
extern const KernelTable kScalarKernels;
extern const KernelTable kSse2Kernels;
extern const KernelTable kSsse3Kernels;
extern const KernelTable kAvx2Kernels;
extern const KernelTable kAvx512Kernels;

// The kernels a wider tier hands the end of a text to.
char* ToFullWidthScalar(const unsigned char* in, std::size_t size, char* out);
char* ToHalfWidthScalar(const unsigned char* in, std::size_t size, char* out);
std::size_t CountInRangeScalar(const unsigned char* in, std::size_t size, unsigned char low, unsigned char span);
std::size_t CountInRangeSse2(const unsigned char* in, std::size_t size, unsigned char low, unsigned char span);
char* ToFullWidthAvx2(const unsigned char* in, std::size_t size, char* out);
char* ToHalfWidthAvx2(const unsigned char* in, std::size_t size, char* out);
char* ToFullWidthUtf8Scalar(const unsigned char* in, std::size_t size, char* out);
char* ToHalfWidthUtf8Scalar(const unsigned char* in, std::size_t size, char* out);
char* ToFullWidthUtf8Avx2(const unsigned char* in, std::size_t size, char* out);
char* ToHalfWidthUtf8Avx2(const unsigned char* in, std::size_t size, char* out);
std::size_t CountInRangeAvx2(const unsigned char* in, std::size_t size, unsigned char low, unsigned char span);

// What a block loop under a policy hands on to the next block, and to the
// plain loop at the end: bit n of `seeds` set where byte n follows the last
// byte of a CJK character (bit 0 also where the nearest character before
// byte 0, spaces skipped, is one); and the caller's edge after the text.
struct ContextCarry {
    std::uint64_t seeds = 0;
    bool after = false;
};

// The plain loops under a policy, from where a block loop stopped.
char* ToFullWidthPolicyTail(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                            ContextCarry carry);
char* ToHalfWidthPolicyTail(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                            ContextCarry carry);
char* ToFullWidthUtf8PolicyTail(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                ContextCarry carry);
char* ToHalfWidthUtf8PolicyTail(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                ContextCarry carry);
char* ToFullWidthPolicyScalar(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                              ContextEdges edges);
char* ToHalfWidthPolicyScalar(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                              ContextEdges edges);
char* ToFullWidthUtf8PolicyScalar(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                  ContextEdges edges);
char* ToHalfWidthUtf8PolicyScalar(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                  ContextEdges edges);
char* ToFullWidthPolicyAvx2(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                            ContextEdges edges);
char* ToHalfWidthPolicyAvx2(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                            ContextEdges edges);
char* ToFullWidthUtf8PolicyAvx2(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                ContextEdges edges);
char* ToHalfWidthUtf8PolicyAvx2(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                ContextEdges edges);

}  // namespace tornix::kernels
