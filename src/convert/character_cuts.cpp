#include "convert/character_cuts.h"

#include <string>

#include "text/encoding.h"
#include "text/gbk_string.h"

namespace tornix {

namespace {

constexpr std::size_t kLongestUnfinishedUtf8 = 3;

bool IsUtf8Continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// True when `bytes` are the beginning of a valid UTF-8 character, not all of it.
bool BeginsUtf8Character(std::string_view bytes) {
    const Utf8Scan scan = ScanUtf8(bytes, false);
    return scan.valid && scan.validLength == 0;
}

}  // namespace

std::size_t UnfinishedTail(std::string_view text, WidthEncoding encoding) {
    if (text.empty()) return 0;
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    if (encoding == WidthEncoding::kGbk) {
        return IsLeadByte(in[size - 1]) && BeginsCharacter(text, size - 1, encoding) ? 1 : 0;
    }
    // Back over continuation bytes to the byte that would begin the character.
    for (std::size_t tail = 1; tail <= kLongestUnfinishedUtf8 && tail <= size; ++tail) {
        if (!IsUtf8Continuation(in[size - tail])) return BeginsUtf8Character(text.substr(size - tail)) ? tail : 0;
    }
    return 0;
}

Continuation ContinueCharacter(std::string_view unfinished, char next, WidthEncoding encoding) {
    if (encoding == WidthEncoding::kGbk) return Continuation::kComplete;
    const std::string bytes = std::string(unfinished) + next;
    const Utf8Scan scan = ScanUtf8(bytes, false);
    if (scan.validLength == bytes.size()) return Continuation::kComplete;
    return scan.valid ? Continuation::kUnfinished : Continuation::kBroken;
}

std::size_t LastCharacterStart(std::string_view text, WidthEncoding encoding) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    if (encoding == WidthEncoding::kGbk) {
        return size >= 2 && IsLeadByte(in[size - 2]) && BeginsCharacter(text, size - 2, encoding) ? size - 2 : size - 1;
    }
    if (!IsUtf8Continuation(in[size - 1])) return size - 1;
    for (std::size_t tail = 2; tail <= kLongestUnfinishedUtf8 + 1 && tail <= size; ++tail) {
        if (IsUtf8Continuation(in[size - tail])) continue;
        return ScanUtf8(text.substr(size - tail), true).validLength == tail ? size - tail : size - 1;
    }
    return size - 1;
}

// A byte that is not a lead byte always ends a character, and the lead bytes
// after it pair up, so only the lead bytes right before `pos` need counting.
bool BeginsCharacter(std::string_view text, std::size_t pos, WidthEncoding encoding) {
    if (encoding == WidthEncoding::kUtf8) return true;
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t leads = 0;
    while (pos > 0 && IsLeadByte(in[pos - 1])) {
        --pos;
        ++leads;
    }
    return leads % 2 == 0;
}

}  // namespace tornix
