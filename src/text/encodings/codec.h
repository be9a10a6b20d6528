// What the file encodings share (one file an encoding beside this one): the
// shape of a decoder and an encoder, the text a decoder builds, and the sink
// through which an encoder writes the program's text walked token by token.
// Internal to the text layer; the rules are those of transcode.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "text/codec_tables.h"
#include "text/encoding.h"
#include "text/transcode.h"

namespace tornix::encodings {

inline constexpr std::size_t kLongestCharacter = 4;  // bytes, in every encoding here

inline void Append(std::string& out, const codec::Form& form) {
    out.append(reinterpret_cast<const char*>(form.bytes), form.length);
}

// The length of the run of ASCII bytes from `at` on, eight bytes at a time
// while they are all ASCII.
inline std::size_t AsciiRun(const unsigned char* bytes, std::size_t at, std::size_t size) {
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

// Appends the program's text for decoded characters and kept bytes.
class TextBuilder {
public:
    TextBuilder() : m_tables(codec::GetTables()) {}

    const codec::Tables& tables() const { return m_tables; }

    void Ascii(std::string& out, const unsigned char* bytes, std::size_t count) {
        out.append(reinterpret_cast<const char*>(bytes), count);
        m_previous = bytes[count - 1];
    }
    // A unit of the Basic Multilingual Plane (or an unpaired surrogate) that
    // the file holds as `source`. Where the text could not hold it next to
    // the one before (the two would be read back as one), its bytes are kept.
    void Unit(std::string& out, char16_t unit, std::string_view source) {
        if (codec::Joins(m_previous, unit)) {
            Keep(out, source);
            return;
        }
        Append(out, m_tables.forms[unit]);
        m_previous = unit;
    }
    void Supplementary(std::string& out, char32_t codePoint) {
        Append(out, codec::FourByteForm(codec::kSupplementaryBase + (codePoint - 0x10000)));
        m_previous = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
    void Keep(std::string& out, std::string_view bytes) {
        for (const char byte : bytes) {
            Append(out, codec::FourByteForm(codec::kKeptByteBase + static_cast<unsigned char>(byte)));
        }
        m_previous = codec::kEscapeLow;
    }
    // After characters laid out without the builder, none of which joins
    // with what follows.
    void Plain() { m_previous = 0; }

private:
    const codec::Tables& m_tables;
    char16_t m_previous = 0;
};

// What a decoder carries from one piece of a file to the next.
struct DecodeState {
    TextBuilder builder;
    std::optional<std::uint64_t> firstInvalid;

    // Keeps `bytes`, which are no character of the encoding, found at `at`.
    void Invalid(std::string& text, std::string_view bytes, std::uint64_t at) {
        if (!firstInvalid) firstInvalid = at;
        builder.Keep(text, bytes);
    }
};

// Decodes as much of `bytes` into `text` as it can and returns how many it
// used: with `final` false it leaves a character that the end cuts short.
// `offset` is where `bytes` begin among all bytes decoded.
using DecodeStep = std::size_t (*)(std::string_view bytes, std::string& text, std::uint64_t offset, bool final,
                                   DecodeState& state);

// What an encoder carries from one piece of the program's text to the next.
struct EncodeState {
    char16_t previous = 0;  // the last unit written
    bool asIs = false;      // see TextEncoder::wroteBytesAsTheyAre
    // For an encoding that lacks characters: the line breaks walked so far,
    // until the first character it lacks (TextEncoder::firstUnencodable).
    std::uint64_t lineBreaks = 0;
    std::optional<Unencodable> unencodable;
};

// Appends the bytes of as much of `text` as it can to `bytes` and returns how
// much of the text it used: with `final` false it leaves a token that the end
// may cut short.
using EncodeStep = std::size_t (*)(std::string_view text, std::string& bytes, EncodeState& state, bool final);

// Receives the program's text walked token by token (codec::WalkText) and
// writes it with `Writer`, the encoding's own: its static functions
//   Ascii(out, bytes, count)   a run of ASCII
//   Unit(out, unit)            a unit of the Basic Multilingual Plane; true
//                              when the encoding had no form for it
//   Pair(out, high, low)       a surrogate pair
//   Lone(out, unit)            an unpaired surrogate; true when written as the
//                              program's text holds it, for want of a form
// A byte that is no character is written as it is.
template <typename Writer>
class FileSink {
public:
    explicit FileSink(std::string& out) : m_out(out) {}

    void PutAscii(const unsigned char* bytes, std::size_t count) {
        FlushHigh();
        Writer::Ascii(m_out, bytes, count);
    }

    void Put(char16_t unit) {
        if (m_high != 0) {
            const char16_t high = m_high;
            m_high = 0;
            if (codec::IsLowSurrogate(unit)) {
                Writer::Pair(m_out, high, unit);
                return;
            }
            m_asIs = Writer::Lone(m_out, high) || m_asIs;
        }
        if (codec::IsHighSurrogate(unit)) {
            m_high = unit;
        } else if (codec::IsLowSurrogate(unit)) {
            m_asIs = Writer::Lone(m_out, unit) || m_asIs;
        } else {
            m_asIs = Writer::Unit(m_out, unit) || m_asIs;
        }
    }

    void Escape(unsigned char byte) {
        FlushHigh();
        m_out += static_cast<char>(byte);
        m_asIs = true;
    }

    void FlushHigh() {
        if (m_high == 0) return;
        m_asIs = Writer::Lone(m_out, m_high) || m_asIs;
        m_high = 0;
    }

    bool asIs() const { return m_asIs; }

private:
    std::string& m_out;
    char16_t m_high = 0;
    bool m_asIs = false;
};

// The EncodeStep of an encoding with `Writer`. A surrogate pair is one token
// of the text, so a high surrogate still waiting at the end of a walk is an
// unpaired one.
template <typename Writer>
std::size_t EncodeWith(std::string_view text, std::string& bytes, EncodeState& state, bool final) {
    FileSink<Writer> sink(bytes);
    const std::size_t used = codec::WalkText(codec::GetTables(), text, sink, state.previous, true, final);
    sink.FlushHigh();
    state.asIs = state.asIs || sink.asIs();
    return used;
}

// The records of the character sets, each in its encoding's file.
extern const CharsetRecord kGbkCharset;      // gb18030.cpp
extern const CharsetRecord kGb18030Charset;  // gb18030.cpp
extern const CharsetRecord kUtf8Charset;     // utf8.cpp
extern const CharsetRecord kUtf16LeCharset;  // utf16.cpp
extern const CharsetRecord kUtf16BeCharset;  // utf16.cpp
extern const CharsetRecord kBig5Charset;     // big5.cpp

}  // namespace tornix::encodings

namespace tornix {

// A character set's decoder and encoder, which its record points to.
struct CharsetCodec {
    encodings::DecodeStep decode;
    encodings::EncodeStep encode;
};

}  // namespace tornix
