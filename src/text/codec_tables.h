// The tables behind the display codec and the file encodings, and the walk
// over the program's text that both use. Internal to the text layer: the
// rules they implement are described in display_codec.h and transcode.h.
//
// The program's text is code page 936 bytes in which a character that the
// code page cannot hold is its GB18030 four-byte form. Four-byte forms in
// ranges that GB18030 leaves unassigned carry what no character can:
//   - a carrier, kCarrierBase + u: a UTF-16 unit u without a form of its own
//     (an unpaired surrogate, or a character that GB18030 gives a two-byte
//     form differing from the code page's);
//   - a kept byte, kKeptByteBase + b: a byte of a file in another encoding
//     that is no character there (invalid UTF-8, the odd last byte of a
//     UTF-16 file), kept so that saving in that encoding writes it back.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/display_codec_backend.h"
#include "text/gbk_string.h"

namespace tornix::codec {

using display_codec_backend::FourByteLinearIndex;
using display_codec_backend::kUnitCount;

inline constexpr char16_t kEscapeHigh = 0xFDD0;  // + the high four bits of an escaped byte
inline constexpr char16_t kEscapeLow = 0xFDE0;   // + the low four bits
// GB18030 linear indexes: four-byte forms of the Basic Multilingual Plane end
// just before kCarrierBase; the range from there to kSupplementaryBase is
// unassigned: the carriers and then the kept bytes live there.
inline constexpr std::uint32_t kCarrierBase = 39420;                       // 84 31 A5 30
inline constexpr std::uint32_t kKeptByteBase = kCarrierBase + kUnitCount;  // 84 3B 9A 32 .. for byte 0x00
inline constexpr std::uint32_t kSupplementaryBase = 189000;                // 90 30 81 30, U+10000
inline constexpr std::uint32_t kSupplementaryCount = 0x100000;

constexpr bool IsDigit(unsigned char byte) {
    return byte >= 0x30 && byte <= 0x39;
}
constexpr bool IsSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}
constexpr bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
constexpr bool IsEscapeHigh(char32_t unit) {
    return unit >= 0xFDD0 && unit <= 0xFDDF;
}
constexpr bool IsEscapeLow(char32_t unit) {
    return unit >= 0xFDE0 && unit <= 0xFDEF;
}

// True when the encoder reads the two units as one item (a surrogate pair or
// an escaped byte), so a decoded token must not put `next` after `previous`.
constexpr bool Joins(char16_t previous, char16_t next) {
    return (IsHighSurrogate(previous) && IsLowSurrogate(next)) || (IsEscapeHigh(previous) && IsEscapeLow(next));
}

// The bytes one UTF-16 unit encodes to when it stands alone.
struct Form {
    std::uint8_t bytes[4];
    std::uint8_t length;
};

inline Form FourByteForm(std::uint32_t linear) {
    return {{static_cast<std::uint8_t>(0x81 + linear / 12600), static_cast<std::uint8_t>(0x30 + linear / 1260 % 10),
             static_cast<std::uint8_t>(0x81 + linear / 10 % 126), static_cast<std::uint8_t>(0x30 + linear % 10)},
            4};
}

struct Tables {
    Form forms[kUnitCount];           // every unit, surrogates and noncharacters included
    std::int32_t single[256];         // the unit a one-byte token shows as; -1: escaped
    char16_t pair[126 * 256];         // by (lead - 0x81) * 256 + trail; 0: escaped
    char16_t fourByte[kCarrierBase];  // candidate unit of a four-byte form, checked against forms
    bool asciiIsItself;               // 0x00..0x7F show as U+0000..U+007F
    // GB18030's four-byte form of every unit that has one, as a linear index;
    // display_codec_backend::kNoFourByteForm for the others.
    std::uint32_t gb18030FourByte[kUnitCount];
};

// The tables, built from the platform's converters on first use.
const Tables& GetTables();
// False when the platform had no code page 936 or GB18030 converters.
bool TablesFromPlatform();

// What a four-byte token stands for.
struct FourByteToken {
    enum Kind { kNone, kUnit, kPair, kKeptByte } kind = kNone;
    char16_t units[2] = {};
    unsigned char byte = 0;
};

