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

// The locale's character set: code page 936 (or one of its kin), UTF-8, or
// something else.
enum class LocaleText { kGbk, kUtf8, kOther };

LocaleText LocaleCharacterSet() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    if (codeset == nullptr) return LocaleText::kOther;
    for (const char* gbk : {"GBK", "GB2312", "GB18030", "CP936", "EUC-CN"}) {
        if (strcasecmp(codeset, gbk) == 0) return LocaleText::kGbk;
    }
    if (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0) return LocaleText::kUtf8;
    return LocaleText::kOther;
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
    // and as UTF-8 everywhere else; an input that does not tell its encoding
    // is taken as UTF-8 under a UTF-8 locale, as code page 936 otherwise.
    const LocaleText locale = LocaleCharacterSet();
    streams.terminal = locale == LocaleText::kGbk ? tornix::Charset::kGbk : tornix::Charset::kUtf8;
    streams.localeText = locale == LocaleText::kUtf8 ? tornix::Charset::kUtf8 : tornix::Charset::kGbk;
    streams.arguments = streams.terminal;  // the arguments come in the terminal's encoding
    return tornix::RunTornixConvert(std::vector<std::string>(argv + 1, argv + argc), streams);
}
