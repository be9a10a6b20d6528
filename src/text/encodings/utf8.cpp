// UTF-8 files: the character set's record, the decoder and the encoder.
//
// Decoding takes the likely case first, straight from the bytes into the
// text (ASCII eight bytes at a time, Chinese three bytes at a time), and the
// careful path, character by character, wherever that stops.
#include <algorithm>
#include <cstring>
#include <memory>

#include "codec.h"

namespace tornix::encodings {

using namespace codec;

namespace {

// Code page 936's two bytes, in the text's byte order, for each UTF-16 unit
// that a three-byte UTF-8 character holds (U+0800 and up) and that code page
// 936 holds as two bytes; 0 for every other unit (surrogates and the escapes'
// noncharacters included, which have four-byte forms).
struct TwoByteForms {
    std::uint16_t code[kUnitCount];
};

std::unique_ptr<const TwoByteForms> BuildTwoByteForms() {
    const Tables& tables = GetTables();
    auto forms = std::make_unique<TwoByteForms>();
    for (std::size_t unit = 0; unit < kUnitCount; ++unit) {
        const Form& form = tables.forms[unit];
        std::uint16_t code = 0;
        if (form.length == 2 && unit >= 0x800) std::memcpy(&code, form.bytes, 2);
        forms->code[unit] = code;
    }
    return forms;
}

// Four bytes as a number, the first lowest.
std::uint32_t LoadLittleEndian(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

const TwoByteForms& GetTwoByteForms() {
    static const std::unique_ptr<const TwoByteForms> forms = BuildTwoByteForms();
    return *forms;
}

// Input bytes decoded at a time into a buffer on the stack: at most two bytes
// of text come out of each (a two-byte character with a four-byte form).
constexpr std::size_t kFastBlock = std::size_t{16} << 10;

// The likely case of UTF-8 first, straight from the bytes into the text:
// ASCII eight bytes at a time, and valid two- and three-byte characters other
// than the noncharacters that escapes use. It stops at anything else (a
// four-byte character, an invalid byte, a character cut by the end) and
// returns how many bytes it decoded; the careful path takes it from there.
std::size_t DecodeLikelyUtf8(const Tables& tables, const unsigned char* bytes, std::size_t size, std::string& text) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    const std::uint16_t* threeByte = GetTwoByteForms().code;
    unsigned char out[2 * kFastBlock + 8];  // a four-byte form is copied whole, then its length counted
    std::size_t at = 0;
    while (at < size) {
        const std::size_t blockEnd = std::min(size, at + kFastBlock);
        std::size_t written = 0;
        while (at < blockEnd) {
            // Chinese first: three-byte characters with two-byte forms, one
            // after another.
            const std::size_t run = at;
            while (at + 4 <= blockEnd) {
                const std::uint32_t word = LoadLittleEndian(bytes + at);
                if ((word & 0xC0C0F0) != 0x8080E0) break;
                const std::uint16_t code = threeByte[(word & 0x0F) << 12 | (word & 0x3F00) >> 2 | (word >> 16 & 0x3F)];
                if (code == 0) break;  // another form, or an overlong one
                std::memcpy(out + written, &code, 2);
                written += 2;
                at += 3;
            }
            if (at != run) continue;
            const unsigned lead = bytes[at];
            if (lead < 0x80) {
                std::uint64_t word;
                if (at + 8 <= blockEnd && (std::memcpy(&word, bytes + at, 8), (word & kHighBits) == 0)) {
                    std::memcpy(out + written, &word, 8);
                    written += 8;
                    at += 8;
                } else {
                    out[written++] = static_cast<unsigned char>(lead);
                    ++at;
                }
                continue;
            }
            char32_t unit;
            std::size_t length;
            if ((lead & 0xF0) == 0xE0 && at + 3 <= blockEnd && (bytes[at + 1] & 0xC0) == 0x80 &&
                (bytes[at + 2] & 0xC0) == 0x80) {
                unit = (lead & 0x0F) << 12 | (bytes[at + 1] & 0x3Fu) << 6 | (bytes[at + 2] & 0x3Fu);
                length = 3;
                // Overlong forms, surrogates and the escapes' noncharacters.
                if (unit < 0x800 || IsSurrogate(unit) || (unit >= kEscapeHigh && unit < kEscapeLow + 16)) break;
            } else if (lead >= 0xC2 && lead <= 0xDF && at + 2 <= blockEnd && (bytes[at + 1] & 0xC0) == 0x80) {
                unit = (lead & 0x1F) << 6 | (bytes[at + 1] & 0x3Fu);
                length = 2;
            } else {
                break;
            }
            const Form& form = tables.forms[unit];
            std::memcpy(out + written, form.bytes, 4);
            written += form.length;
            at += length;
        }
        text.append(reinterpret_cast<const char*>(out), written);
        if (at < blockEnd) break;
    }
    return at;
}

std::size_t DecodeUtf8(std::string_view input, std::string& text, std::uint64_t offset, bool final,
                       DecodeState& state) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    const std::size_t size = input.size();
    const Tables& tables = state.builder.tables();
    std::size_t at = 0;
    while (at < size) {
        if (const std::size_t likely = DecodeLikelyUtf8(tables, bytes + at, size - at, text)) {
            state.builder.Plain();
            at += likely;
            continue;
        }
        const Utf8Scan scan = ScanUtf8(input.substr(at, kLongestCharacter), false);
        if (scan.validLength > 0) {  // one whole character
            const std::size_t length = bytes[at] >= 0xF0 ? 4 : bytes[at] >= 0xE0 ? 3 : 2;
            char32_t codePoint = bytes[at] & (0x7F >> length);
            for (std::size_t k = 1; k < length; ++k) codePoint = codePoint << 6 | (bytes[at + k] & 0x3F);
            if (codePoint >= 0x10000) {
                state.builder.Supplementary(text, codePoint);
            } else {
                state.builder.Unit(text, static_cast<char16_t>(codePoint), input.substr(at, length));
            }
            at += length;
        } else if (scan.valid && at + kLongestCharacter > size && !final) {
            return at;  // a character that the end of the piece cuts short
        } else {
            state.Invalid(text, input.substr(at, 1), offset + at);
            ++at;
        }
    }
    return at;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | codePoint >> 6);
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | codePoint >> 12);
        out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | codePoint >> 18);
        out += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

