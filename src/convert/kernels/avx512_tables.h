// The tables of the 64-byte kernels (width_avx512.cpp), derived from
// kWidthTable at compile time as those of width_tables.h.
#pragma once

#include <cstdint>

#include "width_tables.h"

namespace tornix::kernels {

// Controls that interleave two vectors, a first bytes and b second bytes,
// into byte pairs: those of bytes 0..31 and those of bytes 32..63.
struct InterleaveTable {
    std::uint8_t index[2][64]{};
};

constexpr InterleaveTable MakeInterleaveTable() {
    InterleaveTable table{};
    for (int half = 0; half < 2; ++half) {
        for (int n = 0; n < 64; ++n) table.index[half][n] = static_cast<std::uint8_t>(32 * half + n / 2 + (n % 2) * 64);
    }
    return table;
}

inline constexpr InterleaveTable kInterleave = MakeInterleaveTable();

// The two bytes ToFullWidth writes for each ASCII byte, as two lookup tables
// of 128 entries; the kernel uses them for the printable bytes only.
struct AsciiFormTable {
    std::uint8_t first[128]{};
    std::uint8_t second[128]{};
};

constexpr AsciiFormTable MakeAsciiFormTable() {
    AsciiFormTable table{};
    for (int byte = 0; byte < 128; ++byte) {
        table.first[byte] = Byte(kFull.full[byte], 0);
        table.second[byte] = Byte(kFull.full[byte], 1);
    }
    return table;
}

inline constexpr AsciiFormTable kAsciiForms = MakeAsciiFormTable();

}  // namespace tornix::kernels
