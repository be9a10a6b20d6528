// A file's bytes in one of the encodings of encoding.h turned into the
// program's text, and the program's text into a file's bytes, losing nothing.
//
// The program's text is code page 936 bytes, in which a character that the
// code page cannot hold is its GB18030 four-byte form (display_codec.h): so
// a UTF-8, UTF-16, GB18030 or Big5 file becomes code page 936 bytes wherever
// GBK holds its characters, the trims and both conversions work on it
// unchanged, and encoding it back gives the file's bytes again (but for
// Big5's ten codes that duplicate others: encodings/big5.cpp).
//
// A byte that is no character of the file's encoding (invalid UTF-8, the odd
// last byte of a UTF-16 file, a GB18030 or Big5 byte that begins no
// character) is kept: it travels in the text as a four-byte form of its own,
// never touched by a conversion, and is written back as that byte. The decoder notes where
// the first one was, for callers that must refuse such input.
//
// Both directions work piece by piece, in memory that does not grow with the
// input: a character cut by the end of a piece waits for the next one.
//
// Example: the UTF-8 bytes E4 B8 AD 61 (中a) decode to D6 D0 61, and D6 D0 61
// encodes to UTF-16 LE as 2D 4E 61 00.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text/encoding.h"

namespace tornix {

// A character that an encoding has no form for, and the line it is on.
struct Unencodable {
    char32_t codePoint = 0;  // an unpaired surrogate as itself
    std::uint64_t line = 0;  // 1 for the first line
};

// The program's text of that character, for a message; empty for an
// unpaired surrogate, which no message can show.
std::string CharacterText(const Unencodable& lacked);

// A file's bytes (after any byte-order mark) to the program's text.
class TextDecoder {
public:
    explicit TextDecoder(Charset charset);
    ~TextDecoder();
    TextDecoder(TextDecoder&&) noexcept;
    TextDecoder& operator=(TextDecoder&&) noexcept;

    // Appends the text of the next bytes to `text`.
    void Decode(std::string_view bytes, std::string& text);
    // Ends the bytes: a character still cut short is kept as its bytes.
    void Finish(std::string& text);
    // The offset, among all bytes decoded, of the first one that was no
    // character of the encoding (kept, as above).
    std::optional<std::uint64_t> firstInvalid() const;

    class Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// The program's text to a file's bytes (without a byte-order mark).
class TextEncoder {
public:
    explicit TextEncoder(Charset charset);
    ~TextEncoder();
    TextEncoder(TextEncoder&&) noexcept;
    TextEncoder& operator=(TextEncoder&&) noexcept;

    // Appends the bytes of the next piece of text to `bytes`.
    void Encode(std::string_view text, std::string& bytes);
    void Finish(std::string& bytes);
    // True once something was written that the encoding cannot hold as a
    // character: a kept byte, a byte that is no code page 936 character, or
    // (in UTF-8 or GB18030) an unpaired surrogate. It is written as it came.
    bool wroteBytesAsTheyAre() const;
    // The first character that the encoding has no form for (only Big5 lacks
    // characters of the program's text: 这, 😀, ＂), with the line it is on,
    // counted in the text encoded so far. It is written as the program's text
    // holds it, which no reader of the encoding takes for that character: a
    // caller refuses such bytes rather than writing them anywhere.
    std::optional<Unencodable> firstUnencodable() const;

    class Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Whole texts: a file's bytes, a byte-order mark included when `encoding`
// has one and the bytes begin with it, to the program's text; and back, with
// the mark when `encoding` asks for one. Code page 936 bytes are taken and
// given as they are, in both directions and by both classes above: the
// program's text is code page 936.
std::string DecodeText(std::string_view bytes, FileEncoding encoding);
std::string EncodeText(std::string_view text, FileEncoding encoding);

}  // namespace tornix
