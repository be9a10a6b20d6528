// The display codec's token rules (see display_codec.h) on top of the forms a
// platform's converters give (display_codec_backend.h). The platform is asked
// once, on first use; after that both directions are table look-ups, and the
// output is sized by a counting pass so that a large text is allocated once.
#include "text/display_codec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "text/display_codec_backend.h"
#include "text/gbk_string.h"

namespace tornix {
namespace {

using display_codec_backend::FourByteLinearIndex;
using display_codec_backend::kNoCodePageForm;
using display_codec_backend::kUnitCount;
using display_codec_backend::PlatformForms;

constexpr char16_t kEscapeHigh = 0xFDD0;  // + the high four bits of an escaped byte
constexpr char16_t kEscapeLow = 0xFDE0;   // + the low four bits
// GB18030 linear indexes: four-byte forms of the Basic Multilingual Plane end
// just before kCarrierBase; the range from there to kSupplementaryBase is
// unassigned, and the carriers live at its start.
constexpr std::uint32_t kCarrierBase = 39420;         // 84 31 A5 30
constexpr std::uint32_t kSupplementaryBase = 189000;  // 90 30 81 30, U+10000
constexpr std::uint32_t kSupplementaryCount = 0x100000;

bool IsDigit(unsigned char byte) {
    return byte >= 0x30 && byte <= 0x39;
}
bool IsSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}
bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool IsEscapeHigh(char16_t unit) {
    return unit >= 0xFDD0 && unit <= 0xFDDF;
}
bool IsEscapeLow(char16_t unit) {
    return unit >= 0xFDE0 && unit <= 0xFDEF;
}

// True when the encoder reads the two units as one item (a surrogate pair or
// an escaped byte), so a decoded token must not put `next` after `previous`.
bool Joins(char16_t previous, char16_t next) {
    return (IsHighSurrogate(previous) && IsLowSurrogate(next)) || (IsEscapeHigh(previous) && IsEscapeLow(next));
}

// The bytes one UTF-16 unit encodes to when it stands alone.
struct Form {
    std::uint8_t bytes[4];
    std::uint8_t length;
};

Form FourByteForm(std::uint32_t linear) {
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
};

// Code page forms that the tokenizer can read back: a one-byte form that is
// no lead byte, a two-byte form whose trail is no digit, and none for the
// units that have a meaning of their own in a decoded text.
bool IsUsableCodePageForm(char16_t unit, std::uint16_t packed) {
    if (packed == kNoCodePageForm || IsSurrogate(unit) || IsEscapeHigh(unit) || IsEscapeLow(unit)) return false;
    if (packed <= 0xFF) return !IsLeadByte(static_cast<unsigned char>(packed));
    return unit != 0 && IsLeadByte(static_cast<unsigned char>(packed >> 8)) &&
           !IsDigit(static_cast<unsigned char>(packed & 0xFF));
}

Form UnitForm(const PlatformForms& platform, char16_t unit) {
    const std::uint16_t packed = platform.codePage936[unit];
    if (IsUsableCodePageForm(unit, packed)) {
        if (packed <= 0xFF) return {{static_cast<std::uint8_t>(packed)}, 1};
        return {{static_cast<std::uint8_t>(packed >> 8), static_cast<std::uint8_t>(packed & 0xFF)}, 2};
    }
    const std::uint32_t linear = platform.gb18030FourByte[unit];
    if (!IsSurrogate(unit) && linear < kCarrierBase) return FourByteForm(linear);
    return FourByteForm(kCarrierBase + unit);
}

// Without the platform's converters every unit outside ASCII travels as its
// carrier and every byte outside ASCII shows escaped: both round trips still
// hold, but no Chinese text can be shown.
void UseCarriersOnly(PlatformForms& platform) {
    platform.codePage936.assign(kUnitCount, kNoCodePageForm);
    platform.gb18030FourByte.assign(kUnitCount, display_codec_backend::kNoFourByteForm);
    for (std::uint16_t byte = 0; byte < 0x80; ++byte) platform.codePage936[byte] = byte;
}

std::unique_ptr<const Tables> BuildTables(bool& available) {
    PlatformForms platform;
    available = display_codec_backend::LoadPlatformForms(platform) && platform.codePage936.size() == kUnitCount &&
                platform.gb18030FourByte.size() == kUnitCount;
    if (!available) UseCarriersOnly(platform);
    auto tables = std::make_unique<Tables>();
    std::fill(std::begin(tables->single), std::end(tables->single), -1);
    for (std::size_t index = 0; index < kUnitCount; ++index) {
        const auto unit = static_cast<char16_t>(index);
        const Form form = UnitForm(platform, unit);
        tables->forms[index] = form;
        if (form.length == 1) tables->single[form.bytes[0]] = unit;
        if (form.length == 2) tables->pair[(form.bytes[0] - 0x81) * 256 + form.bytes[1]] = unit;
        if (form.length == 4 && FourByteLinearIndex(form.bytes, 4) < kCarrierBase) {
            tables->fourByte[FourByteLinearIndex(form.bytes, 4)] = unit;
        }
    }
    tables->asciiIsItself = true;
    for (int byte = 0; byte < 0x80; ++byte) tables->asciiIsItself &= tables->single[byte] == byte;
    return tables;
}

struct Codec {
    bool available = false;
    std::unique_ptr<const Tables> tables = BuildTables(available);
};

const Codec& GetCodec() {
    static const Codec codec;
    return codec;
}

const Tables& GetTables() {
    return *GetCodec().tables;
}

// The units a four-byte token shows as (1 or 2), or 0 when it is not accepted.
int DecodeFourBytes(const Tables& tables, const unsigned char* bytes, char16_t previous, char16_t* units) {
    const std::uint32_t linear = FourByteLinearIndex(bytes, 4);
    if (linear >= kSupplementaryBase) {
        const std::uint32_t offset = linear - kSupplementaryBase;
        if (offset >= kSupplementaryCount) return 0;
        units[0] = static_cast<char16_t>(0xD800 + (offset >> 10));
        units[1] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        return 2;
    }
    char16_t unit = 0;
    if (linear < kCarrierBase) {
        unit = tables.fourByte[linear];
    } else if (linear - kCarrierBase < kUnitCount) {
        unit = static_cast<char16_t>(linear - kCarrierBase);
    } else {
        return 0;
    }
    const Form& form = tables.forms[unit];
    if (form.length != 4 || std::memcmp(form.bytes, bytes, 4) != 0 || Joins(previous, unit)) return 0;
    units[0] = unit;
    return 1;
}

// Walks the bytes token by token and hands each shown unit to sink.Put.
template <typename Sink>
void DecodeTokens(const Tables& tables, std::string_view gbk, Sink& sink) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(gbk.data());
    const std::size_t size = gbk.size();
    char16_t previous = 0;
    auto put = [&](char16_t unit) {
        sink.Put(unit);
        previous = unit;
    };
    auto escape = [&](unsigned char byte) {
        sink.Put(static_cast<char16_t>(kEscapeHigh + (byte >> 4)));
        put(static_cast<char16_t>(kEscapeLow + (byte & 0x0F)));
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
        } else if (i + 3 < size && IsLeadByte(bytes[i + 2]) && IsDigit(bytes[i + 3])) {
            char16_t units[2];
            const int count = DecodeFourBytes(tables, bytes + i, previous, units);
            for (int k = 0; k < count; ++k) put(units[k]);
            if (count > 0) {
                i += 4;
                continue;
            }
        }
        escape(lead);
        escape(trail);
        i += 2;
    }
}

