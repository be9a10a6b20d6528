// GbkString: the one text type of Tornix. A byte string in code page 936 (GBK)
// with value semantics and the CString-style operations the program relies on.
//
// Character model: a byte in 0x81..0xFE is a lead byte and forms one character
// with the byte after it (whatever that byte is); every other byte is a
// character by itself. A lead byte that is the last byte of a text is a
// one-byte character. Lengths are counted in bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tornix {

// True for the bytes that begin a two-byte character.
constexpr bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

// True for the single-byte white space the trims remove: space, tab, LF, VT,
// FF and CR. A two-byte character is never white space (U+3000 included).
constexpr bool IsTrimSpace(unsigned char byte) {
    return byte == ' ' || (byte >= 0x09 && byte <= 0x0D);
}

class GbkString {
public:
    GbkString() = default;
    // The literal's bytes up to its NUL; a null pointer gives the empty text.
    GbkString(const char* literal);  // NOLINT(google-explicit-constructor): literals read naturally
    // All bytes of the view, NULs included.
    explicit GbkString(std::string_view bytes) : m_bytes(bytes) {}
    // Takes over an already built byte buffer without copying it.
    explicit GbkString(std::string&& bytes) noexcept : m_bytes(std::move(bytes)) {}

    GbkString& operator=(const char* literal);
    GbkString& operator+=(const char* literal);
    GbkString& operator+=(const GbkString& text) {
        m_bytes += text.m_bytes;
        return *this;
    }

    std::size_t GetLength() const noexcept { return m_bytes.size(); }
    bool IsEmpty() const noexcept { return m_bytes.empty(); }
    void Empty() noexcept { m_bytes.clear(); }

    // The bytes, always followed by a NUL in memory.
    const char* GetString() const noexcept { return m_bytes.c_str(); }
    std::string_view view() const noexcept { return m_bytes; }

    // Removes white space (see IsTrimSpace) from the start.
    void TrimLeft();
    // Removes white space from the end, never splitting a two-byte character:
    // in «a» 0x81 0x20 the space is the second half of a character and stays.
    void TrimRight();

    // Replaces every occurrence of oldText that begins on a character boundary,
    // left to right and without overlap, and returns how many were replaced.
    // Text inserted by the call is not searched again. An empty oldText
    // changes nothing. Example: Replace("aa", "x") on «aaaaa» gives «xxa», 2;
    // Replace("@", ...) on 0x81 0x40 matches nothing.
    int Replace(std::string_view oldText, std::string_view newText);

    // Sets the text to string `id` of the program's string table and returns
    // non-zero; with no such string the text is emptied and 0 is returned.
    int LoadStringA(unsigned id);

    friend bool operator==(const GbkString& a, const GbkString& b) noexcept { return a.m_bytes == b.m_bytes; }
    friend bool operator!=(const GbkString& a, const GbkString& b) noexcept { return !(a == b); }

private:
    std::string m_bytes;
};

}  // namespace tornix