// Reads a four-byte token (lead, digit, lead, digit). Kept bytes are read as
// such only when `keptBytes` (a file's text); the display shows them escaped.
inline FourByteToken ReadFourBytes(const Tables& tables, const unsigned char* bytes, char16_t previous,
                                   bool keptBytes) {
    FourByteToken token;
    const std::uint32_t linear = FourByteLinearIndex(bytes, 4);
    if (linear >= kSupplementaryBase) {
        const std::uint32_t offset = linear - kSupplementaryBase;
        if (offset >= kSupplementaryCount) return token;
        token.kind = FourByteToken::kPair;
        token.units[0] = static_cast<char16_t>(0xD800 + (offset >> 10));
        token.units[1] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        return token;
    }
    if (keptBytes && linear >= kKeptByteBase && linear < kKeptByteBase + 256) {
        token.kind = FourByteToken::kKeptByte;
        token.byte = static_cast<unsigned char>(linear - kKeptByteBase);
        return token;
    }
    char16_t unit = 0;
    if (linear < kCarrierBase) {
        unit = tables.fourByte[linear];
    } else if (linear - kCarrierBase < kUnitCount) {
        unit = static_cast<char16_t>(linear - kCarrierBase);
    } else {
        return token;
    }
    const Form& form = tables.forms[unit];
    if (form.length != 4 || std::memcmp(form.bytes, bytes, 4) != 0 || Joins(previous, unit)) return token;
    token.kind = FourByteToken::kUnit;
    token.units[0] = unit;
    return token;
}

// Walks the program's text token by token: sink.PutAscii for runs of ASCII,
// sink.Put for each character's UTF-16 units, sink.Escape for each byte that
// is no character (an invalid byte, or with `keptBytes` a kept byte). With
// `final` false, a token that the end of `text` may cut short is left for the
// next call: the number of bytes walked is returned. `previous` is the last
// unit put, carried between calls.
template <typename Sink>
std::size_t WalkText(const Tables& tables, std::string_view text, Sink& sink, char16_t& previous, bool keptBytes,
                     bool final) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    auto put = [&](char16_t unit) {
        sink.Put(unit);
        previous = unit;
    };
    auto escape = [&](unsigned char byte) {
        sink.Escape(byte);
        previous = static_cast<char16_t>(kEscapeLow + (byte & 0x0F));
    };
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80 && tables.asciiIsItself) {
            std::size_t end = i + 1;
            while (end < size && bytes[end] < 0x80) ++end;
            sink.PutAscii(bytes + i, end - i);
            previous = bytes[end - 1];
            i = end;
            continue;
        }
        if (!IsLeadByte(lead)) {
            const std::int32_t unit = tables.single[lead];
            if (unit >= 0) {
                put(static_cast<char16_t>(unit));
            } else {
                escape(lead);
            }
            ++i;
            continue;
        }
        if (i + 1 == size) {
            if (!final) return i;
            escape(lead);
            break;
        }
        const unsigned char trail = bytes[i + 1];
        if (!IsDigit(trail)) {
            const char16_t unit = tables.pair[(lead - 0x81) * 256 + trail];
            if (unit != 0) {
                put(unit);
                i += 2;
                continue;
            }
        } else if (!final && i + 4 > size && (i + 2 == size || IsLeadByte(bytes[i + 2]))) {
            return i;  // perhaps a four-byte form whose end is still to come
        } else if (i + 3 < size && IsLeadByte(bytes[i + 2]) && IsDigit(bytes[i + 3])) {
            const FourByteToken token = ReadFourBytes(tables, bytes + i, previous, keptBytes);
            if (token.kind == FourByteToken::kKeptByte) {
                escape(token.byte);
                i += 4;
                continue;
            }
            if (token.kind != FourByteToken::kNone) {
                put(token.units[0]);
                if (token.kind == FourByteToken::kPair) put(token.units[1]);
                i += 4;
                continue;
            }
        }
        escape(lead);
        escape(trail);
        i += 2;
    }
    return size;
}

}  // namespace tornix::codec
