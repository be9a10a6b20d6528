#include "hex.h"

namespace tornix::testing {

namespace {

int DigitValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    return -1;
}

}  // namespace

std::string Hex(std::string_view bytes, std::string_view separator) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char byte : bytes) {
        if (!out.empty()) out += separator;
        out += kDigits[byte >> 4];
        out += kDigits[byte & 15];
    }
    return out;
}

std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t at = 0; at + 1 < hex.size();) {
        if (hex[at] == ' ') {
            ++at;
            continue;
        }
        bytes += static_cast<char>(DigitValue(hex[at]) << 4 | DigitValue(hex[at + 1]));
        at += 2;
    }
    return bytes;
}

}  // namespace tornix::testing
