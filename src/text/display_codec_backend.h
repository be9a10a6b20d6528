// What the text layer needs from a platform's converters: for the display
// codec, every code point of the Basic Multilingual Plane's exact code page
// 936 form and its GB18030 four-byte form; for Big5 files, code page 950 both
// ways. Each platform links one implementation of LoadPlatformForms and
// LoadCodePage950 (ICU on Linux); display_codec.cpp builds the token rules on
// top of the first, encodings/big5.cpp its tables on top of the second.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tornix::display_codec_backend {

inline constexpr std::uint16_t kNoCodePageForm = 0xFFFF;
inline constexpr std::uint32_t kNoFourByteForm = 0xFFFFFFFF;
inline constexpr std::size_t kUnitCount = 0x10000;

struct PlatformForms {
    // Indexed by code point U+0000..U+FFFF (surrogates left at kNoCodePageForm):
    // the code page 936 form when the code page maps the character both ways,
    // as the byte itself for a one-byte form and lead << 8 | trail for a
    // two-byte form; kNoCodePageForm otherwise (also for one-way mappings).
    std::vector<std::uint16_t> codePage936;
    // Indexed the same way: the GB18030 linear index of the character's
    // four-byte form (0 is 81 30 81 30) when GB18030 gives it a four-byte form
    // that decodes back to it; kNoFourByteForm otherwise.
    std::vector<std::uint32_t> gb18030FourByte;
};

// The GB18030 linear index of a four-byte form (lead, digit, lead, digit),
// or kNoFourByteForm when the bytes do not have that shape.
inline std::uint32_t FourByteLinearIndex(const unsigned char* bytes, int length) {
    auto lead = [bytes](int i) { return bytes[i] >= 0x81 && bytes[i] <= 0xFE; };
    auto digit = [bytes](int i) { return bytes[i] >= 0x30 && bytes[i] <= 0x39; };
    if (length != 4 || !lead(0) || !digit(1) || !lead(2) || !digit(3)) return kNoFourByteForm;
    return (bytes[0] - 0x81u) * 12600 + (bytes[1] - 0x30u) * 1260 + (bytes[2] - 0x81u) * 10 + (bytes[3] - 0x30u);
}

inline std::uint32_t FourByteLinearIndex(const char* bytes, int length) {
    return FourByteLinearIndex(reinterpret_cast<const unsigned char*>(bytes), length);
}

// Fills both tables with kUnitCount entries from the platform's converters
// (code page 936 without best-fit mappings, GB18030). False when the
// converters are unavailable.
bool LoadPlatformForms(PlatformForms& forms);

// Two-byte codes, by (lead - 0x81) * 256 + trail.
inline constexpr std::size_t kTwoByteCodes = std::size_t{126} * 256;

// Code page 950 as the platform's converter has it (ICU's windows-950-2000,
// Windows' own code page 950), without best-fit mappings.
struct CodePage950Forms {
    // By (lead - 0x81) * 256 + trail: the code point that the two-byte code
    // decodes to, one-way mappings included (A2 CC decodes to U+5341, which
    // encodes to A4 51); 0 where it decodes to none.
    std::vector<char16_t> decoded;
    // Indexed by code point (surrogates left at kNoCodePageForm): the code
    // page's form when it decodes back to that code point, as the byte itself
    // for a one-byte form and lead << 8 | trail for a two-byte form;
    // kNoCodePageForm otherwise.
    std::vector<std::uint16_t> encoded;
};

// Fills `decoded` with kTwoByteCodes and `encoded` with kUnitCount entries. False
// when the platform has no code page 950.
bool LoadCodePage950(CodePage950Forms& forms);

}  // namespace tornix::display_codec_backend
