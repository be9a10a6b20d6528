// The vector check behind ScanUtf8, in every tier this processor runs,
// against a plain reading of the UTF-8 rules: it never accepts more than the
// longest valid prefix, ends on a character boundary, stops short of it by at
// most the vector before the first error (and three bytes), and reports
// non-ASCII bytes in what it accepted exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "simd/utf8_check.h"
#include "support/hex.h"
#include "text/encoding.h"

namespace tornix {
namespace {

using simd::SimdTier;
using testing::Hex;

// The length of the character at `at` if it is valid UTF-8 there, else 0.
std::size_t ValidCharacter(const std::string& bytes, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned lead = byte(at);
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xF8 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || at + length > bytes.size()) return 0;
    unsigned long value = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
        value = value << 6 | (byte(at + k) & 0x3F);
    }
    const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < least[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return length;
}

// The character boundaries of the longest valid prefix, 0 included.
std::vector<std::size_t> Boundaries(const std::string& bytes) {
    std::vector<std::size_t> boundaries = {0};
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = ValidCharacter(bytes, at);
        if (length == 0) break;
        at += length;
        boundaries.push_back(at);
    }
    return boundaries;
}

struct VectorTier {
    SimdTier tier;
    std::size_t width;  // bytes a vector
};

// The tiers with a vector check of their own that this process may run.
std::vector<VectorTier> Tiers() {
    std::vector<VectorTier> tiers;
    for (const VectorTier tier :
         {VectorTier{SimdTier::kSsse3, 16}, VectorTier{SimdTier::kAvx2, 32}, VectorTier{SimdTier::kAvx512, 64}}) {
        if (tier.tier <= simd::ActiveTier()) tiers.push_back(tier);
    }
    return tiers;
}

void ExpectPrefixFollowsTheRules(const std::string& bytes) {
    const std::vector<std::size_t> boundaries = Boundaries(bytes);
    const std::size_t longest = boundaries.back();
    for (const VectorTier tier : Tiers()) {
        const std::size_t vector = tier.width;
        bool sawNonAscii = false;
        const std::size_t prefix = simd::Utf8CheckFor(tier.tier).validPrefix(
            reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), sawNonAscii);
        SCOPED_TRACE(::testing::Message() << vector << " bytes at a time, " << Hex(bytes));
        ASSERT_TRUE(std::binary_search(boundaries.begin(), boundaries.end(), prefix))
            << prefix << " is no boundary of the valid prefix of " << longest;
        EXPECT_GE(prefix + vector + 3, longest / vector * vector + vector) << "stopped too early: " << prefix;
        EXPECT_EQ(sawNonAscii, std::any_of(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(prefix),
                                           [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
        // ScanUtf8, which goes on byte by byte, reaches the longest prefix.
        EXPECT_EQ(ScanUtf8(bytes, true).validLength, longest);
    }
}

// Each edge of the rules, behind every number of three-byte characters and
// ASCII bytes, so that it falls at every place of a vector and across two.
TEST(Utf8Check, EdgesAtEveryPlaceOfAVector) {
    if (Tiers().empty()) GTEST_SKIP() << "no vector check on this processor";
    const std::string edges[] = {
        "\xC2\x80",
        "\xDF\xBF",
        "\xE0\xA0\x80",
        "\xED\x9F\xBF",
        "\xEE\x80\x80",
        "\xEF\xBF\xBF",  // valid
        "\xF0\x90\x80\x80",
        "\xF4\x8F\xBF\xBF",
        "\x7F",
        "\xC0\x80",
        "\xC1\xBF",
        "\xE0\x9F\xBF",
        "\xED\xA0\x80",
        "\xED\xBF\xBF",
        "\xF0\x8F\xBF\xBF",  // invalid
        "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80",
        "\xFF",
        "\x80",
        "\xBF\xBF",
        "\xE4\xB8",
        "\xE4"
        "a",
        "\xC3\xC3",
        "\xF0\x9F\x98",
        "\xE4\xB8\xAD\x80",
    };
    for (const std::string& edge : edges) {
        for (std::size_t chinese = 0; chinese <= 22; ++chinese) {
            for (std::size_t ascii = 0; ascii <= 3; ++ascii) {
                std::string bytes(ascii, 'a');
                for (std::size_t k = 0; k < chinese; ++k) bytes += "\xE4\xB8\xAD";
                bytes += edge;
                ExpectPrefixFollowsTheRules(bytes);
                ExpectPrefixFollowsTheRules(bytes + std::string(40, 'z'));
                ExpectPrefixFollowsTheRules(bytes + std::string(20, 'z') + "\xE6\x96\x87\xE6\x96\x87");
            }
        }
    }
}

// Random texts of valid characters with an error here and there.
TEST(Utf8Check, RandomTexts) {
    if (Tiers().empty()) GTEST_SKIP() << "no vector check on this processor";
    const std::string pieces[] = {"a",
                                  " ",
                                  "\r\n",
                                  "\xE4\xB8\xAD",
                                  "\xEF\xBC\x8C",
                                  "\xE3\x80\x80",
                                  "\xC3\xA9",
                                  "\xF0\x9F\x98\x80",
                                  "\xED\x95\x9C",
                                  "\xE0\xA4\x85"};
    std::mt19937 rng(8);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        for (unsigned n = rng() % 60; n > 0; --n) bytes += pieces[rng() % std::size(pieces)];
        if (!bytes.empty() && rng() % 2 == 0) bytes[rng() % bytes.size()] = static_cast<char>(rng() % 256);
        ExpectPrefixFollowsTheRules(bytes);
    }
}

}  // namespace
}  // namespace tornix
