#include "text/transcode.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "text/codec_tables.h"
#include "text/gb18030_changes.h"

namespace tornix {

using namespace codec;

namespace {

constexpr std::size_t kLongestCharacter = 4;  // bytes, in every encoding here

void Append(std::string& out, const Form& form) {
    out.append(reinterpret_cast<const char*>(form.bytes), form.length);
}

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

// Appends the program's text for decoded characters and kept bytes.
class TextBuilder {
public:
    explicit TextBuilder(const Tables& tables) : m_tables(tables) {}

    void Ascii(std::string& out, const unsigned char* bytes, std::size_t count) {
        out.append(reinterpret_cast<const char*>(bytes), count);
        m_previous = bytes[count - 1];
    }
    // A unit of the Basic Multilingual Plane (or an unpaired surrogate) that
    // the file holds as `source`. Where the text could not hold it next to
    // the one before (the two would be read back as one), its bytes are kept.
    void Unit(std::string& out, char16_t unit, std::string_view source) {
        if (Joins(m_previous, unit)) {
            Keep(out, source);
            return;
        }
        Append(out, m_tables.forms[unit]);
        m_previous = unit;
    }
    void Supplementary(std::string& out, char32_t codePoint) {
        Append(out, FourByteForm(kSupplementaryBase + (codePoint - 0x10000)));
        m_previous = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
    void Keep(std::string& out, std::string_view bytes) {
        for (const char byte : bytes) Append(out, FourByteForm(kKeptByteBase + static_cast<unsigned char>(byte)));
        m_previous = kEscapeLow;
    }
    // After characters laid out without the builder, none of which joins
    // with what follows.
    void Plain() { m_previous = 0; }

private:
    const Tables& m_tables;
    char16_t m_previous = 0;
};

// Eight bytes at a time while they are all ASCII.
std::size_t AsciiRun(const unsigned char* bytes, std::size_t at, std::size_t size) {
    const std::size_t start = at;
    while (at + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        if ((word & 0x8080808080808080u) != 0) break;
        at += 8;
    }
    while (at < size && bytes[at] < 0x80) ++at;
    return at - start;
}

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

}  // namespace

// One decoder a charset. Step() decodes as much of `bytes` as it can and
// returns how many it used: with `final` false it leaves a character that the
// end cuts short; `offset` is where `bytes` begins among all bytes decoded.
class TextDecoder::Impl {
public:
    explicit Impl(Charset charset) : m_charset(charset), m_builder(GetTables()) {}

    void Decode(std::string_view bytes, std::string& text, bool final) {
        if (!m_carry.empty()) {
            // Complete the character that the last piece cut short.
            const std::size_t take = std::min(bytes.size(), kLongestCharacter);
            const std::string joined = m_carry + std::string(bytes.substr(0, take));
            const bool last = final && take == bytes.size();
            const std::size_t used = Step(joined, text, m_offset, last);
            if (used < m_carry.size()) {  // still cut short: all of `bytes` is in `joined`
                m_carry = joined.substr(used);
                m_offset += used;
                return;
            }
            bytes.remove_prefix(used - m_carry.size());
            m_offset += used;
            m_carry.clear();
        }
        const std::size_t used = Step(bytes, text, m_offset, final);
        m_carry.assign(bytes.substr(used));
        m_offset += used;
    }

    std::optional<std::uint64_t> firstInvalid() const { return m_firstInvalid; }

private:
    std::size_t Step(std::string_view bytes, std::string& text, std::uint64_t offset, bool final) {
        switch (m_charset) {
            case Charset::kGbk:
                text.append(bytes);
                return bytes.size();
            case Charset::kUtf8:
                return StepUtf8(bytes, text, offset, final);
            case Charset::kUtf16Le:
            case Charset::kUtf16Be:
                return StepUtf16(bytes, text, offset, final);
            case Charset::kGb18030:
                return StepGb18030(bytes, text, offset, final);
        }
        return bytes.size();
    }

    void Invalid(std::string& text, std::string_view bytes, std::uint64_t at) {
        if (!m_firstInvalid) m_firstInvalid = at;
        m_builder.Keep(text, bytes);
    }

