// Names in messages: as given, but nothing a terminal would act on, and, for
// a UTF-8 terminal, no byte that is not UTF-8 (a name from another locale).
#include "cli/messages.h"

#include <gtest/gtest.h>

namespace tornix {
namespace {

TEST(Messages, NamesAreQuotedWithWhatATerminalWouldActOnSpelledOut) {
    const struct {
        const char* name;
        Charset terminal;
        const char* shown;
    } kCases[] = {
        {"笔记.txt", Charset::kUtf8, "'笔记.txt'"},
        {"a\x1B[2Jb\n", Charset::kUtf8, "'a\\x1B[2Jb\\x0A'"},
        // 笔记 in code page 936, whose CA BC happens to be UTF-8 (U+02BC)
        {"\xB1\xCA\xBC\xC7.txt", Charset::kUtf8, "'\\xB1\xCA\xBC\\xC7.txt'"},
        {"\xB1\xCA\xBC\xC7.txt", Charset::kGbk, "'\xB1\xCA\xBC\xC7.txt'"},
        {"\xE4\xB8", Charset::kUtf8, "'\\xE4\\xB8'"},           // a character cut short
        {"\x7F\xC0\xAF", Charset::kUtf8, "'\\x7F\\xC0\\xAF'"},  // an overlong form
    };
    for (const auto& c : kCases) EXPECT_EQ(Quoted(c.name, c.terminal), c.shown) << c.name;
}

}  // namespace
}  // namespace tornix
