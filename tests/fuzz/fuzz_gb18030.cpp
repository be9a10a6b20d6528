// GB18030 files, and code page 936 files, whose bytes are the program's text
// as they are: so the second call saves any text at all in every character
// set (file_encoding_checks.h).
#include <cstdint>
#include <string_view>

#include "file_encoding_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tornix;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    testing::CheckFileEncoding(Charset::kGb18030, bytes);
    testing::CheckFileEncoding(Charset::kGbk, bytes);
    return 0;
}
