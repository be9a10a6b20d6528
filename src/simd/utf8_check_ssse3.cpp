// The 16-byte UTF-8 check, for processors with SSSE3. Compiled with -mssse3.
#include "simd/ssse3.h"
#include "simd/utf8_check.h"
#include "simd/utf8_check_blocks.h"

namespace tornix::simd {

namespace {

std::size_t ValidPrefixSsse3(const unsigned char* bytes, std::size_t size, bool& sawNonAscii) {
    return ValidUtf8Blocks<Ssse3>(bytes, size, sawNonAscii);
}

}  // namespace

extern const Utf8CheckKernels kSsse3Utf8Check = {ValidPrefixSsse3};

}  // namespace tornix::simd
