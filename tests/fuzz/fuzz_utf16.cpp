// UTF-16 files: the same bytes read little-endian and big-endian, decoded,
// encoded back and converted (file_encoding_checks.h).
#include <cstdint>
#include <string_view>

#include "file_encoding_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tornix;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    testing::CheckFileEncoding(Charset::kUtf16Le, bytes);
    testing::CheckFileEncoding(Charset::kUtf16Be, bytes);
    return 0;
}
