// The 64-byte UTF-8 check, for processors with AVX-512 BW. Compiled with
// -mavx512f -mavx512bw.
#include "simd/avx512.h"
#include "simd/utf8_check.h"
#include "simd/utf8_check_blocks.h"

namespace tornix::simd {

namespace {

std::size_t ValidPrefixAvx512(const unsigned char* bytes, std::size_t size, bool& sawNonAscii) {
    return ValidUtf8Blocks<Avx512>(bytes, size, sawNonAscii);
}

}  // namespace

extern const Utf8CheckKernels kAvx512Utf8Check = {ValidPrefixAvx512};

}  // namespace tornix::simd
