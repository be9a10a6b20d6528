// UTF-16 files, little- and big-endian: the two character sets' records, the
// decoder and the encoder of each.
#include "codec.h"

namespace tornix::encodings {

using namespace codec;

namespace {

template <bool kLittle>
char16_t UnitAt(const unsigned char* bytes) {
    return static_cast<char16_t>(kLittle ? bytes[0] | bytes[1] << 8 : bytes[0] << 8 | bytes[1]);
}

template <bool kLittle>
std::size_t DecodeUtf16(std::string_view input, std::string& text, std::uint64_t offset, bool final,
                        DecodeState& state) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    const std::size_t size = input.size();
    std::size_t at = 0;
    while (at + 2 <= size) {
        const char16_t unit = UnitAt<kLittle>(bytes + at);
        if (IsHighSurrogate(unit)) {
            if (at + 4 > size && !final) return at;
            if (at + 4 <= size && IsLowSurrogate(UnitAt<kLittle>(bytes + at + 2))) {
                const char16_t low = UnitAt<kLittle>(bytes + at + 2);
                state.builder.Supplementary(text, 0x10000 + ((unit - 0xD800u) << 10 | (low - 0xDC00u)));
                at += 4;
                continue;
            }
        }
        if (unit < 0x80) {
            const unsigned char ascii = static_cast<unsigned char>(unit);
            state.builder.Ascii(text, &ascii, 1);
        } else {
            state.builder.Unit(text, unit, input.substr(at, 2));
        }
        at += 2;
    }
    if (at < size && final) {  // an odd last byte
        state.Invalid(text, input.substr(at), offset + at);
        at = size;
    }
    return at;
}

template <bool kLittle>
void AppendUtf16(std::string& out, char16_t unit) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out += kLittle ? low : high;
    out += kLittle ? high : low;
}

// UTF-16 holds every unit, unpaired surrogates too.
template <bool kLittle>
struct Utf16Writer {
    static void Ascii(std::string& out, const unsigned char* bytes, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) AppendUtf16<kLittle>(out, bytes[k]);
    }
    static bool Unit(std::string& out, char16_t unit) {
        AppendUtf16<kLittle>(out, unit);
        return false;
    }
    static void Pair(std::string& out, char16_t high, char16_t low) {
        AppendUtf16<kLittle>(out, high);
        AppendUtf16<kLittle>(out, low);
    }
    static bool Lone(std::string& out, char16_t unit) { return Unit(out, unit); }
};

constexpr CharsetCodec kUtf16LeCodec = {DecodeUtf16<true>, EncodeWith<Utf16Writer<true>>};
constexpr CharsetCodec kUtf16BeCodec = {DecodeUtf16<false>, EncodeWith<Utf16Writer<false>>};

}  // namespace

extern const CharsetRecord kUtf16LeCharset = {
    Charset::kUtf16Le,
    "utf-16le",               // name
    {{"utf16le"}},            // aliases
    "\xFF\xFE",               // byte-order mark
    "UTF-16 LE",              // title
    SaveOffer::kAlways,       // when the save choosers offer it
    {{{"UTF-16 LE", true}}},  // their rows
    "UTF-16 LE",              // its row in the open choosers
    &kUtf16LeCodec,           // its decoder and encoder
};

extern const CharsetRecord kUtf16BeCharset = {
    Charset::kUtf16Be,
    "utf-16be",               // name
    {{"utf16be"}},            // aliases
    "\xFE\xFF",               // byte-order mark
    "UTF-16 BE",              // title
    SaveOffer::kAlways,       // when the save choosers offer it
    {{{"UTF-16 BE", true}}},  // their rows
    "UTF-16 BE",              // its row in the open choosers
    &kUtf16BeCodec,           // its decoder and encoder
};

}  // namespace tornix::encodings
