// The help names every option in both its languages.
#include <gtest/gtest.h>

#include <string>

#include "cli/help_text.h"

namespace tornix {
namespace {

TEST(HelpText, NamesEveryOptionInBothLanguages) {
    const std::string help = HelpText(Charset::kUtf8);
    for (const char* option : {"--to-full",
                               "--to-half",
                               "-o, --output",
                               "-e, --encoding",
                               "--output-encoding",
                               "--trim",
                               "-i, --in-place",
                               "-r, --recursive",
                               "--include",
                               "--exclude",
                               "--check",
                               "--diff",
                               "-q, --quiet",
                               "--table",
                               "--only",
                               "--keep",
                               "--keep-chinese-punctuation",
                               "--context",
                               "-h, --help",
                               "--version"}) {
        const std::size_t first = help.find(option);
        ASSERT_NE(first, std::string::npos) << option;
        EXPECT_NE(help.find(option, first + 1), std::string::npos) << option << " only once";
    }
}

}  // namespace
}  // namespace tornix
