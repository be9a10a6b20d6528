#include "files/wtf8.h"

#include <cstdint>

namespace tornix {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHigh(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void PutUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void PutUtf16(std::uint32_t code, std::u16string& out) {
    // A low surrogate right after a lone high one makes one character with it.
    if (IsLow(code) && !out.empty() && IsHigh(out.back())) {
        code = 0x10000 + ((out.back() - 0xD800u) << 10) + (code - 0xDC00);
        out.pop_back();
    }
    if (code < 0x10000) {
        out += static_cast<char16_t>(code);
        return;
    }
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

// The code point that begins at `at`, and its length; nothing valid: U+FFFD
// over one byte.
std::uint32_t NextCode(std::string_view bytes, std::size_t at, std::size_t& length) {
    const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(at);
    length = 1;
    if (lead < 0x80) return lead;
    const std::size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (size == 0 || lead > 0xF4 || at + size > bytes.size()) return kReplacement;
    std::uint32_t code = lead & (0x7F >> size);
    for (std::size_t i = 1; i < size; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return kReplacement;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[size] || code > 0x10FFFF) return kReplacement;  // an overlong form
    length = size;
    return code;
}

}  // namespace

std::string Wtf8FromUtf16(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = text[i];
        if (IsHigh(code) && i + 1 < text.size() && IsLow(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        PutUtf8(code, out);
    }
    return out;
}

std::u16string Utf16FromWtf8(std::string_view bytes) {
    std::u16string out;
    for (std::size_t at = 0, length = 0; at < bytes.size(); at += length) PutUtf16(NextCode(bytes, at, length), out);
    return out;
}

}  // namespace tornix
