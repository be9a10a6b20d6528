// The 32-byte UTF-8 check, for processors with AVX2. Compiled with -mavx2.
#include "simd/avx2.h"
#include "simd/utf8_check.h"
#include "simd/utf8_check_blocks.h"

namespace tornix::simd {

namespace {

std::size_t ValidPrefixAvx2(const unsigned char* bytes, std::size_t size, bool& sawNonAscii) {
    return ValidUtf8Blocks<Avx2>(bytes, size, sawNonAscii);
}

}  // namespace

extern const Utf8CheckKernels kAvx2Utf8Check = {ValidPrefixAvx2};

}  // namespace tornix::simd