    std::size_t StepUtf8(std::string_view input, std::string& text, std::uint64_t offset, bool final);
    std::size_t StepUtf16(std::string_view input, std::string& text, std::uint64_t offset, bool final);
    std::size_t StepGb18030(std::string_view input, std::string& text, std::uint64_t offset, bool final);

    Charset m_charset;
    TextBuilder m_builder;
    std::string m_carry;  // a character cut short by the last piece
    std::uint64_t m_offset = 0;
    std::optional<std::uint64_t> m_firstInvalid;
};

std::size_t TextDecoder::Impl::StepUtf8(std::string_view input, std::string& text, std::uint64_t offset, bool final) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    const std::size_t size = input.size();
    const Tables& tables = GetTables();
    std::size_t at = 0;
    while (at < size) {
        if (const std::size_t likely = DecodeLikelyUtf8(tables, bytes + at, size - at, text)) {
            m_builder.Plain();
            at += likely;
            continue;
        }
        const Utf8Scan scan = ScanUtf8(input.substr(at, kLongestCharacter), false);
        if (scan.validLength > 0) {  // one whole character
            const std::size_t length = bytes[at] >= 0xF0 ? 4 : bytes[at] >= 0xE0 ? 3 : 2;
            char32_t codePoint = bytes[at] & (0x7F >> length);
            for (std::size_t k = 1; k < length; ++k) codePoint = codePoint << 6 | (bytes[at + k] & 0x3F);
            if (codePoint >= 0x10000) {
                m_builder.Supplementary(text, codePoint);
            } else {
                m_builder.Unit(text, static_cast<char16_t>(codePoint), input.substr(at, length));
            }
            at += length;
        } else if (scan.valid && at + kLongestCharacter > size && !final) {
            return at;  // a character that the end of the piece cuts short
        } else {
            Invalid(text, input.substr(at, 1), offset + at);
            ++at;
        }
    }
    return at;
}

std::size_t TextDecoder::Impl::StepUtf16(std::string_view input, std::string& text, std::uint64_t offset, bool final) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    const bool little = m_charset == Charset::kUtf16Le;
    auto unitAt = [&](std::size_t at) {
        return static_cast<char16_t>(little ? bytes[at] | bytes[at + 1] << 8 : bytes[at] << 8 | bytes[at + 1]);
    };
    const std::size_t size = input.size();
    std::size_t at = 0;
    while (at + 2 <= size) {
        const char16_t unit = unitAt(at);
        if (IsHighSurrogate(unit)) {
            if (at + 4 > size && !final) return at;
            if (at + 4 <= size && IsLowSurrogate(unitAt(at + 2))) {
                m_builder.Supplementary(text, 0x10000 + ((unit - 0xD800u) << 10 | (unitAt(at + 2) - 0xDC00u)));
                at += 4;
                continue;
            }
        }
        if (unit < 0x80) {
            const unsigned char ascii = static_cast<unsigned char>(unit);
            m_builder.Ascii(text, &ascii, 1);
        } else {
            m_builder.Unit(text, unit, input.substr(at, 2));
        }
        at += 2;
    }
    if (at < size && final) {  // an odd last byte
        Invalid(text, input.substr(at), offset + at);
        at = size;
    }
    return at;
}

std::size_t TextDecoder::Impl::StepGb18030(std::string_view input, std::string& text, std::uint64_t offset,
                                           bool final) {
    const Gb18030Tables& gb = GetGb18030Tables();
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    const std::size_t size = input.size();
    std::size_t at = 0;
    while (at < size) {
        if (const std::size_t run = AsciiRun(bytes, at, size)) {
            m_builder.Ascii(text, bytes + at, run);
            at += run;
            continue;
        }
        const unsigned char lead = bytes[at];
        if (!IsLeadByte(lead)) {  // 0x80 and 0xFF begin no character
            Invalid(text, input.substr(at, 1), offset + at);
            ++at;
            continue;
        }
        if (at + 1 == size || (IsDigit(bytes[at + 1]) && at + 4 > size)) {
            if (!final) return at;
            Invalid(text, input.substr(at, 1), offset + at);
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
                m_builder.Supplementary(text, 0x10000 + (linear - kSupplementaryBase));
            } else if (linear < kCarrierBase && gb.fourByte[linear] != 0) {
                m_builder.Unit(text, gb.fourByte[linear], input.substr(at, 4));
            } else {
                Invalid(text, input.substr(at, linear == display_codec_backend::kNoFourByteForm ? 1 : 4), offset + at);
                at += linear == display_codec_backend::kNoFourByteForm ? 1 : 4;
                continue;
            }
            at += 4;
            continue;
        }
        const char16_t unit =
            trail >= 0x40 && trail != 0x7F && trail != 0xFF ? gb.pair[(lead - 0x81) * 256 + trail] : 0;
        if (unit == 0) {
            Invalid(text, input.substr(at, 1), offset + at);
            ++at;
            continue;
        }
        m_builder.Unit(text, unit, input.substr(at, 2));
        at += 2;
    }
    return at;
}

