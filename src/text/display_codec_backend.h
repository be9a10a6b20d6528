// What the display codec needs from a platform's converters: for every code
// point of the Basic Multilingual Plane, its exact code page 936 form and its
// GB18030 four-byte form. Each platform links one implementation of
// LoadPlatformForms (ICU on Linux); display_codec.cpp builds the token rules
// on top of it.
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

// Fills both tables with kUnitCount entries from the platform's converters
// (code page 936 without best-fit mappings, GB18030). False when the
// converters are unavailable.
bool LoadPlatformForms(PlatformForms& forms);

}  // namespace tornix::display_codec_backend
