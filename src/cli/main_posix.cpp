// tornix-convert on POSIX systems: the width conversion as a command-line filter.
#include <clocale>
#include <csignal>
#include <cstring>
#include <langinfo.h>
#include <string>
#include <vector>

#include "cli/convert_command.h"
#include "files/pending_files.h"

namespace {

// The help's Chinese goes out as code page 936 on a terminal set up for it,
// and as UTF-8 everywhere else.
tornix::TextEncoding TerminalEncoding() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    for (const char* gbk : {"GBK", "GB2312", "GB18030", "CP936", "EUC-CN"}) {
        if (codeset != nullptr && strcasecmp(codeset, gbk) == 0) return tornix::TextEncoding::kGbk;
    }
    return tornix::TextEncoding::kUtf8;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away ends the program at once and quietly, whatever
    // the parent did with SIGPIPE.
    std::signal(SIGPIPE, SIG_DFL);
    // An interrupted run leaves no temporary file behind.
    tornix::RemovePendingFilesOnTermination();
    tornix::ProgramStreams streams;
    streams.terminal = TerminalEncoding();
    return tornix::RunTornixConvert(std::vector<std::string>(argv + 1, argv + argc), streams);
}
