// Every character the code page can form, converted alone and between ASCII
// neighbours, by the single-pass routines, the 95-pass reference and the
// rule-based model. All three must agree byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/width.h"
#include "support/hex.h"
#include "support/width_reference.h"

namespace tornix {
namespace {

using namespace tornix::testing;

// Neighbours chosen to interact with what they surround: space runs that the
// character may split, '@' that equals a common trail byte, a lead byte that
// swallows the next byte.
const std::vector<std::pair<std::string, std::string>> kNeighbours = {
    {"", ""}, {"A", "A"}, {" ", "  "}, {"  ", " "}, {"@", "~"}, {".", "/"}, {"\xA3", ""}, {"", "\xA1"},
};

void ExpectAllAgree(const std::string& text) {
    const GbkString value(text);
    const std::string full(ToFullWidth(value).view());
    const std::string half(ToHalfWidth(value).view());
    ASSERT_EQ(Hex(full), Hex(ReferenceToFullWidth(value).view())) << "ToFullWidth of " << Hex(text);
    ASSERT_EQ(Hex(half), Hex(ReferenceToHalfWidth(value).view())) << "ToHalfWidth of " << Hex(text);
    ASSERT_EQ(Hex(full), Hex(ModelToFullWidth(text))) << "ToFullWidth of " << Hex(text) << " against the rules";
    ASSERT_EQ(Hex(half), Hex(ModelToHalfWidth(text))) << "ToHalfWidth of " << Hex(text) << " against the rules";
}

void SweepWithNeighbours(const std::string& character) {
    for (const auto& [before, after] : kNeighbours) {
        ExpectAllAgree(before + character + after);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(WidthSweep, EverySingleByte) {
    for (int byte = 0; byte < 256; ++byte) {
        SweepWithNeighbours(std::string(1, static_cast<char>(byte)));
        if (HasFatalFailure()) return;
    }
}

TEST(WidthSweep, EveryTwoByteCharacter) {
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            SweepWithNeighbours({static_cast<char>(lead), static_cast<char>(trail)});
            if (HasFatalFailure()) return;
        }
    }
}

// The same characters inside longer texts, at offsets across 16- and 64-byte
// blocks and at their ends, so that the block-wise conversions meet each of
// them (against the model only: the 95 passes would take too long here).
TEST(WidthSweep, EveryTwoByteCharacterInsideLongText) {
    const std::string before = "\xD6\xD0\xCE\xC4 ab\xA3\xAC";                     // 中文 ab，
    const std::string after = "\xA1\xA3xy\xB0\xA1   \xA3\xC1\xA3\xAF.\xA1\xA1z";  // 。xy啊   Ａ／.　z
    std::string prefix, suffix;
    for (int copy = 0; copy < 7; ++copy) prefix += before;  // 63 bytes
    for (int copy = 0; copy < 4; ++copy) suffix += after;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const std::string character{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = prefix + character + suffix;
            for (std::size_t skip : {0, 1, 3, 10, 36}) {
                const std::string_view piece = std::string_view(text).substr(skip);
                const GbkString value(piece);
                ASSERT_EQ(Hex(ToFullWidth(value).view()), Hex(ModelToFullWidth(piece))) << Hex(piece);
                ASSERT_EQ(Hex(ToHalfWidth(value).view()), Hex(ModelToHalfWidth(piece))) << Hex(piece);
            }
        }
    }
}

// The inputs that block kernels get wrong, at every offset from 0 to 130, so
// that each crosses the end of a 16-, 32- and 64-byte block, inside Chinese
// text and inside ASCII text (an odd offset into the Chinese text leaves a
// lone lead byte right before the piece).
TEST(WidthSweep, AwkwardPiecesAtEveryOffset) {
    const std::string pieces[] = {
        "\xA3",      // a lead byte that takes the byte after it
        "\x81\x40",  // a second byte that is ASCII
        "\x80z",
        "\xFFz",                     // neither lead byte nor ASCII
        "\xA1\xA1",                  // U+3000: grows to three spaces
        "\xA3\xAF",                  // ／: both bytes stay, as '/' '/'
        "\xA3\xC1\xA1\xA3\xA1\xE7",  // Ａ。＄
        "a.b$~",
        std::string(2, ' '),
        std::string(3, ' '),
        std::string(40, ' '),
        std::string(70, ' '),
    };
    const std::string fillers[] = {"\xD6\xD0\xCE\xC4", "ab"};  // 中文, ASCII
    for (const std::string& filler : fillers) {
        std::string around;
        while (around.size() < 200) around += filler;
        for (const std::string& piece : pieces) {
            for (std::size_t offset = 0; offset <= 130; ++offset) {
                const std::string text = around.substr(0, offset) + piece + around.substr(0, 70);
                const GbkString value(text);
                ASSERT_EQ(Hex(ToFullWidth(value).view()), Hex(ModelToFullWidth(text))) << Hex(text);
                ASSERT_EQ(Hex(ToHalfWidth(value).view()), Hex(ModelToHalfWidth(text))) << Hex(text);
            }
        }
    }
}

}  // namespace
}  // namespace tornix
