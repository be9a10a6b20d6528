// The steps every UTF-8 width kernel shares: runs of spaces, and converting
// one byte or one character at a time (the plain loops, and the end of a
// text in every tier). In an anonymous namespace for the reason given in
// width_steps.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "utf8_tables.h"
#include "width_steps.h"

namespace tornix::kernels {
namespace {

// Emits a run of `count` spaces: U+3000 per three, the rest kept.
inline char* EmitUtf8SpaceRun(char* out, std::size_t count) {
    for (std::size_t i = 0; i < count / 3; ++i) {
        std::memcpy(out, kUtf8FullSpace.bytes, 3);
        out += 3;
    }
    for (std::size_t i = 0; i < count % 3; ++i) *out++ = ' ';
    return out;
}

// The UTF-8 ToFullWidth of in[i, end) for a run that ends on `end` outside
// a run of spaces (or at the end of the text, `size`).
inline char* Utf8FullWidthBytes(const unsigned char* in, std::size_t i, std::size_t end, std::size_t size, char* out) {
    while (i < end) {
        const unsigned char byte = in[i];
        // One comparison of both bytes (see ConvertAsciiRun).
        if ((byte | (i + 1 < size ? in[i + 1] : 0u) << 8) == (' ' | ' ' << 8)) {
            const std::size_t run = SpaceRunLength(in, i, size);
            out = EmitUtf8SpaceRun(out, run);
            i += run;
            continue;
        }
        std::memcpy(out, kUtf8Full.form[byte], 4);
        out += kUtf8Full.length[byte];
        ++i;
    }
    return out;
}

// The half-width form of the three-byte character at `at` (which has two
// bytes after it) when its first two bytes are a row's, else null.
inline const HalfForm* FindUtf8HalfForm(const unsigned char* at) {
    const std::uint8_t first = kUtf8Half.firstSlot[at[0]];
    if (first == 0 || (at[1] & 0xC0) != 0x80 || (at[2] & 0xC0) != 0x80) return nullptr;
    const std::uint8_t group = kUtf8Half.group[first - 1][at[1] & 0x3F];
    return group == 0 ? nullptr : &kUtf8Half.forms[group - 1][at[2] & 0x3F];
}

// The UTF-8 ToHalfWidth of in[i, size).
inline char* Utf8HalfWidthBytes(const unsigned char* in, std::size_t i, std::size_t size, char* out) {
    while (i < size) {
        const HalfForm* form = i + 2 < size ? FindUtf8HalfForm(in + i) : nullptr;
        if (form == nullptr) {
            *out++ = static_cast<char>(in[i++]);
            continue;
        }
        std::memcpy(out, form->bytes, sizeof form->bytes);
        out += form->length;
        i += 3;
    }
    return out;
}

}  // namespace
}  // namespace tornix::kernels
