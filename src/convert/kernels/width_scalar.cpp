// The plain byte loops: the kernels of processors without vector
// instructions (and of the 32-bit Windows program), and the end of every text
// for the wider tiers.
#include <cstddef>

#include "text/gbk_string.h"
#include "utf8_steps.h"
#include "width_kernels.h"
#include "width_steps.h"

namespace tornix::kernels {

char* ToFullWidthScalar(const unsigned char* in, std::size_t size, char* out) {
    std::size_t i = 0;
    while (i < size) {
        const unsigned char byte = in[i];
        if (kFull.length[byte] != 0) {
            i = ConvertAsciiRun(in, i, size, size, out);
        } else if (IsLeadByte(byte) && i + 1 < size) {
            std::memcpy(out, in + i, 2);
            out += 2;
            i += 2;
        } else {
            *out++ = static_cast<char>(byte);
            ++i;
        }
    }
    return out;
}

char* ToHalfWidthScalar(const unsigned char* in, std::size_t size, char* out) {
    std::size_t i = 0;
    while (i < size) {
        if (IsLeadByte(in[i]) && i + 1 < size) {
            CopyOrConvertPair(in, i, out);
            i += 2;
        } else {
            *out++ = static_cast<char>(in[i++]);
        }
    }
    return out;
}

char* ToFullWidthUtf8Scalar(const unsigned char* in, std::size_t size, char* out) {
    return Utf8FullWidthBytes(in, 0, size, size, out);
}

char* ToHalfWidthUtf8Scalar(const unsigned char* in, std::size_t size, char* out) {
    return Utf8HalfWidthBytes(in, 0, size, out);
}

std::size_t CountInRangeScalar(const unsigned char* in, std::size_t size, unsigned char low, unsigned char span) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) count += static_cast<unsigned char>(in[i] - low) <= span;
    return count;
}

extern const KernelTable kScalarKernels = {
    ToFullWidthScalar,       ToHalfWidthScalar,           ToFullWidthUtf8Scalar,
    ToHalfWidthUtf8Scalar,   CountInRangeScalar,          ToFullWidthPolicyScalar,
    ToHalfWidthPolicyScalar, ToFullWidthUtf8PolicyScalar, ToHalfWidthUtf8PolicyScalar,
};

}  // namespace tornix::kernels
