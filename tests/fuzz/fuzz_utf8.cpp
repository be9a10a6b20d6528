// UTF-8 files: any bytes decoded, encoded back and converted
// (file_encoding_checks.h).
#include <cstdint>
#include <string_view>

#include "file_encoding_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tornix::testing::CheckFileEncoding(tornix::Charset::kUtf8,
                                       std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
