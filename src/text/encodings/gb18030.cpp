// GB18030 files, and code page 936 (GBK) files, whose bytes are the
// program's text as they are: the two character sets' records, the decoder
// and the encoder of each.
#include <algorithm>
#include <memory>

#include "codec.h"
#include "text/gb18030_changes.h"

namespace tornix::encodings {

using namespace codec;

namespace {

// GB18030's own forms, where they differ from the program's text: the code
// page's two-byte codes that GB18030 gives to other characters, the bytes
// 0x80 and 0xFF, and the characters the code page lacks but GB18030 has as
// two-byte codes. Built from the display codec's tables on first use.
struct Gb18030Tables {
    Form forms[kUnitCount];           // length 0: no GB18030 form (an unpaired surrogate)
    char16_t pair[126 * 256];         // the character of a two-byte code; 0: none
    char16_t fourByte[kCarrierBase];  // the character of a BMP four-byte form; 0: none
};

bool IsMovedCode(std::uint16_t code) {
    return std::any_of(std::begin(kGb18030TwoByteChanges), std::end(kGb18030TwoByteChanges),
                       [code](const TwoByteChange& change) { return change.code == code; });
}

Form Gb18030Form(const Tables& tables, char16_t unit) {
    if (unit < 0x80) return {{static_cast<std::uint8_t>(unit)}, 1};
    for (const TwoByteChange& change : kGb18030TwoByteChanges) {
        if (change.gb18030 == unit) {
            return {{static_cast<std::uint8_t>(change.code >> 8), static_cast<std::uint8_t>(change.code & 0xFF)}, 2};
        }
    }
    const Form& own = tables.forms[unit];
    if (own.length == 2 && !IsMovedCode(static_cast<std::uint16_t>(own.bytes[0] << 8 | own.bytes[1]))) return own;
    const std::uint32_t linear = tables.gb18030FourByte[unit];
    if (linear != display_codec_backend::kNoFourByteForm) return FourByteForm(linear);
    return {{}, 0};
}

std::unique_ptr<const Gb18030Tables> BuildGb18030Tables() {
    const Tables& tables = GetTables();
    auto gb = std::make_unique<Gb18030Tables>();
    for (std::size_t index = 0; index < kUnitCount; ++index) {
        const auto unit = static_cast<char16_t>(index);
        const Form form = IsSurrogate(unit) ? Form{{}, 0} : Gb18030Form(tables, unit);
        gb->forms[index] = form;
        if (form.length == 2) gb->pair[(form.bytes[0] - 0x81) * 256 + form.bytes[1]] = unit;
        if (form.length == 4 && FourByteLinearIndex(form.bytes, 4) < kCarrierBase) {
            gb->fourByte[FourByteLinearIndex(form.bytes, 4)] = unit;
        }
    }
    return gb;
}

const Gb18030Tables& GetGb18030Tables() {
    static const std::unique_ptr<const Gb18030Tables> tables = BuildGb18030Tables();
    return *tables;
}

std::size_t DecodeGb18030(std::string_view input, std::string& text, std::uint64_t offset, bool final,
                          DecodeState& state) {
    const Gb18030Tables& gb = GetGb18030Tables();
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    const std::size_t size = input.size();
    std::size_t at = 0;
    while (at < size) {
        if (const std::size_t run = AsciiRun(bytes, at, size)) {
            state.builder.Ascii(text, bytes + at, run);
            at += run;
            continue;
        }
        const unsigned char lead = bytes[at];
        if (!IsLeadByte(lead)) {  // 0x80 and 0xFF begin no character
            state.Invalid(text, input.substr(at, 1), offset + at);
            ++at;
            continue;
        }
        if (at + 1 == size || (IsDigit(bytes[at + 1]) && at + 4 > size)) {
            if (!final) return at;
            state.Invalid(text, input.substr(at, 1), offset + at);
            ++at;
            continue;
        }
        const unsigned char trail = bytes[at + 1];
        if (IsDigit(trail)) {
            const std::uint32_t linear = FourByteLinearIndex(bytes + at, 4);
            const bool supplementary = linear != display_codec_backend::kNoFourByteForm &&
                                       linear >= kSupplementaryBase &&
                                       linear - kSupplementaryBase < kSupplementaryCount;
            if (supplementary) {
                state.builder.Supplementary(text, 0x10000 + (linear - kSupplementaryBase));
            } else if (linear < kCarrierBase && gb.fourByte[linear] != 0) {
                state.builder.Unit(text, gb.fourByte[linear], input.substr(at, 4));
            } else {
                state.Invalid(text, input.substr(at, linear == display_codec_backend::kNoFourByteForm ? 1 : 4),
                              offset + at);
                at += linear == display_codec_backend::kNoFourByteForm ? 1 : 4;
                continue;
            }
            at += 4;
            continue;
        }
        const char16_t unit =
            trail >= 0x40 && trail != 0x7F && trail != 0xFF ? gb.pair[(lead - 0x81) * 256 + trail] : 0;
        if (unit == 0) {
            state.Invalid(text, input.substr(at, 1), offset + at);
            ++at;
            continue;
        }
        state.builder.Unit(text, unit, input.substr(at, 2));
        at += 2;
    }
    return at;
}

struct Gb18030Writer {
    static void Ascii(std::string& out, const unsigned char* bytes, std::size_t count) {
        out.append(reinterpret_cast<const char*>(bytes), count);
    }
    // A unit without a GB18030 form is written as the program's text holds it.
    static bool Unit(std::string& out, char16_t unit) {
        const Form& form = GetGb18030Tables().forms[unit];
        Append(out, form.length > 0 ? form : GetTables().forms[unit]);
        return form.length == 0;
    }
    static void Pair(std::string& out, char16_t high, char16_t low) {
        const char32_t codePoint = 0x10000 + ((high - 0xD800u) << 10 | (low - 0xDC00u));
        Append(out, FourByteForm(kSupplementaryBase + (codePoint - 0x10000)));
    }
    static bool Lone(std::string& out, char16_t unit) {
        Append(out, GetTables().forms[unit]);
        return true;
    }
};

// Code page 936 is the program's text: its bytes are taken and given as they are.
std::size_t DecodeGbk(std::string_view bytes, std::string& text, std::uint64_t, bool, DecodeState&) {
    text.append(bytes);
    return bytes.size();
}

std::size_t EncodeGbk(std::string_view text, std::string& bytes, EncodeState&, bool) {
    bytes.append(text);
    return text.size();
}

constexpr CharsetCodec kGbkCodec = {DecodeGbk, EncodeGbk};
constexpr CharsetCodec kGb18030Codec = {DecodeGb18030, EncodeWith<Gb18030Writer>};

}  // namespace

// Named GBK in the save choosers, as Notepad names what it calls ANSI on
// Chinese Windows.
extern const CharsetRecord kGbkCharset = {
    Charset::kGbk,
    "gbk",                  // name
    {{"cp936"}},            // aliases
    "",                     // no byte-order mark
    "code page 936 (GBK)",  // title
    SaveOffer::kAlways,     // when the save choosers offer it
    {{{"GBK", false}}},     // their rows
    "GBK",                  // its row in the open choosers
    &kGbkCodec,             // its decoder and encoder
};

// Offered by the save choosers only after a GB18030 file was loaded, so that
// it can be saved as it came.
extern const CharsetRecord kGb18030Charset = {
    Charset::kGb18030,
    "gb18030",                 // name
    {},                        // no aliases
    "\x84\x31\x95\x33",        // byte-order mark
    "GB18030",                 // title
    SaveOffer::kAfterLoading,  // when the save choosers offer it
    {{{"GB18030", true}}},     // their rows
    "GB18030",                 // its row in the open choosers
    &kGb18030Codec,            // its decoder and encoder
};

}  // namespace tornix::encodings
