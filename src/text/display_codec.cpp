// The display codec's token rules (see display_codec.h) on top of the forms a
// platform's converters give (display_codec_backend.h). The platform is asked
// once, on first use; after that both directions are table look-ups, and the
// output is sized by a counting pass so that a large text is allocated once.
#include "text/display_codec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "text/codec_tables.h"
#include "text/display_codec_backend.h"
#include "text/gbk_string.h"

namespace tornix {
namespace codec {
namespace {

using display_codec_backend::kNoCodePageForm;
using display_codec_backend::PlatformForms;

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
        tables->gb18030FourByte[index] = platform.gb18030FourByte[index];
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

}  // namespace

const Tables& GetTables() {
    return *GetCodec().tables;
}

bool TablesFromPlatform() {
    return GetCodec().available;
}

}  // namespace codec

namespace {

using namespace codec;

// A byte that is no character shows as two noncharacters.
struct UnitCounter {
    std::size_t count = 0;
    void Put(char16_t) { ++count; }
    void Escape(unsigned char) { count += 2; }
    void PutAscii(const unsigned char*, std::size_t length) { count += length; }
};

struct UnitWriter {
    char16_t* out;
    void Put(char16_t unit) { *out++ = unit; }
    void Escape(unsigned char byte) {
        *out++ = static_cast<char16_t>(kEscapeHigh + (byte >> 4));
        *out++ = static_cast<char16_t>(kEscapeLow + (byte & 0x0F));
    }
    void PutAscii(const unsigned char* ascii, std::size_t length) {
        for (std::size_t k = 0; k < length; ++k) out[k] = ascii[k];
        out += length;
    }
};

template <typename Sink>
void DecodeTokens(const Tables& tables, std::string_view gbk, Sink& sink) {
    char16_t previous = 0;
    WalkText(tables, gbk, sink, previous, false, true);
}

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
    return TablesFromPlatform();
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