TextDecoder::TextDecoder(Charset charset) : m_impl(std::make_unique<Impl>(charset)) {}
TextDecoder::~TextDecoder() = default;
TextDecoder::TextDecoder(TextDecoder&&) noexcept = default;
TextDecoder& TextDecoder::operator=(TextDecoder&&) noexcept = default;

void TextDecoder::Decode(std::string_view bytes, std::string& text) {
    m_impl->Decode(bytes, text, false);
}

void TextDecoder::Finish(std::string& text) {
    m_impl->Decode({}, text, true);
}

std::optional<std::uint64_t> TextDecoder::firstInvalid() const {
    return m_impl->firstInvalid();
}

namespace {

// Receives the program's text walked token by token (WalkText) and writes it
// in a charset. A byte that is no character is written as it is.
class FileSink {
public:
    FileSink(Charset charset, std::string& out) : m_charset(charset), m_out(out) {}

    void PutAscii(const unsigned char* bytes, std::size_t count) {
        FlushHigh();
        if (m_charset == Charset::kUtf16Le || m_charset == Charset::kUtf16Be) {
            for (std::size_t k = 0; k < count; ++k) WriteUtf16(bytes[k]);
        } else {
            m_out.append(reinterpret_cast<const char*>(bytes), count);
        }
    }

    void Put(char16_t unit) {
        if (m_high != 0) {
            const char16_t high = m_high;
            m_high = 0;
            if (IsLowSurrogate(unit)) {
                WritePair(high, unit);
                return;
            }
            WriteLone(high);
        }
        if (IsHighSurrogate(unit)) {
            m_high = unit;
            return;
        }
        if (IsLowSurrogate(unit)) {
            WriteLone(unit);
            return;
        }
        WriteUnit(unit);
    }

    void Escape(unsigned char byte) {
        FlushHigh();
        m_out += static_cast<char>(byte);
        m_asIs = true;
    }

    void FlushHigh() {
        if (m_high == 0) return;
        WriteLone(m_high);
        m_high = 0;
    }

    bool asIs() const { return m_asIs; }

private:
    void WriteUtf16(char16_t unit) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        if (m_charset == Charset::kUtf16Le) {
            m_out += low;
            m_out += high;
        } else {
            m_out += high;
            m_out += low;
        }
    }

    void WriteUtf8(char32_t codePoint) {
        if (codePoint < 0x80) {
            m_out += static_cast<char>(codePoint);
        } else if (codePoint < 0x800) {
            m_out += static_cast<char>(0xC0 | codePoint >> 6);
            m_out += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            m_out += static_cast<char>(0xE0 | codePoint >> 12);
            m_out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
            m_out += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            m_out += static_cast<char>(0xF0 | codePoint >> 18);
            m_out += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
            m_out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
            m_out += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
    }

    void WriteUnit(char16_t unit) {
        switch (m_charset) {
            case Charset::kUtf8:
                WriteUtf8(unit);
                return;
            case Charset::kUtf16Le:
            case Charset::kUtf16Be:
                WriteUtf16(unit);
                return;
            case Charset::kGb18030:
            case Charset::kGbk: {  // code page 936 text is never walked (EncodeText)
                const Form& form = GetGb18030Tables().forms[unit];
                Append(m_out, form.length > 0 ? form : GetTables().forms[unit]);
                if (form.length == 0) m_asIs = true;
                return;
            }
        }
    }

    void WritePair(char16_t high, char16_t low) {
        const char32_t codePoint = 0x10000 + ((high - 0xD800u) << 10 | (low - 0xDC00u));
        if (m_charset == Charset::kUtf8) {
            WriteUtf8(codePoint);
        } else if (m_charset == Charset::kGb18030 || m_charset == Charset::kGbk) {
            Append(m_out, FourByteForm(kSupplementaryBase + (codePoint - 0x10000)));
        } else {
            WriteUtf16(high);
            WriteUtf16(low);
        }
    }

    // An unpaired surrogate: UTF-16 holds it; elsewhere it is written in the
    // form that UTF-8 would give it (the program's text keeps its carrier).
    void WriteLone(char16_t unit) {
        if (m_charset == Charset::kUtf16Le || m_charset == Charset::kUtf16Be) {
            WriteUtf16(unit);
            return;
        }
        if (m_charset == Charset::kUtf8) {
            WriteUtf8(unit);
        } else {
            Append(m_out, GetTables().forms[unit]);
        }
        m_asIs = true;
    }

    Charset m_charset;
    std::string& m_out;
    char16_t m_high = 0;
    bool m_asIs = false;
};

}  // namespace

