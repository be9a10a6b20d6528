#include "files/wtf8.h"

#include <gtest/gtest.h>

#include "support/hex.h"

namespace tornix {
namespace {

using testing::Hex;

// Every UTF-16 name, valid or not, survives the trip through WTF-8; valid
// text is plain UTF-8 on the way.
TEST(Wtf8, EveryWindowsNameComesBack) {
    const struct {
        std::u16string name;
        std::string wtf8;
    } kCases[] = {
        {u"a.txt", "a.txt"},
        {u"\u4E2D\u6587", "\xE4\xB8\xAD\xE6\x96\x87"},                  // 中文
        {u"\U0001F600", "\xF0\x9F\x98\x80"},                            // a pair is one character
        {std::u16string(u"x\xD800y"), "x\xED\xA0\x80y"},                // a lone high surrogate
        {std::u16string(1, u'\xDFFF'), "\xED\xBF\xBF"},                 // a lone low one
        {std::u16string(u"\xDC00\xD800"), "\xED\xB0\x80\xED\xA0\x80"},  // reversed: two lone ones
        {std::u16string(1, u'\xD83D'), "\xED\xA0\xBD"},                 // a pair's first half at the end
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(Hex(Wtf8FromUtf16(c.name)), Hex(c.wtf8));
        EXPECT_TRUE(Utf16FromWtf8(c.wtf8) == c.name) << Hex(c.wtf8);
    }
}

TEST(Wtf8, BytesThatAreNoCharacterBecomeReplacements) {
    for (const char* bytes : {"\xFF", "\xC0\xAF", "\xE4\xB8", "\x80", "\xF4\x90\x80\x80"}) {
        const std::u16string decoded = Utf16FromWtf8(bytes);
        EXPECT_FALSE(decoded.empty()) << Hex(bytes);
        EXPECT_EQ(decoded.find_first_not_of(u'\xFFFD'), std::u16string::npos) << Hex(bytes);
    }
}

}  // namespace
}  // namespace tornix
