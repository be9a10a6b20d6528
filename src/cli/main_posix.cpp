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

// True when the locale's character set is code page 936 or one of its kin.
bool GbkLocale() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    if (codeset == nullptr) return false;
    for (const char* gbk : {"GBK", "GB2312", "GB18030", "CP936", "EUC-CN"}) {
        if (strcasecmp(codeset, gbk) == 0) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away ends the program at once and quietly, whatever
    // the parent did with SIGPIPE.
    std::signal(SIGPIPE, SIG_DFL);
    // An interrupted run leaves no temporary file behind.
    tornix::RemovePendingFilesOnTermination();
    tornix::ProgramStreams streams;
    // Chinese messages go out as code page 936 on a terminal set up for it,
    // and as UTF-8 everywhere else. An input whose start tells nothing of its
    // encoding (all ASCII) is taken in code page 936 under a GBK-family
    // locale, and as UTF-8 under any other: the C and POSIX locales' character
    // set is ASCII, which UTF-8 extends (as Python takes them).
    const tornix::Charset locale = GbkLocale() ? tornix::Charset::kGbk : tornix::Charset::kUtf8;
    streams.terminal = locale;
    streams.localeText = locale;
    streams.arguments = locale;  // the arguments come in the terminal's encoding
    return tornix::RunTornixConvert(std::vector<std::string>(argv + 1, argv + argc), streams);
}
