// Writes the display codec's golden table (tests/data/display_codec_golden.txt)
// straight from ICU, one unit at a time and without the codec's own code, so
// that every implementation of the codec can be held to the same table:
//
//   cmake --build <build> --target make_display_codec_golden
//   <build>/tests/tools/make_display_codec_golden > tests/data/display_codec_golden.txt
#include <unicode/ucnv.h>
#include <unicode/uversion.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/hex.h"

namespace {

using tornix::testing::Hex;

constexpr std::uint32_t kCarrierBase = 39420;  // first GB18030 linear index past the BMP table

UConverter* OpenStrict(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &status);
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "cannot open %s: %s\n", name, u_errorName(status));
        std::exit(1);
    }
    ucnv_setFallback(converter, false);
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return converter;
}

std::string Encode(UConverter* converter, const std::u16string& text) {
    UErrorCode status = U_ZERO_ERROR;
    char bytes[16];
    const int length = ucnv_fromUChars(converter, bytes, sizeof bytes, reinterpret_cast<const UChar*>(text.data()),
                                       static_cast<int>(text.size()), &status);
    return U_SUCCESS(status) ? std::string(bytes, static_cast<std::size_t>(length)) : std::string();
}

std::u16string Decode(UConverter* converter, const std::string& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    UChar units[16];
    const int length = ucnv_toUChars(converter, units, 16, bytes.data(), static_cast<int>(bytes.size()), &status);
    if (U_FAILURE(status)) return std::u16string();
    return std::u16string(reinterpret_cast<const char16_t*>(units), static_cast<std::size_t>(length));
}

bool IsLead(unsigned byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool IsDigit(unsigned byte) {
    return byte >= 0x30 && byte <= 0x39;
}
bool IsReserved(char16_t unit) {
    return (unit >= 0xD800 && unit <= 0xDFFF) || (unit >= 0xFDD0 && unit <= 0xFDEF);
}

std::string FourBytes(std::uint32_t linear) {
    return {static_cast<char>(0x81 + linear / 12600), static_cast<char>(0x30 + linear / 1260 % 10),
            static_cast<char>(0x81 + linear / 10 % 126), static_cast<char>(0x30 + linear % 10)};
}

std::uint32_t Linear(const std::string& b) {
    auto at = [&b](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])); };
    return (at(0) - 0x81) * 12600 + (at(1) - 0x30) * 1260 + (at(2) - 0x81) * 10 + (at(3) - 0x30);
}

// The character a one- or two-byte unit is shown as, or 0xFFFFFFFF when it
// is escaped: it must decode to one unit that code page 936 encodes back to
// exactly these bytes.
std::uint32_t ShownAs(UConverter* codePage, const std::string& bytes) {
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1 && IsLead(first)) return 0xFFFFFFFF;
    if (bytes.size() == 2 && IsDigit(static_cast<unsigned char>(bytes[1]))) return 0xFFFFFFFF;
    const std::u16string decoded = Decode(codePage, bytes);
    if (decoded.size() != 1 || IsReserved(decoded[0]) || (decoded[0] == 0 && bytes.size() == 2)) return 0xFFFFFFFF;
    return Encode(codePage, decoded) == bytes ? decoded[0] : 0xFFFFFFFF;
}

struct FourByteRun {
    bool carrier;
    unsigned first;
    unsigned last;
    std::uint32_t linear;
};

void PrintHeader() {
    std::printf(
        "# What the display codec makes of every one- and two-byte unit, and the\n"
        "# four-byte form of every UTF-16 unit that code page 936 cannot hold.\n"
        "# Made by tests/tools/make_display_codec_golden from ICU %s\n"
        "# (windows-936-2000 and gb18030, round-trip mappings only).\n"
        "#\n"
        "# <bytes> <units>         the unit is shown as these UTF-16 units\n"
        "# <bytes> -               not a character: each byte is shown escaped\n"
        "# gb18030 <first> <last> <bytes>\n"
        "# carrier <first> <last> <bytes>\n"
        "#                         units first..last, each on its own, encode to\n"
        "#                         consecutive four-byte forms from <bytes> on\n"
        "# supplementary <code point> <bytes>\n",
        U_ICU_VERSION);
}

}  // namespace

int main() {
    UConverter* codePage = OpenStrict("windows-936-2000");
    UConverter* gb18030 = OpenStrict("gb18030");
    PrintHeader();
    std::vector<bool> hasShortForm(0x10000, false);
    std::vector<std::string> units;
    for (unsigned lead = 0; lead <= 0xFF; ++lead) units.push_back(std::string(1, static_cast<char>(lead)));
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
        for (unsigned trail = 0; trail <= 0xFF; ++trail)
            units.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    for (const std::string& bytes : units) {
        const std::uint32_t shown = ShownAs(codePage, bytes);
        if (shown == 0xFFFFFFFF) {
            std::printf("%s -\n", Hex(bytes, "").c_str());
        } else {
            std::printf("%s %04X\n", Hex(bytes, "").c_str(), shown);
            hasShortForm[shown] = true;
        }
    }
    std::vector<FourByteRun> runs;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        if (hasShortForm[unit]) continue;
        const std::u16string text(1, static_cast<char16_t>(unit));
        const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
        const std::string four = surrogate ? std::string() : Encode(gb18030, text);
        const bool carrier = !(four.size() == 4 && IsLead(static_cast<unsigned char>(four[0])) &&
                               IsDigit(static_cast<unsigned char>(four[1])) && Decode(gb18030, four) == text &&
                               Linear(four) < kCarrierBase);
        const std::uint32_t linear = carrier ? kCarrierBase + unit : Linear(four);
        if (!runs.empty() && runs.back().carrier == carrier && runs.back().last + 1 == unit &&
            runs.back().linear + (unit - runs.back().first) == linear) {
            runs.back().last = unit;
        } else {
            runs.push_back({carrier, unit, unit, linear});
        }
    }
    for (const FourByteRun& run : runs)
        std::printf("%s %04X %04X %s\n", run.carrier ? "carrier" : "gb18030", run.first, run.last,
                    Hex(FourBytes(run.linear), "").c_str());
    std::vector<std::uint32_t> samples = {0x10000, 0x1F600, 0x20000, 0x2A6D6, 0xE0001, 0xFFFFD, 0x10FFFF};
    for (std::uint32_t codePoint = 0x10000; codePoint <= 0x10FFFF; codePoint += 0x3F01) samples.push_back(codePoint);
    for (std::uint32_t codePoint : samples) {
        const std::u16string text = {static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10)),
                                     static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF))};
        std::printf("supplementary %X %s\n", codePoint, Hex(Encode(gb18030, text), "").c_str());
    }
    ucnv_close(codePage);
    ucnv_close(gb18030);
    return 0;
}
