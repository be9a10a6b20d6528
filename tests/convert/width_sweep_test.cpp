// Every character the code page can form, converted alone and between ASCII
// neighbours, by the single-pass routines, the 95-pass reference and the
// rule-based model. All three must agree byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/width.h"
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

}  // namespace
}  // namespace tornix
