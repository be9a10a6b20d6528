// WidthStream against the whole-text conversions, with the chunking and the
// policy chosen by the fuzzer. Input: one byte of mode (bit 0: to half-width,
// bit 1: trim, bit 2: a policy follows, bit 3: UTF-8); with a policy, one byte
// of it (bit 0: the Unicode table, bits 1..4: the classes, bit 5: context)
// and one byte that picks the kept characters from kKeepable; then records
// of one length byte followed by up to that many text bytes, each record one
// Write().
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "convert/width_converter.h"
#include "convert/width_stream.h"
#include "text/gbk_string.h"

namespace {

using namespace tornix;

// Characters of the tables' both sides, as code page 936 text.
const char* const kKeepable[] = {".", ",", " ", "a", "\xA3\xAC", "\xA1\xA3", "\xA3\xAE", "\xA1\xA1"};

WidthPolicy PolicyOf(std::uint8_t rules, std::uint8_t kept) {
    WidthPolicy policy;
    policy.table = (rules & 1) != 0 ? WidthTableKind::kUnicode : WidthTableKind::kClassic;
    policy.classes = (rules >> 1) & 15u;
    policy.context = (rules & 32) != 0;
    for (unsigned k = 0; k < 8; ++k) {
        if ((kept >> k) & 1) policy.keep += kKeepable[k];
    }
    return policy;
}

// The trims of the whole text: in code page 936 a space that is the second
// byte of a character stays; in UTF-8 every white space byte is a character.
std::string Trimmed(std::string text, WidthEncoding encoding) {
    if (encoding == WidthEncoding::kGbk) {
        GbkString value(text);
        value.TrimLeft();
        value.TrimRight();
        return std::string(value.view());
    }
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsTrimSpace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && IsTrimSpace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto direction = (data[0] & 1) != 0 ? WidthDirection::kToHalf : WidthDirection::kToFull;
    const bool trim = (data[0] & 2) != 0;
    const auto encoding = (data[0] & 8) != 0 ? WidthEncoding::kUtf8 : WidthEncoding::kGbk;
    std::size_t at = 1;
    WidthPolicy policy;
    if ((data[0] & 4) != 0) {
        if (size < 3) return 0;
        policy = PolicyOf(data[1], data[2]);
        at = 3;
    }
    std::string streamed;
    std::string whole;
    WidthStream stream(
        direction, trim,
        [&streamed](std::string_view bytes) {
            if (bytes.empty()) std::abort();
            streamed.append(bytes);
            return true;
        },
        encoding, nullptr, policy);
    while (at < size) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        const std::string_view piece(reinterpret_cast<const char*>(data + at + 1), length);
        whole.append(piece);
        if (!stream.Write(piece)) std::abort();
        at += 1 + length;
    }
    if (!stream.Finish()) std::abort();
    const std::string text = trim ? Trimmed(whole, encoding) : whole;
    if (ConvertWidth(text, direction, encoding, policy) != streamed) std::abort();
    return 0;
}