struct Utf8Writer {
    static void Ascii(std::string& out, const unsigned char* bytes, std::size_t count) {
        out.append(reinterpret_cast<const char*>(bytes), count);
    }
    static bool Unit(std::string& out, char16_t unit) {
        AppendUtf8(out, unit);
        return false;
    }
    static void Pair(std::string& out, char16_t high, char16_t low) {
        AppendUtf8(out, 0x10000 + ((high - 0xD800u) << 10 | (low - 0xDC00u)));
    }
    // In the form UTF-8 would give it, which is no UTF-8.
    static bool Lone(std::string& out, char16_t unit) {
        AppendUtf8(out, unit);
        return true;
    }
};

constexpr CharsetCodec kUtf8Codec = {DecodeUtf8, EncodeWith<Utf8Writer>};

}  // namespace

extern const CharsetRecord kUtf8Charset = {
    Charset::kUtf8,
    "utf-8",             // name
    {{"utf8"}},          // aliases
    "\xEF\xBB\xBF",      // byte-order mark
    "UTF-8",             // title
    SaveOffer::kAlways,  // when the save choosers offer it
    {{
        // their rows
        {"UTF-8", false},
        {"\xB4\xF8\xD3\xD0 BOM \xB5\xC4 UTF-8", true},  // 带有 BOM 的 UTF-8
    }},
    "UTF-8",      // its row in the open choosers (a mark is skipped)
    &kUtf8Codec,  // its decoder and encoder
};

}  // namespace tornix::encodings
