// tornix PATH on an X display: the window opens with the file loaded as
// 读取... loads it, or with Load's message over the empty window. Runs the
// program's start (start_file_probe) once a case, under xvfb-run.
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/hex.h"
#include "support/scratch_dir.h"

namespace tornix {
namespace {

namespace fs = std::filesystem;

// What the probe printed, and its exit status.
std::string Opened(const std::vector<fs::path>& files, int* status) {
    std::string command = "'" START_FILE_PROBE "'";
    for (const fs::path& file : files) command += " '" + file.native() + "'";
    command += " 2>/dev/null";
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    *status = ::pclose(pipe);
    return out;
}

struct StartCase {
    const char* name;
    const char* message;  // UTF-8; "" for none
    std::string input;    // GBK bytes in the input box
};

class StartFileTest : public ::testing::TestWithParam<StartCase> {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (run through xvfb-run)";
    }
    testing::ScratchDir m_scratch;
};

TEST_P(StartFileTest, OpensAsLoadDoes) {
    const std::string which = GetParam().name;
    std::vector<fs::path> files;
    if (which == "GbkFileFirstOfTwo") files = {m_scratch.Put("a.txt", "\xD6\xD0\xCE\xC4 Hello"), m_scratch / "missing"};
    if (which == "Utf8File") files = {m_scratch.Put("u.txt", "\xE4\xB8\xAD\xEF\xBC\xA1\nx")};
    if (which == "NameNotUtf8") files = {m_scratch.Put("\xB1\xCA\xBC\xC7.txt", "gbk name")};
    if (which == "Missing") files = {m_scratch / "missing.txt"};
    if (which == "Folder") files = {m_scratch.path()};
    if (which == "NulBytes") files = {m_scratch.Put("nul.txt", std::string("a\0b", 3))};
    if (which == "Fifo") {
        files = {m_scratch / "fifo"};
        ASSERT_EQ(::mkfifo(files[0].c_str(), 0600), 0);
    }
    int status = -1;
    const std::string seen = Opened(files, &status);
    std::string expected = "window: shown\n";
    if (*GetParam().message) expected += std::string("message: ") + GetParam().message + "\nowner: converter\n";
    expected += "input: " + testing::Hex(GetParam().input) + "\n";
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

INSTANTIATE_TEST_SUITE_P(Cases, StartFileTest,
                         ::testing::Values(StartCase{"GbkFileFirstOfTwo", "", "\xD6\xD0\xCE\xC4 Hello\r\n"},
                                           StartCase{"Utf8File", "", "\xD6\xD0\xA3\xC1\r\nx\r\n"},
                                           StartCase{"NameNotUtf8", "", "gbk name\r\n"}, StartCase{"NoFile", "", ""},
                                           StartCase{"Missing", "文件不存在！", ""},
                                           StartCase{"Folder", "文件不存在！", ""},
                                           StartCase{"NulBytes", "文件中含有空字符，不能作为文本读取！", ""},
                                           StartCase{"Fifo", "读取文件失败！", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tornix
