// The help's Chinese part is kept twice, as code page 936 bytes and as UTF-8;
// decoding the first must give the second.
#include <gtest/gtest.h>

#include <string>
#include <unicode/ucnv.h>

#include "cli/help_text.h"

namespace tornix {
namespace {

std::string Code936ToUtf8(std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out(bytes.size() * 3 + 16, '\0');
    const int32_t length = ucnv_convert("UTF-8", "windows-936-2000", out.data(), static_cast<int32_t>(out.size()),
                                        bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

TEST(HelpText, ChineseInBothEncodingsIsTheSameText) {
    EXPECT_EQ(Code936ToUtf8(ChineseHelp(TextEncoding::kGbk)), ChineseHelp(TextEncoding::kUtf8));
}

TEST(HelpText, NamesEveryOptionInBothLanguages) {
    for (TextEncoding encoding : {TextEncoding::kGbk, TextEncoding::kUtf8}) {
        const std::string chinese(ChineseHelp(encoding));
        const std::string english = HelpText(encoding).substr(chinese.size());
        for (const char* option : {"--to-full", "--to-half", "-o, --output", "--trim", "-h, --help", "--version"}) {
            EXPECT_NE(chinese.find(option), std::string::npos) << option;
            EXPECT_NE(english.find(option), std::string::npos) << option;
        }
    }
}

}  // namespace
}  // namespace tornix
