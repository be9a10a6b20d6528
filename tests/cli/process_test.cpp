// The built program as a child process: exit statuses, input through a pipe
// in random chunk sizes, a reader that goes away, termination signals while
// an output file is written, and memory when it is written in place.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "convert/width.h"
#include "run_process.h"
#include "support/hex.h"
#include "support/sanitizers.h"
#include "support/scratch_dir.h"
#include "text/transcode.h"

namespace tornix {
namespace {

using testing::Hex;
using testing::ProcessInput;
using testing::ProcessResult;
using testing::ReadBytes;
using testing::RunProcess;
using testing::ScratchDir;

const std::string kProgram = TORNIX_CONVERT_PATH;

TEST(TornixConvertProcess, UsageErrorExitsWithTwoAndTheUsageLine) {
    const ProcessResult result = RunProcess(kProgram, {}, {});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Usage: tornix-convert"), std::string::npos) << result.err;
}

// Code page 936 text; with `characters`, only whole characters (no lone lead
// byte), so that it has a UTF-8 form.
std::string RandomDocument(std::mt19937& rng, std::size_t size, bool characters = false) {
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
    while (text.size() < size) {
        const char* piece = kPieces[rng() % (sizeof kPieces / sizeof kPieces[0])];
        if (!characters || piece[0] != '\x81') text += piece;
    }
    return text;
}

// The same document as code page 936 (named with -e) and, every fourth run,
// as UTF-8 that the program recognises by itself; the output is the
// whole-text conversion in the input's encoding.
TEST(TornixConvertProcess, RandomChunksThroughAPipeGiveTheWholeTextResult) {
    std::mt19937 rng(20261208u);
    for (int run = 0; run < 12; ++run) {
        const bool utf8 = run % 4 == 3;
        const std::string document = RandomDocument(rng, 1 + rng() % 400000, utf8);
        const bool toFull = run % 3 != 0;
        const bool trim = run % 4 == 1;
        std::vector<std::string> args{toFull ? "--to-full" : "--to-half"};
        if (trim) args.push_back("--trim");
        if (!utf8) args.insert(args.end(), {"-e", "gbk"});
        GbkString whole(document);
        if (trim) {
            whole.TrimLeft();
            whole.TrimRight();
        }
        const GbkString converted = toFull ? ToFullWidth(whole) : ToHalfWidth(whole);
        const FileEncoding encoding{utf8 ? Charset::kUtf8 : Charset::kGbk, false};
        const std::string expected = EncodeText(converted.view(), encoding);
        ProcessInput input;
        input.bytes = EncodeText(document, encoding);
        for (std::size_t total = 0; total < input.bytes.size(); total += input.chunks.back()) {
            input.chunks.push_back(1 + rng() % (run % 2 == 0 ? 7 : 70000));
        }
        const ProcessResult result = RunProcess(kProgram, args, input);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        ASSERT_EQ(result.out.size(), expected.size()) << "run " << run;
        ASSERT_TRUE(result.out == expected) << "run " << run;
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

// "-o -" is standard output, as for every filter; so is /dev/stdout, a link
// to the pipe itself, which has no name in a folder.
TEST(TornixConvertProcess, StandardOutputNamedWithDashOrDevStdout) {
    for (const char* name : {"-", "/dev/stdout"}) {
        ProcessInput input;
        input.bytes = "a b";
        const ProcessResult result = RunProcess(kProgram, {"--to-full", "-e", "gbk", "-o", name}, input);
        EXPECT_EQ(result.exitStatus, 0) << name << ": " << result.err;
        EXPECT_EQ(Hex(result.out), Hex("\xA3\xE1 \xA3\xE2")) << name;
    }
}

// The same bytes give the same output however the reads cut them: through a
// pipe in the pieces given, and read from a file.
TEST(TornixConvertProcess, SameBytesSameOutputWhateverTheReads) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    const std::string ascii(kMiB + 4096, 'a');
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::size_t> pieces;
    } kCases[] = {
        // 69 D6 A3 is valid UTF-8 so far; FE 40 makes it code page 936.
        {"GbkWhoseStartIsValidUtf8", "\x69\xD6\xA3\xFE\x40\x81\x40 Hello", {1, 1, 1, 1, 1, 1, 1}},
        {"AsciiThenUtf8AcrossTheMiB", ascii + "\xE4\xB8\xAD.", {kMiB - 2, 4, 4096}},
        {"AsciiThenGbkAcrossTheMiB", ascii + "\xC1\xAA\xCD\xA8.", {kMiB + 4095, 2}},  // 联通
    };
    for (const auto& c : kCases) {
        ScratchDir dir;
        const std::string file = dir.Put("in.txt", c.bytes).string();
        ProcessInput fromFile;
        fromFile.environment = {"LC_ALL=C"};
        const ProcessResult whole = RunProcess(kProgram, {"--to-full", file}, fromFile);
        ProcessInput piped = fromFile;
        piped.bytes = c.bytes;
        piped.chunks = c.pieces;
        const ProcessResult cut = RunProcess(kProgram, {"--to-full"}, piped);
        EXPECT_EQ(cut.exitStatus, whole.exitStatus) << c.name << ": " << cut.err;
        EXPECT_TRUE(cut.out == whole.out) << c.name;
        std::string said = whole.err;  // of the file by its name, of the pipe as standard input
        if (const std::size_t at = said.find("'" + file + "'"); at != std::string::npos) {
            said.replace(at, file.size() + 2, "standard input");
        }
        EXPECT_EQ(cut.err, said) << c.name;
    }
}

// A file that cannot be written in the middle of a batch: the others are
// converted, it stays byte for byte as it was, and the run fails.
TEST(TornixConvertProcess, FileThatCannotBeWrittenLeavesTheOthersConverted) {
    ScratchDir dir;
    const std::vector<std::string> names{"1.txt", "2.txt", "3.txt"};
    for (const std::string& name : names) dir.Put(name, "abc");
    ASSERT_EQ(::chmod((dir / "2.txt").c_str(), 0444), 0);
    if (::geteuid() == 0) {
        for (const std::string& name : names) ASSERT_EQ(::chown((dir / name).c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(dir.path().c_str(), 65534, 65534), 0);
    }
    ProcessInput input;
    input.asNobody = true;
    const ProcessResult run = RunProcess(kProgram,
                                         {"--to-full", "-e", "gbk", "-i", dir.path().string() + "/1.txt",
                                          (dir / "2.txt").string(), (dir / "3.txt").string()},
                                         input);
    EXPECT_EQ(run.exitStatus, 1) << run.err;
    EXPECT_EQ(Hex(ReadBytes(dir / "1.txt")), Hex("\xA3\xE1\xA3\xE2\xA3\xE3"));
    EXPECT_EQ(ReadBytes(dir / "2.txt"), "abc");
    EXPECT_EQ(Hex(ReadBytes(dir / "3.txt")), Hex("\xA3\xE1\xA3\xE2\xA3\xE3"));
    EXPECT_NE(run.err.find("cannot write '" + (dir / "2.txt").string() + "': Permission denied"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("2 converted, 0 unchanged, 0 skipped, 1 failed"), std::string::npos) << run.err;
}

// /dev/stdout (and /dev/fd/1, /proc/self/fd/1) onto a file opened for
// appending writes through the descriptor, after what the file holds, as
// "-o -" does; it does not replace the file.
TEST(TornixConvertProcess, StandardOutputNamedAsADescriptorAppendsToTheFile) {
    for (const char* name : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
        ScratchDir dir;
        const auto log = dir.Put("log", "earlier\n");
        ProcessInput input;
        input.bytes = "a b";
        input.appendOutputTo = log.string();
        const ProcessResult result = RunProcess(kProgram, {"--to-full", "-e", "gbk", "-o", name}, input);
        EXPECT_EQ(result.exitStatus, 0) << name << ": " << result.err;
        EXPECT_EQ(Hex(ReadBytes(log)), Hex("earlier\n\xA3\xE1 \xA3\xE2")) << name;
        EXPECT_EQ(dir.Names({"log"}), std::vector<std::string>{}) << name;
    }
}

// A message that cannot be written (standard error's reader has gone) ends
// the program by SIGPIPE, and the output's temporary file goes with it.
TEST(TornixConvertProcess, BrokenStandardErrorLeavesNoTemporaryFile) {
    ScratchDir dir;
    const auto target = dir.Put("out.txt", "previous");
    const auto first = dir.Put("in.txt", "abc");
    ProcessInput input;
    input.errorsUnread = true;
    const ProcessResult result = RunProcess(
        kProgram, {"--to-full", "-o", target.string(), first.string(), (dir / "missing.txt").string()}, input);
    EXPECT_EQ(result.signal, SIGPIPE) << "exit status " << result.exitStatus;
    EXPECT_EQ(ReadBytes(target), "previous");
    EXPECT_EQ(dir.Names({"out.txt", "in.txt"}), std::vector<std::string>{});
}

// Ended while it writes an output file, it removes its temporary file, leaves
// the file as it was and ends by the same signal, as a shell expects.
TEST(TornixConvertProcess, TerminationSignalLeavesNoTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ScratchDir dir;
        const auto target = dir.Put("out.txt", "previous");
        ProcessInput input;
        input.bytes = std::string(std::size_t{3} << 20, 'x');
        std::vector<std::string> during;
        input.afterInput = [&](int child) {
            // The input is still open: the program waits for more.
            for (int wait = 0; wait < 500 && during.empty(); ++wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                during = dir.Names({"out.txt"});
            }
            ::kill(child, signal);
        };
        const ProcessResult result = RunProcess(kProgram, {"--to-full", "-o", target.string()}, input);
        ASSERT_EQ(during.size(), 1u) << "no temporary file while writing";
        EXPECT_EQ(during[0].rfind(".out.txt.tornix-", 0), 0u) << during[0];
        EXPECT_EQ(result.signal, signal) << "exit status " << result.exitStatus << ", " << result.err;
        EXPECT_EQ(ReadBytes(target), "previous");
        EXPECT_EQ(dir.Names({"out.txt"}), std::vector<std::string>{}) << "signal " << signal;
    }
}

// Written in place (the folder refuses new files, the file itself is
// writable), a text far larger than the memory the program may take goes
// through, byte for byte.
TEST(TornixConvertProcess, InPlaceOutputKeepsMemorySmall) {
    if (testing::kAddressSanitizer) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    constexpr std::size_t kText = std::size_t{64} << 20;
    ScratchDir dir;  // not writable for "nobody"; for ourselves, made read-only
    if (::geteuid() != 0) ::chmod(dir.path().c_str(), 0555);
    const auto target = dir.Put("out.txt", std::string(kText, 'o'));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    }
    ProcessInput input;
    input.bytes = std::string(kText, 'a');
    input.asNobody = true;
    input.addressSpaceLimit = std::uint64_t{48} << 20;  // the program alone maps about 40 MiB (ICU's data)
    const ProcessResult result = RunProcess(kProgram, {"--to-half", "-o", target.string()}, input);
    EXPECT_EQ(result.exitStatus, 0) << result.err << " (signal " << result.signal << ")";
    EXPECT_TRUE(ReadBytes(target) == input.bytes);
    EXPECT_EQ(dir.Names({"out.txt"}), std::vector<std::string>{});
}

}  // namespace
}  // namespace tornix
