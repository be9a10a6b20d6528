// The built program as a child process: exit statuses, input through a pipe
// in random chunk sizes, and a reader that goes away.
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <string>
#include <vector>

#include "convert/width.h"
#include "run_process.h"
#include "support/hex.h"

namespace tornix {
namespace {

using testing::Hex;
using testing::ProcessInput;
using testing::ProcessResult;
using testing::RunProcess;

const std::string kProgram = TORNIX_CONVERT_PATH;

TEST(TornixConvertProcess, UsageErrorExitsWithTwoAndTheUsageLine) {
    const ProcessResult result = RunProcess(kProgram, {}, {});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Usage: tornix-convert"), std::string::npos) << result.err;
}

std::string RandomDocument(std::mt19937& rng, std::size_t size) {
    static const char* const kPieces[] = {
        "\xD6\xD0\xCE\xC4",
        " ",
        "   ",
        "abc",
        "\xA1\xA1",
        "\xA3\xC1",
        "\xA1\xA3",
        ".",
        "/",
        "\r\n",
        "\x81 ",
        "\x81",
        "\t",
        "Hello, World!",
        "\xA3\xAF",
        "      ",
    };
    std::string text;
    while (text.size() < size) text += kPieces[rng() % (sizeof kPieces / sizeof kPieces[0])];
    return text;
}

TEST(TornixConvertProcess, RandomChunksThroughAPipeGiveTheWholeTextResult) {
    std::mt19937 rng(20261208u);
    for (int run = 0; run < 12; ++run) {
        ProcessInput input;
        input.bytes = RandomDocument(rng, 1 + rng() % 400000);
        for (std::size_t total = 0; total < input.bytes.size(); total += input.chunks.back()) {
            input.chunks.push_back(1 + rng() % (run % 2 == 0 ? 7 : 70000));
        }
        const bool toFull = run % 3 != 0;
        const bool trim = run % 4 == 1;
        std::vector<std::string> args{toFull ? "--to-full" : "--to-half"};
        if (trim) args.push_back("--trim");
        GbkString whole(input.bytes);
        if (trim) {
            whole.TrimLeft();
            whole.TrimRight();
        }
        const GbkString expected = toFull ? ToFullWidth(whole) : ToHalfWidth(whole);
        const ProcessResult result = RunProcess(kProgram, args, input);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        ASSERT_EQ(result.out.size(), expected.GetLength()) << "run " << run;
        ASSERT_TRUE(result.out == expected.view()) << "run " << run;
    }
}

TEST(TornixConvertProcess, ReaderGoingAwayEndsItQuietly) {
    for (bool parentIgnoresSigpipe : {false, true}) {
        ProcessInput input;
        input.bytes = std::string(4 * 1024 * 1024, 'x');
        input.readOutputBytes = 100;
        input.ignoreSigpipe = parentIgnoresSigpipe;
        const ProcessResult result = RunProcess(kProgram, {"--to-full"}, input);
        EXPECT_EQ(result.signal, SIGPIPE) << "exit status " << result.exitStatus;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out.size(), 100u);
    }
}

}  // namespace
}  // namespace tornix
