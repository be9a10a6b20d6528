#include "convert/width.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace tornix {

namespace {

constexpr std::size_t LiteralLength(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

constexpr unsigned char Byte(const char* text, std::size_t index) {
    return static_cast<unsigned char>(text[index]);
}

// ToHalfWidth's one departure from the table: "／" becomes two solidi.
constexpr int kSolidusRow = 15;  // row 16, counted from 0
constexpr const char* kSolidusHalf = "//";

constexpr const char* HalfOfRow(int row) {
    return row == kSolidusRow ? kSolidusHalf : kWidthTable[row].half;
}

// What the single pass does at each byte that starts a character.
enum ByteClass : std::uint8_t {
    kCopyOne = 1,   // a one-byte character that no row touches
    kCopyTwo = 2,   // a lead byte whose characters no row touches
    kConvert = 3,   // may start a character that a row rewrites
    kSpaceRun = 4,  // a space: runs of three become one full-width space
};

struct FullTables {
    ByteClass byteClass[256]{};
    char full[256][2]{};  // the full-width form of each single-byte row
};

// Tables for ToFullWidth, read off kWidthTable. Row 1 (three spaces) is the
// only multi-byte half side and is handled as a run of spaces.
constexpr FullTables MakeFullTables() {
    FullTables tables{};
    for (int b = 0; b < 256; ++b) {
        tables.byteClass[b] = IsLeadByte(static_cast<unsigned char>(b)) ? kCopyTwo : kCopyOne;
    }
    for (int row = 1; row < kWidthTableRows; ++row) {
        const unsigned char half = Byte(kWidthTable[row].half, 0);
        tables.byteClass[half] = kConvert;
        tables.full[half][0] = kWidthTable[row].full[0];
        tables.full[half][1] = kWidthTable[row].full[1];
    }
    tables.byteClass[static_cast<unsigned char>(' ')] = kSpaceRun;
    return tables;
}

struct HalfForm {
    std::uint8_t length;  // 0: the character has no row
    char bytes[3];
};

// The table has full-width forms under two lead bytes only (0xA1 and 0xA3).
constexpr int kMaxFullLeads = 2;

struct HalfTables {
    ByteClass byteClass[256]{};
    std::uint8_t leadSlot[256]{};  // 1-based index into forms, 0 when unused
    HalfForm forms[kMaxFullLeads][256]{};
};

constexpr HalfTables MakeHalfTables() {
    HalfTables tables{};
    for (int b = 0; b < 256; ++b) {
        tables.byteClass[b] = IsLeadByte(static_cast<unsigned char>(b)) ? kCopyTwo : kCopyOne;
    }
    int slotsUsed = 0;
    for (int row = 0; row < kWidthTableRows; ++row) {
        const unsigned char lead = Byte(kWidthTable[row].full, 0);
        const unsigned char trail = Byte(kWidthTable[row].full, 1);
        if (tables.leadSlot[lead] == 0) tables.leadSlot[lead] = static_cast<std::uint8_t>(++slotsUsed);
        tables.byteClass[lead] = kConvert;
        HalfForm& form = tables.forms[tables.leadSlot[lead] - 1][trail];
        const char* half = HalfOfRow(row);
        form.length = static_cast<std::uint8_t>(LiteralLength(half));
        for (std::size_t i = 0; i < form.length; ++i) form.bytes[i] = half[i];
    }
    return tables;
}

constexpr FullTables kFull = MakeFullTables();
constexpr HalfTables kHalf = MakeHalfTables();

// The shape the kernels rely on, checked against the table at compile time.
constexpr bool TableHasExpectedShape() {
    if (LiteralLength(kWidthTable[0].half) != 3) return false;
    for (int i = 0; i < 3; ++i) {
        if (kWidthTable[0].half[i] != ' ') return false;
    }
    for (int row = 0; row < kWidthTableRows; ++row) {
        if (LiteralLength(kWidthTable[row].full) != 2) return false;
        if (!IsLeadByte(Byte(kWidthTable[row].full, 0))) return false;
        if (row > 0 && (LiteralLength(kWidthTable[row].half) != 1 || kWidthTable[row].half[0] == ' ')) {
            return false;
        }
        // Only the full-width space grows when made half-width.
        if (row > 0 && LiteralLength(HalfOfRow(row)) > 2) return false;
    }
    return Byte(kWidthTable[0].full, 0) == Byte(kWidthTable[0].full, 1);
}
static_assert(TableHasExpectedShape(), "the conversion kernels assume this table shape");

// ToFullWidth output never exceeds the input plus one byte per printable ASCII
// byte (each may become two bytes; three spaces shrink to two).
std::size_t FullBound(const unsigned char* in, std::size_t size) {
    std::size_t printable = 0;
    for (std::size_t i = 0; i < size; ++i) printable += static_cast<unsigned char>(in[i] - 0x21) < 0x5E;
    return size + printable;
}

// ToHalfWidth output grows only where U+3000 (two equal bytes) becomes three
// spaces, so half the count of that byte bounds the growth.
std::size_t HalfBound(const unsigned char* in, std::size_t size) {
    const unsigned char spaceByte = Byte(kWidthTable[0].full, 0);
    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) count += in[i] == spaceByte;
    return size + count / 2;
}

// Emits a run of `count` spaces: one full-width space per three, the rest kept.
inline char* EmitSpaceRun(char* out, std::size_t count) {
    for (std::size_t i = 0; i < count / 3; ++i) {
        out[0] = kWidthTable[0].full[0];
        out[1] = kWidthTable[0].full[1];
        out += 2;
    }
    for (std::size_t i = 0; i < count % 3; ++i) *out++ = ' ';
    return out;
}

// Copies in[from, to) to out and returns the new end of out.
inline char* Flush(char* out, const unsigned char* in, std::size_t from, std::size_t to) {
    std::memcpy(out, in + from, to - from);
    return out + (to - from);
}

}  // namespace

