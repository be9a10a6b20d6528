// Randomised differential test: the single-pass routines against the 95-pass
// reference and the rule-based model, on texts built from the pieces that
// break width code, each rerun behind 0 to 3 prefix bytes so that character
// alignment shifts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "convert/width.h"
#include "support/hex.h"
#include "support/width_reference.h"

namespace tornix {
namespace {

using namespace tornix::testing;

std::string RandomPiece(std::mt19937& rng) {
    auto pick = [&rng](int bound) { return static_cast<int>(rng() % static_cast<unsigned>(bound)); };
    auto byte = [](int value) { return static_cast<char>(value); };
    switch (pick(11)) {
        case 9:
            return std::string(static_cast<std::size_t>(2 * pick(24)), '\xB0');  // plain two-byte text
        case 10:
            return std::string(static_cast<std::size_t>(1 + pick(40)), static_cast<char>(0x81 + pick(0x7E)));
        case 0:
            return std::string(static_cast<std::size_t>(1 + pick(8)), ' ');
        case 1:
            return {byte(0xA1), byte(pick(256))};
        case 2:
            return {byte(0xA3), byte(0xA1 + pick(0x5E))};
        case 3:
            return {byte(0xA3), byte(pick(256))};
        case 4:
            return {byte(0x81 + pick(0x7E)), byte(0x20 + pick(0x5F))};  // ASCII trail
        case 5:
            return std::string(1, byte(0x20 + pick(0x5F)));
        case 6:
            return std::string(1, "\r\n\t\x80\xFF\xA1\xA3"[pick(7)]);
        case 7:
            return "\xA1\xA1";
        default:
            return std::string(1, byte(pick(256)));
    }
}

std::string RandomText(std::mt19937& rng) {
    std::string text;
    // Long texts too, so that block-wise scanning meets every alignment.
    const int pieces = static_cast<int>(rng() % (rng() % 4 == 0 ? 80 : 24));
    for (int i = 0; i < pieces; ++i) text += RandomPiece(rng);
    if (rng() % 4 == 0) text += static_cast<char>(0x81 + rng() % 0x7E);  // lone lead byte at the end
    return text;
}

std::string RandomPrefix(std::mt19937& rng, int length) {
    static const char kPrefixBytes[] = {'a', ' ', '\x81', '\xA1', '\xA3', '\x80'};
    std::string prefix;
    for (int i = 0; i < length; ++i) prefix += kPrefixBytes[rng() % sizeof kPrefixBytes];
    return prefix;
}

class WidthRandom : public ::testing::TestWithParam<unsigned> {};

TEST_P(WidthRandom, SinglePassMatchesReference) {
    std::mt19937 rng(GetParam());
    for (int n = 0; n < 3000; ++n) {
        const std::string body = RandomText(rng);
        for (int prefixLength = 0; prefixLength <= 3; ++prefixLength) {
            const std::string text = RandomPrefix(rng, prefixLength) + body;
            const GbkString value(text);
            const std::string full(ToFullWidth(value).view());
            const std::string half(ToHalfWidth(value).view());
            ASSERT_EQ(Hex(full), Hex(ReferenceToFullWidth(value).view())) << "ToFullWidth of " << Hex(text);
            ASSERT_EQ(Hex(half), Hex(ReferenceToHalfWidth(value).view())) << "ToHalfWidth of " << Hex(text);
            ASSERT_EQ(Hex(full), Hex(ModelToFullWidth(text))) << "ToFullWidth of " << Hex(text);
            ASSERT_EQ(Hex(half), Hex(ModelToHalfWidth(text))) << "ToHalfWidth of " << Hex(text);
        }
    }
}

// Long stretches of ASCII, where the conversion works in blocks: space runs
// of every length at every offset (some longer than a block), the irregular
// rows, controls.
TEST_P(WidthRandom, AsciiTextMatchesReference) {
    std::mt19937 rng(GetParam());
    static const char kPieces[] = "abcXYZ09$.~/!\r\n\t\x7F";
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        const int length = static_cast<int>(rng() % 320);
        while (static_cast<int>(text.size()) < length) {
            if (rng() % 3 == 0) {
                text.append(1 + rng() % (rng() % 8 == 0 ? 140 : 10), ' ');
            } else {
                text += kPieces[rng() % (sizeof kPieces - 1)];
            }
        }
        if (rng() % 4 == 0) text.insert(rng() % (text.size() + 1), "\xD6\xD0");
        const GbkString value(text);
        ASSERT_EQ(Hex(ToFullWidth(value).view()), Hex(ReferenceToFullWidth(value).view())) << Hex(text);
        ASSERT_EQ(Hex(ToFullWidth(value).view()), Hex(ModelToFullWidth(text))) << Hex(text);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, WidthRandom, ::testing::Values(1u, 20261208u, 0xC0FFEEu));

}  // namespace
}  // namespace tornix