struct UnitCounter {
    std::size_t count = 0;
    void Put(char16_t) { ++count; }
    void PutAscii(const unsigned char*, std::size_t length) { count += length; }
};

struct UnitWriter {
    char16_t* out;
    void Put(char16_t unit) { *out++ = unit; }
    void PutAscii(const unsigned char* ascii, std::size_t length) {
        for (std::size_t k = 0; k < length; ++k) out[k] = ascii[k];
        out += length;
    }
};

// Walks the units item by item (a unit, a surrogate pair or an escaped byte)
// and hands each item's bytes to sink.Put.
template <typename Sink>
void EncodeUnits(const Tables& tables, std::u16string_view text, Sink& sink) {
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && i + 1 < size) {
            const char16_t next = text[i + 1];
            if (IsEscapeHigh(unit) && IsEscapeLow(next)) {
                const Form raw{{static_cast<std::uint8_t>((unit - kEscapeHigh) << 4 | (next - kEscapeLow))}, 1};
                sink.Put(raw);
                ++i;
                continue;
            }
            if (IsHighSurrogate(unit) && IsLowSurrogate(next)) {
                sink.Put(FourByteForm(kSupplementaryBase + ((unit - 0xD800u) << 10 | (next - 0xDC00u))));
                ++i;
                continue;
            }
        }
        sink.Put(tables.forms[unit]);
    }
}

struct ByteCounter {
    std::size_t count = 0;
    void Put(const Form& form) { count += form.length; }
};

// Writes four bytes at a time; the buffer has three spare bytes at its end.
struct ByteWriter {
    char* out;
    void Put(const Form& form) {
        std::memcpy(out, form.bytes, 4);
        out += form.length;
    }
};

}  // namespace

bool DisplayCodecAvailable() {
    return GetCodec().available;
}

std::u16string DecodeForDisplay(std::string_view gbk) {
    const Tables& tables = GetTables();
    UnitCounter counter;
    DecodeTokens(tables, gbk, counter);
    std::u16string text(counter.count, u'\0');
    UnitWriter writer{text.data()};
    DecodeTokens(tables, gbk, writer);
    return text;
}

std::string EncodeFromDisplay(std::u16string_view text) {
    const Tables& tables = GetTables();
    ByteCounter counter;
    EncodeUnits(tables, text, counter);
    std::string bytes(counter.count + 3, '\0');
    ByteWriter writer{bytes.data()};
    EncodeUnits(tables, text, writer);
    bytes.resize(counter.count);
    return bytes;
}

}  // namespace tornix