char* ToFullWidthInto(std::string_view text, char* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();

    // Unchanged stretches are copied in bulk; `pending` is where one begins.
    std::size_t pending = 0;
    std::size_t i = 0;
    while (i < size) {
        const ByteClass cls = kFull.byteClass[in[i]];
        if (cls <= kCopyTwo) {
            i += cls;  // may step one past the end over a final lone lead byte
            continue;
        }
        out = Flush(out, in, pending, i);
        if (cls == kConvert) {
            out[0] = kFull.full[in[i]][0];
            out[1] = kFull.full[in[i]][1];
            out += 2;
            ++i;
        } else {
            std::size_t run = 1;
            while (i + run < size && in[i + run] == ' ') ++run;
            out = EmitSpaceRun(out, run);
            i += run;
        }
        pending = i;
    }
    return Flush(out, in, pending, size);
}

char* ToHalfWidthInto(std::string_view text, char* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();

    std::size_t pending = 0;
    std::size_t i = 0;
    while (i < size) {
        const ByteClass cls = kHalf.byteClass[in[i]];
        if (cls == kConvert && i + 1 < size) {
            const HalfForm& form = kHalf.forms[kHalf.leadSlot[in[i]] - 1][in[i + 1]];
            if (form.length != 0) {
                out = Flush(out, in, pending, i);
                std::memcpy(out, form.bytes, form.length);
                out += form.length;
                i += 2;
                pending = i;
                continue;
            }
        }
        i += cls == kCopyOne ? 1 : 2;  // may step one past the end over a final lone lead byte
    }
    return Flush(out, in, pending, size);
}

std::size_t ToFullWidthBound(std::string_view text) {
    return FullBound(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

std::size_t ToHalfWidthBound(std::string_view text) {
    return HalfBound(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

namespace {

// Runs a kernel into one buffer sized up front from its bound.
GbkString ConvertWhole(std::string_view text, std::size_t bound, char* (*kernel)(std::string_view, char*)) {
    std::string result(bound, '\0');
    char* const end = kernel(text, result.data());
    result.resize(static_cast<std::size_t>(end - result.data()));
    return GbkString(std::move(result));
}

}  // namespace

GbkString ToFullWidth(const GbkString& text) {
    return ConvertWhole(text.view(), ToFullWidthBound(text.view()), ToFullWidthInto);
}

GbkString ToHalfWidth(const GbkString& text) {
    return ConvertWhole(text.view(), ToHalfWidthBound(text.view()), ToHalfWidthInto);
}

}  // namespace tornix