class TextEncoder::Impl {
public:
    explicit Impl(Charset charset) : m_charset(charset) {}

    void Encode(std::string_view text, std::string& bytes, bool final) {
        if (m_charset == Charset::kGbk) {  // the program's text is code page 936 already
            bytes.append(text);
            return;
        }
        FileSink sink(m_charset, bytes);
        if (!m_carry.empty()) {
            const std::size_t take = std::min(text.size(), kLongestCharacter);
            const std::string joined = m_carry + std::string(text.substr(0, take));
            const std::size_t used =
                WalkText(GetTables(), joined, sink, m_previous, true, final && take == text.size());
            if (used < m_carry.size()) {
                m_carry = joined.substr(used);
                Done(sink);
                return;
            }
            text.remove_prefix(used - m_carry.size());
            m_carry.clear();
        }
        const std::size_t used = WalkText(GetTables(), text, sink, m_previous, true, final);
        m_carry.assign(text.substr(used));
        Done(sink);
    }

    bool asIs() const { return m_asIs; }

private:
    // A surrogate pair is one token of the text, so a high surrogate still
    // waiting at the end of a walk is an unpaired one.
    void Done(FileSink& sink) {
        sink.FlushHigh();
        m_asIs = m_asIs || sink.asIs();
    }

    Charset m_charset;
    std::string m_carry;  // a token that the last piece cut short
    char16_t m_previous = 0;
    bool m_asIs = false;
};

TextEncoder::TextEncoder(Charset charset) : m_impl(std::make_unique<Impl>(charset)) {}
TextEncoder::~TextEncoder() = default;
TextEncoder::TextEncoder(TextEncoder&&) noexcept = default;
TextEncoder& TextEncoder::operator=(TextEncoder&&) noexcept = default;

void TextEncoder::Encode(std::string_view text, std::string& bytes) {
    m_impl->Encode(text, bytes, false);
}

void TextEncoder::Finish(std::string& bytes) {
    m_impl->Encode({}, bytes, true);
}

bool TextEncoder::wroteBytesAsTheyAre() const {
    return m_impl->asIs();
}

std::string DecodeText(std::string_view bytes, FileEncoding encoding) {
    if (encoding.charset == Charset::kGbk) return std::string(bytes);
    const std::string_view mark = ByteOrderMark(encoding.charset);
    if (encoding.byteOrderMark && bytes.substr(0, mark.size()) == mark) bytes.remove_prefix(mark.size());
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 4);
    TextDecoder decoder(encoding.charset);
    decoder.Decode(bytes, text);
    decoder.Finish(text);
    return text;
}

std::string EncodeText(std::string_view text, FileEncoding encoding) {
    if (encoding.charset == Charset::kGbk) return std::string(text);
    std::string bytes;
    if (encoding.byteOrderMark) bytes = ByteOrderMark(encoding.charset);
    bytes.reserve(bytes.size() + text.size() * 2);
    TextEncoder encoder(encoding.charset);
    encoder.Encode(text, bytes);
    encoder.Finish(bytes);
    return bytes;
}

}  // namespace tornix
